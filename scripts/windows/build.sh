#!/usr/bin/env bash
# The Windows build on this Debian machine: installs the cross toolchain,
# builds Qt for Windows into the cache once, builds the tools that run during
# the build for this machine, then cross builds the program, its tests, the
# deployable folder and the installer (build-windows/).
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
jobs=${JOBS:-$(nproc)}

bash scripts/windows/install-cross-deps.sh
TESSARO_QT_WINDOWS=$(bash scripts/windows/build-qt.sh)
export TESSARO_QT_WINDOWS
echo "windows: Qt for Windows in $TESSARO_QT_WINDOWS"

# render-icons and make-manual run on this machine during the cross build.
host_preset=${HOST_PRESET:-dev}
cmake --preset "$host_preset" >/dev/null
cmake --build --preset "$host_preset" -j "$jobs" --target render-icons make-manual

cmake --preset windows-cross
cmake --build --preset windows-cross -j "$jobs"
