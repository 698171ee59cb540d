#!/usr/bin/env bash
# The Windows build's tests under Wine, headless: every test program through
# ctest (each runs under wine-run.sh), then the installer.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=wine-env.sh
source scripts/windows/wine-env.sh

ctest --preset windows-cross
echo "windows-test: test cases run under Wine, per program:"
grep -h -E '^\[==========\] [0-9]+ tests? from .* ran|^\[  PASSED  \]|^\[  SKIPPED \] [0-9]' \
    build-windows/Testing/Temporary/LastTest.log || true
bash scripts/windows/test-installer.sh build-windows
