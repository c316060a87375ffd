#!/usr/bin/env bash
# Sets everything up, builds, and runs every test under Wine. Exit code 0 when all tests pass.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
vt_build build
scripts/with-wine.sh build/wineprefix ctest --preset default "$@"
