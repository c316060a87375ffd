#!/usr/bin/env bash
# Usage: scripts/with-wine.sh PREFIX_DIR COMMAND [ARGS...]
# Runs COMMAND in a prepared Wine environment: the given throwaway prefix (created on first use, with a
# virtual desktop so hidden windows don't stall without a window manager), Japanese locale (code page
# 932) unless VT_LOCALE names another (C.UTF-8: English, code page 1252; a new prefix also takes its
# system fonts from it), an Xvfb display when none is set, and one persistent wineserver for the whole run. Everything
# it started is stopped again afterwards, by PID. Exits with COMMAND's exit code.
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "Usage: scripts/with-wine.sh PREFIX_DIR COMMAND [ARGS...]" >&2
  exit 2
fi
prefix="$1"; shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Test players must lie in a tree no one else may write (Wine reads o+w as "Everyone may modify"),
# whatever umask the caller runs with: what Wine creates from here on gets the usual one.
umask 022
mkdir -p "$prefix"
export WINEPREFIX="$(cd "$prefix" && pwd)"
export LANG="${VT_LOCALE:-ja_JP.UTF-8}" LC_ALL="${VT_LOCALE:-ja_JP.UTF-8}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=""
scratch=""
cleanup() {
  # Let Wine's own service processes end with the server before anything is killed.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  if [ -n "$scratch" ]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  # -displayfd picks a free display number, so parallel runs don't collide. Its fifo lives in a
  # folder of our own, so no other process can take the name first.
  scratch="$(mktemp -d)" || exit 1
  fifo="$scratch/displayfd"; mkfifo "$fifo" || exit 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 num <"$fifo"
  [ -n "${num:-}" ] || { echo "with-wine: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$num"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating Wine prefix $WINEPREFIX (first use takes a few seconds)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # A virtual desktop gives windows a frame and avoids Wine's 2 s stall when a window hides.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi

# Title-bar buttons are Marlett glyphs. Debian's Wine looks for its own fonts under a path that does
# not resolve ("...\share\wine\../fonts\"), so without a copy in the prefix they draw as "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf
fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$marlett" ] && [ -d "$fonts_dir" ] && [ ! -f "$fonts_dir/marlett.ttf" ]; then
  cp "$marlett" "$fonts_dir/"
fi

# Drive C: is the prefix's drive_c, so the tool's walk up from a test player stops there: close the
# folders above the tests' players (ScratchDir's "vttest" under ProgramData) to others.
for folder in "$WINEPREFIX/drive_c" "$WINEPREFIX/drive_c/ProgramData" \
              "$WINEPREFIX/drive_c/ProgramData/vttest"; do
  if [ -d "$folder" ]; then chmod go-w "$folder"; fi
done

wineserver -p
# Start Wine's service processes (and the virtual desktop) now, detached from our output: started by
# a test they would inherit its pipes and keep CTest waiting for them to close.
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
rc=$?
exit $rc
