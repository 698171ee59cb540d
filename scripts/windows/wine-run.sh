#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, headless, in the
# project's own Wine prefix, with the Qt and compiler runtime libraries on
# Wine's search path. ctest calls it for every test (CMAKE_CROSSCOMPILING_EMULATOR).
#
#   wine-run.sh <program.exe> [arguments...]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

exec wine "$@"
