#!/usr/bin/env bash
# Sets everything up, builds, and runs vntassoc beside the stand-in player under Wine, in a prefix of
# its own (build/run-prefix) that already holds a few associations of another program.
# With DISPLAY set the window opens for you and the run ends when you close it. Without a display it
# runs on a virtual one, saves a screenshot of the filled window to build/screenshot.png, closes the
# tool and says where the screenshot is. With VT_LOCALE set to a locale other than Japanese (as for
# a test: C.UTF-8 is an English Windows) everything runs in that locale, in a prefix of its own
# (build/run-prefix-en) seeded with English names, and the screenshot is build/screenshot-en.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if ! vt_inside_wine "$@"; then
  # Only what the run starts: the tool's two programs, the stand-in player and the window helper.
  vt_build build vntassoc vntassoc-cli player_stub vt_winctl
  # with-wine.sh starts its own Xvfb when DISPLAY is empty; remember which case this is.
  if [ -n "${DISPLAY:-}" ]; then export VT_RUN_INTERACTIVE=1; else export VT_RUN_INTERACTIVE=0; fi
  case "${VT_LOCALE:-ja_}" in ja_*) vt_rerun_in_wine build/run-prefix ;; *) vt_rerun_in_wine build/run-prefix-en ;; esac
fi

# The names another program's associations carry, in the run's language.
case "$LANG" in
  ja_*) mp3_type="MP3 オーディオ ファイル" wav_type="WAVE サウンド" mid_type="MIDI シーケンス"
        m3u_type="M3U プレイリスト" third_type="音かご MP3 ファイル" third_name="音かご プレーヤー"
        shot_name=screenshot.png list_code_page=CP932 ;;
  *) mp3_type="MP3 Audio File" wav_type="WAVE Sound" mid_type="MIDI Sequence"
     m3u_type="M3U Playlist" third_type="Otokago MP3 File" third_name="Otokago Player"
     shot_name=screenshot-en.png list_code_page=CP1252 ;;
esac

# --- From here on inside the Wine environment of build/run-prefix. ---
build="${VT_BUILD_DIR:-$VT_ROOT/build}"  # the preset's build tree unless told otherwise
winctl="$build/tools/winctl/vt_winctl.exe"
stub_built="$build/tools/player-stub/vntplayer-stub.exe"
drive_c="$WINEPREFIX/drive_c"
player_dir="$drive_c/Program Files/Vantrel Player"
app_dir="$build/run"

# The player answers its own path over DDE, so install the stand-in where a player would live.
mkdir -p "$player_dir" "$app_dir"
cp -f "$stub_built" "$player_dir/vtplayer.exe"
cp -f "$build/src/app/vntassoc.exe" "$build/src/cli/vntassoc-cli.exe" "$app_dir/"

# The tool's folder also holds its readme and type-name file, as the package ships them.
cp -f "$VT_ROOT/dist/readme.txt" "$VT_ROOT/dist/readme-en.txt" "$VT_ROOT/dist/filetype.ini" "$app_dir/"

# Seed the new prefix once with another player's associations, so that registering keeps a backup
# and unregistering restores it.
seeded="$WINEPREFIX/.vntassoc-seeded"
if [ ! -f "$seeded" ]; then
  other='C:\Program Files\OtherPlayer\otherplay.exe'
  mkdir -p "$drive_c/Program Files/OtherPlayer"
  seed() {  # extension, ProgID, type name, icon index
    wine reg add "HKCR\\$1" /ve /d "$2" /f >/dev/null
    wine reg add "HKCR\\$2" /ve /d "$3" /f >/dev/null
    wine reg add "HKCR\\$2\\DefaultIcon" /ve /d "$other,$4" /f >/dev/null
    wine reg add "HKCR\\$2\\shell\\open\\command" /ve /d "\"$other\" \"%1\"" /f >/dev/null
  }
  seed .mp3 OtherPlayer.mp3 "$mp3_type" 1
  seed .wav OtherPlayer.wav "$wav_type" 2
  seed .mid OtherPlayer.mid "$mid_type" 3
  seed .m3u OtherPlayer.m3u "$m3u_type" 4
  # The window's font is MS P Gothic; IPA P Gothic has its metrics, so labels fit as designed.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "ＭＳ Ｐゴシック" /d "IPAPGothic" /f >/dev/null
  # Captions, menus and boxes ask for MS UI Gothic (Wine's "MS Shell Dlg"); without it Wine draws the
  # title in a fixed-pitch fallback.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /d "IPAPGothic" /f >/dev/null
  # The sibling product's search path, where the tool records its own path.
  wine reg add "HKCU\\Software\\Zemrath's Soft\\Sorvik Player\\SearchPath" /f >/dev/null
  touch "$seeded"
fi

# A user's own choice for .mp3 of a third program, as Windows 8 and later keep it, so that the list
# shows what Windows would really open. Its own marker, so a prefix seeded without it still gets it.
chosen="$WINEPREFIX/.vntassoc-seeded-choice"
if [ ! -f "$chosen" ]; then
  third='C:\Program Files\Otokago\otokago.exe'
  mkdir -p "$drive_c/Program Files/Otokago"
  wine reg add 'HKCR\Otokago.mp3' /ve /d "$third_type" /f >/dev/null
  wine reg add 'HKCR\Otokago.mp3\Application' /v ApplicationName /d "$third_name" /f >/dev/null
  wine reg add 'HKCR\Otokago.mp3\DefaultIcon' /ve /d "$third,0" /f >/dev/null
  wine reg add 'HKCR\Otokago.mp3\shell\open\command' /ve /d "\"$third\" \"%1\"" /f >/dev/null
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.mp3\UserChoice' \
    /v ProgId /d Otokago.mp3 /f >/dev/null
  touch "$chosen"
fi

player_pid=""
app_pid=""
stop_all() {
  if [ -n "$app_pid" ]; then wine "$winctl" close TFrmAssoc 10000 >/dev/null 2>&1 || true; wait "$app_pid" 2>/dev/null || true; fi
  if [ -n "$player_pid" ]; then wine "$winctl" close TFrmMIDI 10000 >/dev/null 2>&1 || true; wait "$player_pid" 2>/dev/null || true; fi
}
trap stop_all EXIT

(cd "$player_dir" && exec wine ./vtplayer.exe --support-ext ".mp3;.wav;.mid;.rmi;.ogg;.flac;.wma") \
  </dev/null >/dev/null 2>&1 &
player_pid=$!
wine "$winctl" wait TFrmMIDI 20000 || { echo "run: the stand-in player did not start" >&2; exit 1; }

if [ "${VT_RUN_INTERACTIVE:-0}" = 1 ]; then
  echo "run: vntassoc is open; close its window to end."
  (cd "$app_dir" && wine ./vntassoc.exe) </dev/null >/dev/null 2>&1 || true
  exit 0
fi

(cd "$app_dir" && exec wine ./vntassoc.exe) </dev/null >/dev/null 2>&1 &
app_pid=$!
wine "$winctl" wait TFrmAssoc 30000 || { echo "run: the vntassoc window did not open" >&2; exit 1; }
# Wide enough for all five columns, so the picture shows what Windows itself opens beside the
# registry's association.
wine "$winctl" width TFrmAssoc 740 && wine "$winctl" wait TFrmAssoc 10000 || true

# Grab Wine's virtual desktop window (the framed view); the whole screen if it cannot be found.
shot="$build/$shot_name"
desk="$(xwininfo -root -tree 2>/dev/null | awk '/Wine desktop/ {print $1; exit}')"
import -window "${desk:-root}" "$shot.tmp.png" && mv -f "$shot.tmp.png" "$shot"

wine "$winctl" close TFrmAssoc 10000 || echo "run: vntassoc did not close" >&2
rc=0; wait "$app_pid" || rc=$?
app_pid=""
echo "run: vntassoc exited with code $rc; options written to $app_dir/vntassoc.ini"
echo "run: screenshot saved to $shot"
# The same rows as a script sees them; redirected, the program writes the ANSI code page.
echo "run: vntassoc-cli list"
(cd "$app_dir" && wine ./vntassoc-cli.exe list) </dev/null 2>&1 | iconv -f "$list_code_page" -t UTF-8 || true
