#!/usr/bin/env bash
# Starts the built Tessaro on its own data folder, the program's folder
# (build/bin).
#
#   scripts/run.sh [build folder]      (default: build)
#
# On a first start without RAR on this machine, the data folder gets a
# tessaro.ini that names the stand-in archiver as the archiver, so a pass
# can run at once. An existing tessaro.ini is never changed.
set -euo pipefail

build="${1:-build}"
bin="$(cd "$build/bin" && pwd)"
ini="$bin/tessaro.ini"

if [ ! -e "$ini" ] && ! command -v rar >/dev/null && [ -x "$bin/rar-standin" ]; then
    # The file may come to hold passwords: readable by its owner only, as
    # the program creates it.
    (
        umask 077
        printf '[Settings]\nWinRARLocation=%s\n' "$bin/rar-standin" >"$ini"
    )
    echo "run: no RAR on this machine; $ini names the stand-in archiver $bin/rar-standin"
fi

exec "$bin/tessaro"
