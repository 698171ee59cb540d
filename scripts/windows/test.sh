#!/usr/bin/env bash
# The Windows build's tests under Wine, headless: every test program through
# ctest (each runs under wine-run.sh), then the installer.
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
# shellcheck source=wine-env.sh
source scripts/windows/wine-env.sh

ctest --preset windows-cross
bash scripts/windows/test-installer.sh build-windows
