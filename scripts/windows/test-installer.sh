#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it: a silent install, one
# backup pass of the installed program (its folder read-only, as Program Files
# is for a user, so the data folder is the local application data folder), and
# a silent uninstall that leaves the user's configuration, logs and archives.
#
#   test-installer.sh <build-windows folder>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build-windows}" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"

setup=$(find "$build" -maxdepth 1 -name 'TessaroSetup-*.exe' | head -n 1)
[ -n "$setup" ] || { echo "test-installer: no TessaroSetup-*.exe in $build" >&2; exit 1; }
archiver="$build/bin/e2e-archiver.exe"

failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        failures=$((failures + 1))
    fi
}

drive_c="$WINEPREFIX/drive_c"
install_dir="$drive_c/Program Files/Tessaro"
user_dir=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
user_dir=$(winepath -u "$user_dir" 2>/dev/null)
data_dir="$user_dir/Tessaro"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaro.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$data_dir" "$install_dir"

echo "test-installer: installing $(basename "$setup") silently"
wine "$setup" /S
wineserver -w
check "program installed" test -f "$install_dir/tessaro.exe"
check "Qt platform plugin installed" test -f "$install_dir/platforms/qwindows.dll"
check "manual installed" test -f "$install_dir/tessaro.pdf"
check "uninstaller written" test -f "$install_dir/uninstall.exe"
check "Start-menu shortcut" test -f "$shortcut"
check "uninstall entry" wine reg query "$uninstall_key" /v UninstallString

echo "test-installer: one pass of the installed program, its folder read-only"
mkdir -p "$work/source" "$work/backup" "$data_dir"
echo notes > "$work/source/notes.txt"
printf '%s\r\n' '[Settings]' "WinRARLocation=$(wine_path "$archiver")" 'BackupOnStart=1' \
    'ExitAfterBackupOnce=1' '[backup_rules_0]' "SourceFolder=$(wine_path "$work/source")\\" \
    "DestinationFolder=$(wine_path "$work/backup")\\" 'DestinationFilename=docs_#ymd#' \
    > "$data_dir/tessaro.ini"
wineserver -k 2>/dev/null || true
# On the Windows platform of a virtual display: started straight from Wine on
# the offscreen platform the program keeps a core busy after the pass instead
# of ending (started by another Windows program, as the end-to-end tests do,
# it ends).
xvfb-run -a unshare -m bash -c '
    mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" || exit 90
    timeout 120 wine "C:\\Program Files\\Tessaro\\tessaro.exe" </dev/null
    status=$?
    wineserver -k
    exit $status' _ "$install_dir" && status=0 || status=$?
check "the pass ended the program with status 0 (got $status)" test "$status" -eq 0
check "archive made" compgen -G "$work/backup/docs_*.rar"
check "log written in the local application data folder" \
    grep -q 'backup: finished' "$data_dir"/log/*_tessaro.log
check "no configuration in the program folder" test ! -e "$install_dir/tessaro.ini"

echo "test-installer: uninstalling silently"
# A data folder in the program folder, as on a user-writable install: kept.
mkdir -p "$install_dir/log"
echo '[Settings]' > "$install_dir/tessaro.ini"
echo 'line' > "$install_dir/log/2612_tessaro.log"
wine "$install_dir/uninstall.exe" /S
wineserver -w
check "program removed" test ! -e "$install_dir/tessaro.exe"
check "Qt libraries removed" test ! -e "$install_dir/Qt6Core.dll"
check "uninstaller removed" test ! -e "$install_dir/uninstall.exe"
check "shortcut removed" test ! -e "$shortcut"
check "uninstall entry removed" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "user's configuration in the program folder kept" test -f "$install_dir/tessaro.ini"
check "user's logs in the program folder kept" test -f "$install_dir/log/2612_tessaro.log"
check "user's data folder kept" test -f "$data_dir/tessaro.ini"
check "archives kept" compgen -G "$work/backup/docs_*.rar"

rm -rf "$install_dir" "$data_dir"

if [ "$failures" -ne 0 ]; then
    echo "test-installer: $failures check(s) failed"
    exit 1
fi
echo "test-installer: all checks passed"
