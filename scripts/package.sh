#!/usr/bin/env bash
# Sets everything up, builds, and makes the package a Windows user downloads:
# build/vntassoc-0.02.2012.0910-win32.zip with vntassoc.exe, vntassoc-cli.exe, readme.txt,
# readme-en.txt and filetype.ini.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
vt_build build package
