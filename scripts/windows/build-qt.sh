#!/usr/bin/env bash
# Builds Qt for Windows (qtbase) from Debian's own source package with the
# mingw-w64 cross compiler, once, into a cache folder outside the tree. The
# cache is keyed by the Qt version of the build machine's Qt, whose host tools
# (moc, rcc, uic) the cross build uses. Prints the install prefix.
#
# An interrupted build resumes where it stopped: its build folder stays until
# the install is complete.
#
#   TESSARO_WINDOWS_CACHE   cache folder (default ~/.cache/tessaro-windows)
#   JOBS                    parallel build jobs (default: all cores)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
cache=${TESSARO_WINDOWS_CACHE:-$HOME/.cache/tessaro-windows}
jobs=${JOBS:-$(nproc)}

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+~-].*//')
prefix=$cache/qt-$qt_version-mingw64
build=$cache/build-qtbase
log=$cache/qt-$qt_version-build.log

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache/src"
exec 3>&1 1>>"$log" 2>&1
echo "== $(date -u +%FT%TZ) building Qt $qt_version for Windows into $prefix"
start=$(date +%s)

source_dir=$(find "$cache/src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n 1)
if [ -z "$source_dir" ]; then
    (cd "$cache/src" && apt-get source -qq qt6-base) >&2
    source_dir=$(find "$cache/src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n 1)
fi
[ -n "$source_dir" ] || { echo "build-qt: no qt6-base source package" >&2; exit 1; }

# Host tools from the build machine's Qt; Schannel for TLS; no SQL, D-Bus or
# print support. The source package leaves out wintab.h, so no tablet events;
# the Windows platform plugin of 6.4 needs desktop OpenGL to compile.
if [ ! -f "$build/build.ninja" ]; then
    cmake -G Ninja -S "$source_dir" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchains/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_schannel=ON -DFEATURE_openssl=OFF \
        -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_tabletevent=OFF -DINPUT_opengl=desktop \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
fi
cmake --build "$build" -j "$jobs"
cmake --install "$build"

rm -rf "$build"
echo "== built in $(( $(date +%s) - start )) s wall; CPU time of the build (user, system):"
times
touch "$prefix/.complete"
echo "$prefix" >&3
