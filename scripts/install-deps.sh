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

here=$(dirname "$0")
bash "$here/install-packages.sh" install-deps "${PACKAGES[@]}"

# RAR for Linux, the real archiver, from Debian's non-free component: the
# real-archiver tests and `make demo` use it. TESSARO_NO_NONFREE=1 leaves the
# apt sources alone; those tests then skip themselves and say why.
if [ "${TESSARO_NO_NONFREE:-0}" = 1 ]; then
    if ! command -v rar >/dev/null; then
        echo "install-deps: TESSARO_NO_NONFREE=1: RAR for Linux not installed; the real-archiver tests will skip"
    fi
    exit 0
fi
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
if ! dpkg-query -W -f='${Status}' rar unrar 2>/dev/null | grep -c 'install ok installed' | grep -qx 2; then
    "${SUDO[@]}" bash "$here/enable-nonfree.sh"
fi
bash "$here/install-packages.sh" install-deps rar unrar
