#!/usr/bin/env bash
# Fixture of the package suite: builds the package with the one documented command, checks that the
# archive holds exactly the five files at its top level, and unpacks it for the Wine tests.
# Usage: unpack.sh CMAKE BUILD_DIR ZIP DEST
set -euo pipefail
cmake="$1" build="$2" zip="$3" dest="$4"

rm -f "$zip"
"$cmake" --build "$build" --target package >/dev/null
[ -f "$zip" ] || { echo "unpack: $zip was not made" >&2; exit 1; }

listing="$(unzip -Z1 "$zip" | LC_ALL=C sort)"
expected="$(printf '%s\n' filetype.ini readme-en.txt readme.txt vntassoc-cli.exe vntassoc.exe)"
if [ "$listing" != "$expected" ]; then
  echo "unpack: the archive holds" >&2; echo "$listing" >&2
  echo "unpack: expected exactly" >&2; echo "$expected" >&2
  exit 1
fi

rm -rf "$dest"
mkdir -p "$dest"
unzip -q "$zip" -d "$dest"
echo "unpack: $zip holds $(echo "$listing" | tr '\n' ' ')"
