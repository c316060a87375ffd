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
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine only reports code page 932 when the locale really exists; without it it falls back to 1252.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
