#!/usr/bin/env bash
# Installs what the Windows cross build needs on a Debian build machine:
# mingw-w64 (posix threads), Wine to run the Windows tests, NSIS for the
# installer, and the source-package tooling that the Qt for Windows build uses.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    wine64 wine xvfb xauth
    nsis
    dpkg-dev
    googletest
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
)

SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
export DEBIAN_FRONTEND=noninteractive

# Qt for Windows is built from Debian's own source packages: apt needs the
# deb-src entries for the suites it already uses.
sources=/etc/apt/sources.list.d/debian.sources
need_update=0
if [ -f "$sources" ] && ! grep -q '^Types:.*deb-src' "$sources"; then
    echo "install-cross-deps: enabling source packages in $sources"
    "${SUDO[@]}" sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
    need_update=1
elif [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list \
    && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
        | "${SUDO[@]}" tee /etc/apt/sources.list.d/tessaro-deb-src.list >/dev/null
    need_update=1
fi

FORCE_APT_UPDATE=$need_update exec bash "$(dirname "$0")/../install-packages.sh" \
    install-cross-deps "${PACKAGES[@]}"
