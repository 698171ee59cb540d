#!/usr/bin/env bash
# Installs what `make fuzz` needs beyond the usual build: clang and its
# runtime libraries, which hold libFuzzer. Kept apart from install-deps.sh so
# that `make test` does not pull in a second compiler.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PACKAGES=(clang libclang-rt-dev)

exec bash "$(dirname "$0")/install-packages.sh" install-fuzz-deps "${PACKAGES[@]}"
