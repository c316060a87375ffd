#!/usr/bin/env bash
# Sets everything up, builds, and makes the package a Windows user downloads:
# build/vntassoc-0.02.2012.0910-win32.zip with vntassoc.exe, readme.txt and filetype.ini.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default --target package
