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

exec bash "$(dirname "$0")/install-packages.sh" install-deps "${PACKAGES[@]}"
