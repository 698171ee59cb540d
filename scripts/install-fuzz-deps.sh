#!/usr/bin/env bash
# Installs what `make fuzz` needs beyond the usual build: clang and its
# runtime libraries, which hold libFuzzer. Kept apart from install-deps.sh so
# that `make test` does not pull in a second compiler.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PACKAGES=(clang libclang-rt-dev)

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-fuzz-deps: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
