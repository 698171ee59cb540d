#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ make clang-format
    qt6-base-dev qt6-svg-dev libgl-dev libqt6svg6
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libarchive-dev
    xvfb xauth fonts-dejavu-core
    desktop-file-utils appstream dpkg-dev lintian file
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
