#!/usr/bin/env bash
# Prepares a demo data folder and runs Tessaro's main job on it.
#
# The demo folder (build/demo) holds a copy of the program (its folder is its
# data folder), sample documents, one rule with a date pattern and auto
# clean, and RAR for Linux as the archiver where it is installed, the
# stand-in archiver otherwise (TESSARO_RAR as in run.sh). Backups accumulate
# in build/demo/backups across runs, so auto clean shows after a few.
#
# Without a display Tessaro runs one pass at start-up offscreen and ends;
# the activity log and the archives are printed. With a display the window
# opens on the demo setup: press "Backup Once (Now)" and watch the log.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
bin="$(cd "$build/bin" && pwd)"
# shellcheck source=choose-archiver.sh
. "$here/choose-archiver.sh"
archiver=$(choose_archiver "$bin")
echo "demo: $(describe_archiver "$archiver" "$bin")"
demo="$(cd "$build" && pwd)/demo"
mkdir -p "$demo/sample-documents/letters" "$demo/backups"

cp "$bin/tessaro" "$demo/tessaro"
# Help opens the manual beside the program.
cp "$bin/tessaro.pdf" "$demo/tessaro.pdf"
printf 'Quarterly figures\n' > "$demo/sample-documents/report.txt"
printf 'Shopping: bread, milk\n' > "$demo/sample-documents/notes.txt"
printf 'Dear Ann,\nthanks for the photos.\n' > "$demo/sample-documents/letters/ann.txt"

headless=1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    headless=0
fi

# Readable by its owner only, as the program creates it: it may come to hold
# archive passwords. The subshell keeps the umask to this one file.
rm -f "$demo/tessaro.ini"
(umask 077; cat > "$demo/tessaro.ini") <<INI
[Settings]
WinRARLocation=$archiver
ArchiveFormat=RAR
Compression=Normal
StorePaths=Relative paths
BackupOnStart=$headless
ExitAfterBackupOnce=$headless

[backup_rules_0]
SourceFolder=$demo/sample-documents/
DestinationFolder=$demo/backups/
DestinationFilename=documents_#ymd_hns#
IncludeSubFolders=1
AutoCleanMode=NumFiles
NumFiles=5
INI

if [ "$headless" -eq 0 ]; then
    echo "Opening Tessaro on the demo setup in $demo"
    exec "$demo/tessaro"
fi

echo "No display: running one backup pass offscreen in $demo"
QT_QPA_PLATFORM=offscreen "$demo/tessaro" 2>/dev/null
echo
echo "== Activity log ($demo/log)"
cat "$demo"/log/*_tessaro.log
echo
echo "== Archives in $demo/backups"
ls -l "$demo/backups"
