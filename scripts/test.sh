#!/usr/bin/env bash
# Sets everything up, builds, and runs every test under Wine. Exit code 0 when all tests pass.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default
scripts/with-wine.sh build/wineprefix ctest --preset default "$@"
