# Sourced by the Windows scripts: the Wine prefix of the project and the
# search paths of the cross-built programs. Expects TESSARO_QT_WINDOWS (the
# Qt for Windows prefix) or finds it in the cache.
cache=${TESSARO_WINDOWS_CACHE:-$HOME/.cache/tessaro-windows}
if [ -z "${TESSARO_QT_WINDOWS:-}" ]; then
    TESSARO_QT_WINDOWS=$(find "$cache" -maxdepth 2 -name .complete -path '*qt-*-mingw64*' \
        -printf '%h\n' 2>/dev/null | sort | tail -n 1)
fi
export TESSARO_QT_WINDOWS
export WINEPREFIX=${WINEPREFIX:-$cache/wine-prefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Wine dialog asks to install Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Turns a POSIX path into the one Wine shows for it (drive Z: is the root).
wine_path() {
    printf 'Z:%s' "${1//\//\\}"
}

runtime_dirs=()
for library in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    runtime_dirs+=("$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$library)")")
done
winepath=$(wine_path "$TESSARO_QT_WINDOWS/bin")
for dir in $(printf '%s\n' "${runtime_dirs[@]}" | sort -u); do
    winepath+=";$(wine_path "$dir")"
done
export WINEPATH=$winepath
export QT_PLUGIN_PATH
QT_PLUGIN_PATH=$(wine_path "$TESSARO_QT_WINDOWS/plugins")

# The prefix is made once; later runs find it ready.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
