#!/usr/bin/env bash
# Starts the built Tessaro on its own data folder, the program's folder
# (build/bin).
#
#   scripts/run.sh [build folder]      (default: build)
#
# On a first start the data folder gets a tessaro.ini that names the
# archiver: RAR for Linux where it is installed, the stand-in archiver
# otherwise, so a pass can run at once. An existing tessaro.ini is never
# changed. Either way the script says which archiver the file names.
#
#   TESSARO_RAR   the real archiver (default: rar on PATH; empty: none)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
bin="$(cd "$build/bin" && pwd)"
ini="$bin/tessaro.ini"
# shellcheck source=choose-archiver.sh
. "$here/choose-archiver.sh"

if [ ! -e "$ini" ]; then
    archiver=$(choose_archiver "$bin")
    # The file may come to hold passwords: readable by its owner only, as
    # the program creates it.
    (
        umask 077
        printf '[Settings]\nWinRARLocation=%s\n' "$archiver" >"$ini"
    )
fi
echo "run: $(describe_archiver "$(sed -n 's/^WinRARLocation=//p' "$ini" | head -n 1 | tr -d '\r')" "$bin")"

exec "$bin/tessaro"
