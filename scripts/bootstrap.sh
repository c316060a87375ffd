#!/usr/bin/env bash
# Installs what building and testing need on Debian: the i686 MinGW-w64 cross compiler, 32-bit Wine,
# a virtual X display, the ja_JP.UTF-8 locale, a Japanese font and the GoogleTest source.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "bootstrap: run as root or install sudo" >&2; exit 1; }
  SUDO="sudo"
fi

packages=(cmake ninja-build g++-mingw-w64-i686-posix mingw-w64-i686-dev wine wine32:i386 wine64
          xvfb xauth x11-utils locales fonts-ipafont-gothic fonts-wine imagemagick googletest zip unzip)

# update_indexes: apt-get update, tried three times, since a mirror in the middle of a sync fails for a
# while and then serves again. Its last output stays in $log.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
update_indexes() {
  local try
  for try in 1 2 3; do
    $SUDO apt-get update -qq >"$log" 2>&1 && return 0
    [ "$try" -lt 3 ] && sleep $((try * 10))
  done
  return 1
}

# write_sources_without DIR SUITE...: copies of apt's sources in DIR, one-line and deb822 alike,
# with each SUITE taken out (a deb822 stanza whose suites all go is dropped).
write_sources_without() {
  local dir="$1" f; shift
  local drop=" $* "
  : >"$dir/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v drop="$drop" '{ s = ($2 ~ /^\[/) ? $4 : $3
                           if (!($1 ~ /^deb/ && index(drop, " " s " "))) print }' "$f" >>"$dir/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v drop="$drop" 'BEGIN { RS = ""; ORS = "\n\n" }
      { n = split($0, line, "\n"); out = ""; keep = 1
        for (i = 1; i <= n; i++) {
          if (line[i] ~ /^Suites:/) {
            m = split(substr(line[i], 8), suite, " "); kept = ""
            for (j = 1; j <= m; j++) if (!index(drop, " " suite[j] " ")) kept = kept " " suite[j]
            if (kept == "") keep = 0
            line[i] = "Suites:" kept
          }
          out = out line[i] "\n"
        }
        if (keep) printf "%s\n", out }' "$f" >"$dir/$(basename "$f")"
  done
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt_opts=()
  if ! update_indexes; then
    # A suite whose index still fails (a mirror caught mid-sync) is left out whole: taking the other
    # architecture's newer libraries from it would leave multi-arch packages at two versions.
    failed=$(grep -o '/dists/[^/ ]*/' "$log" | cut -d/ -f3 | sort -u | tr '\n' ' ')
    [ -n "$failed" ] || { cat "$log" >&2; exit 1; }
    echo "bootstrap: the package index of ${failed% } still fails; installing without that suite" >&2
    sources=$(mktemp -d)
    trap 'rm -rf "$sources" "$log"' EXIT
    write_sources_without "$sources" $failed
    apt_opts=(-o "Dir::Etc::SourceParts=$sources" -o "Dir::Etc::SourceList=$sources/sources.list")
    $SUDO apt-get "${apt_opts[@]}" update -qq >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
  fi
  $SUDO apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine only reports code page 932 when the locale really exists; without it it falls back to 1252.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
