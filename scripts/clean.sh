#!/usr/bin/env bash
# Removes the build, but keeps what `make run` made Tessaro write into its
# data folder (build/bin): tessaro.ini, the log folder and
# winrar_errors.log are the developer's settings and history, not build
# output.
#
#   scripts/clean.sh [build folder]      (default: build)
set -euo pipefail

build="${1:-build}"
[ -d "$build" ] || exit 0

keep=(tessaro.ini tessaro.ini.bak log winrar_errors.log)

find "$build" -mindepth 1 -maxdepth 1 ! -name bin -exec rm -rf {} +
if [ -d "$build/bin" ]; then
    exclude=()
    for name in "${keep[@]}"; do
        exclude+=(! -name "$name")
    done
    find "$build/bin" -mindepth 1 -maxdepth 1 "${exclude[@]}" -exec rm -rf {} +
    rmdir "$build/bin" 2>/dev/null || true
fi
rmdir "$build" 2>/dev/null || true
