#!/usr/bin/env bash
# Takes the user manual's screenshots from the real program.
#
#   scripts/screenshots.sh [build folder]      (default: build)
#
# Starts a copy of the built Tessaro on a throw-away demo data folder, in a
# virtual X display (Xvfb), drives it with xdotool and captures windows with
# ImageMagick's import. It writes into docs/manual/images/:
#
#   backup-tab.png  schedule-tab.png  settings-tab.png  archiver-tab.png
#   rule-dialog.png  backup-tab-dark.png  small-screen.png
#
# backup-tab-dark.png shows the Backup tab with "Appearance: Dark" (the
# extras section's Appearance=Dark). Its pass includes a rule whose source
# folder is missing, so the log shows an error line and the rule list marks
# the failed rule.
#
# small-screen.png is the whole screen of a 1024 x 600 display: the window
# fits it, status bar included, with a lower activity log.
#
# The build turns docs/manual into tessaro.pdf, so rebuild afterwards. This is
# a developer tool: it is not part of `make test`, and it installs what it
# needs (xvfb, xauth, xdotool, imagemagick, fonts) with apt-get when
# missing.
#
# How the window is driven, and why this way:
# - Only the keyboard where the program offers keys: Alt+A, O is
#   "Action > Run Once" (one backup pass, so the log has something to show);
#   Ctrl+Tab moves to the next tab once the keyboard focus is inside the
#   tabs (Tab puts it there in a fresh window).
# - The rule dialog has no menu item. A double-click on a rule opens it for
#   editing, so the script double-clicks down the left edge of the Backup page
#   until "Edit backup rule" appears; it never clicks where the navigation
#   buttons are.
# - Each step waits for evidence rather than for time where it can: the
#   window to appear, "backup: finished" in the log file, the dialog's
#   window. A tab change is checked by comparing the capture with the one
#   before.
# - There is no window manager, so captures are the window's contents
#   without a title bar.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
bin="$(cd "$build/bin" && pwd)"
images="$root/docs/manual/images"

die() {
    echo "screenshots: $*" >&2
    exit 1
}

install_missing() {
    local packages=(xvfb xauth xdotool imagemagick fonts-dejavu-core)
    local missing=()
    for pkg in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "screenshots: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The demo data folder and the processes this script started, for cleanup.
demo=""
pids=()

cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [ -n "$demo" ] && rm -rf "$demo"
}

# Runs inside the virtual display; everything below talks to $DISPLAY.
take_screenshots() {
    # A short, fixed path: it shows in the pictures. The marker file tells a
    # folder of this script's from anyone else's.
    demo="${TMPDIR:-/tmp}/tessaro-demo"
    if [ -e "$demo" ] && [ ! -e "$demo/.tessaro-screenshots" ]; then
        local foreign=$demo
        demo=""
        die "$foreign exists and was not made by this script; remove or rename it"
    fi
    rm -rf "$demo"
    mkdir -p "$demo"
    touch "$demo/.tessaro-screenshots"
    trap cleanup EXIT

    prepare_demo "$demo"

    # An answer for the notification URL on this machine only, so the pass
    # shows a successful call without sending anything out.
    local hook_port=""
    if command -v python3 >/dev/null; then
        hook_port=$((20000 + RANDOM % 20000))
        python3 - "$hook_port" <<'PY' &
import http.server, sys
class Hook(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        self.send_response(200)
        self.end_headers()
    def log_message(self, *args):
        pass
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), Hook).serve_forever()
PY
        pids+=($!)
    fi
    write_configuration "$demo" "$hook_port"

    local tessaro window
    start_tessaro "$demo" tessaro.out ""
    # The start-up step runs 300 ms after the window shows; let it finish.
    wait_for_log "$demo" "last backup was done at|Tessaro version" || true
    sleep 1

    # Keys go to the focused window through the XTEST extension, as typed
    # keys do; without a window manager the script gives the focus itself.
    xdotool windowfocus --sync "$window"
    local start="$demo/backup-at-start.png"
    grab "$window" "$start"

    # The other tabs first, while the keyboard focus stays inside the tabs:
    # Ctrl+Tab moves the focus onto the page it shows.
    next_tab "$window" schedule-tab "$start"
    next_tab "$window" settings-tab "$images/schedule-tab.png"
    next_tab "$window" archiver-tab "$images/settings-tab.png"
    # Ctrl+Tab wraps around to the Backup tab.
    press ctrl+Tab
    grab "$window" "$demo/current.png"
    similar "$demo/current.png" "$start" || die "could not return to the Backup tab"

    # One backup pass, so the Backup tab shows a pass in the activity log.
    press alt+a o
    wait_for_log "$demo" 'backup: finished' || die "the backup pass did not finish"
    # The notification call and the last log lines.
    sleep 1
    capture "$window" backup-tab

    # The clicks are meant for the rule list only, so the page is checked
    # once more first.
    grab "$window" "$demo/current.png"
    similar "$demo/current.png" "$start" || die "the Backup tab is not shown"
    open_rule_dialog "$window" || die "could not open the rule dialog"

    # End the demo copy; its data folder is thrown away.
    kill "$tessaro" 2>/dev/null || true
    wait "$tessaro" 2>/dev/null || true

    take_dark_screenshot "$demo"
}

# The Backup tab after a pass, with "Appearance: Dark".
take_dark_screenshot() {
    local demo=$1
    # One more rule, whose source folder is gone: its error line is red and
    # the rule list marks it.
    cat >>"$demo/tessaro.ini" <<INI

[extras]
Appearance=Dark

[backup_rules_2]
SourceFolder=$demo/Music/
DestinationFolder=$demo/Backup/
DestinationFilename=music_#ymd_hns#
IncludeSubFolders=1
AutoCleanMode=Off
NumFiles=10
DiskUsage=5
INI
    local passes
    passes="$(cat "$demo"/log/*_tessaro.log | grep -c 'backup: finished' || true)"

    local tessaro window
    start_tessaro "$demo" tessaro-dark.out " with the dark theme"
    wait_for_log "$demo" "last backup was done at" || true
    sleep 1
    xdotool windowfocus --sync "$window"
    press alt+a o
    for _ in $(seq 1 150); do
        [ "$(cat "$demo"/log/*_tessaro.log | grep -c 'backup: finished')" -gt "$passes" ] && break
        sleep 0.2
    done
    sleep 1
    capture "$window" backup-tab-dark
    kill "$tessaro" 2>/dev/null || true
    wait "$tessaro" 2>/dev/null || true
}

prepare_demo() {
    local demo=$1
    cp "$bin/tessaro" "$demo/tessaro"
    cp "$bin/rar-standin" "$demo/rar-standin"
    mkdir -p "$demo/Documents/Letters" "$demo/Pictures/2026" "$demo/Backup"
    printf 'Quarterly figures\n' >"$demo/Documents/report.txt"
    printf 'Shopping: bread, milk\n' >"$demo/Documents/notes.txt"
    printf 'Dear Ann,\nthanks for the photos.\n' >"$demo/Documents/Letters/ann.txt"
    head -c 200000 /dev/urandom >"$demo/Pictures/2026/beach.jpg"
}

write_configuration() {
    local demo=$1 hook_port=$2
    local call_hook=0 hook_url=""
    if [ -n "$hook_port" ]; then
        call_hook=1
        hook_url="http://127.0.0.1:$hook_port/tessaro"
    fi
    cat >"$demo/tessaro.ini" <<INI
[Settings]
WinRARLocation=$demo/rar-standin
ArchiveFormat=RAR
Compression=Normal
StorePaths=Relative paths
CallWebHook=$call_hook
WebHookURL=$hook_url
IncludeLogsInWebHookCall=1
MinimizeToTray=0
BackupOnStart=0
ExitAfterBackupOnce=0
PeriodicRun=off

[schedule]
StartTimeHour=20
StartTimeMinute=30
PeriodHours=24
Mondays=1
Tuesdays=1
Wednesdays=1
Thursdays=1
Fridays=1
Saturdays=0
Sundays=0

[window]
left=40
top=40

[backup_rules_0]
SourceFolder=$demo/Documents/
DestinationFolder=$demo/Backup/
DestinationFilename=documents_#ymd_hns#
IncludeSubFolders=1
AutoCleanMode=NumFiles
NumFiles=10
DiskUsage=5

[backup_rules_1]
SourceFolder=$demo/Pictures/
DestinationFolder=$demo/Backup/
DestinationFilename=pictures_#ymd_hns#
IncludeSubFolders=1
AutoCleanMode=NumFiles
NumFiles=10
DiskUsage=5
INI
}

# Presses the keys one after the other, as a user would.
press() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
}

# Starts the demo's Tessaro on the display, its output in $demo/<out>, and
# waits for its main window. Sets the caller's tessaro (the process) and
# window (the window's id); ends the script with the program's output when no
# window appears, the last argument telling where.
start_tessaro() {
    local demo=$1 out=$2 where=$3
    QT_QPA_PLATFORM=xcb "$demo/tessaro" >"$demo/$out" 2>&1 &
    tessaro=$!
    pids+=("$tessaro")
    window="$(wait_for_window '^Tessaro v')" || {
        cat "$demo/$out" >&2
        die "the main window did not appear$where"
    }
}

# Prints the id of the first visible window whose name matches, once there is
# one; fails after about 15 seconds.
wait_for_window() {
    local pattern=$1 id
    for _ in $(seq 1 75); do
        id="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits until the demo's log file holds a line matching the pattern.
wait_for_log() {
    local demo=$1 pattern=$2
    for _ in $(seq 1 150); do
        if cat "$demo"/log/*_tessaro.log 2>/dev/null | grep -Eq "$pattern"; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

grab() {
    sleep 0.5
    import -window "$1" "png:$2"
}

capture() {
    grab "$1" "$images/$2.png"
    echo "screenshots: $images/$2.png"
}

# True when two captures show the same tab: the upper part of the window,
# where the tab pages are, may differ in small things such as the focus
# frame, not in a page's worth of pixels. The activity log below is left
# out: it grows and scrolls.
similar() {
    local differing
    # compare prints the count of differing pixels, large ones in e-notation.
    convert "$1" -crop 100%x62%+0+0 +repage "$demo/upper-1.png"
    convert "$2" -crop 100%x62%+0+0 +repage "$demo/upper-2.png"
    differing="$(compare -metric AE -fuzz 5% "$demo/upper-1.png" "$demo/upper-2.png" null: 2>&1 |
        awk '{ printf "%d", $1 }')"
    [ "${differing:-999999}" -lt 15000 ]
}

# Moves to the next tab with Ctrl+Tab and captures it. Ctrl+Tab acts only
# while the keyboard focus is inside the tabs; a fresh window has it nowhere,
# and Tab then puts it on the first control of the tabs. Tab only moves the
# focus, it changes nothing.
next_tab() {
    local window=$1 name=$2 previous=$3
    for _ in 1 2 3; do
        press ctrl+Tab
        capture "$window" "$name"
        similar "$images/$name.png" "$previous" || return 0
        press Tab
    done
    die "Ctrl+Tab did not change the tab ($name)"
}

# Double-clicks down the left part of the Backup page, below the tab bar,
# until a rule dialog opens. The first rule's row opens "Edit backup rule";
# a click into the empty list opens "Add backup rule", which is captured
# when no row was hit.
open_rule_dialog() {
    local window=$1 y dialog
    for y in $(seq 120 12 420); do
        xdotool mousemove --window "$window" 60 "$y" click --repeat 2 --delay 80 1
        sleep 0.4
        dialog="$(xdotool search --onlyvisible --name '^(Edit|Add) backup rule$' 2>/dev/null | head -n 1 || true)"
        if [ -n "$dialog" ]; then
            capture "$dialog" rule-dialog
            press Escape
            return 0
        fi
    done
    return 1
}

# The whole screen of a small display with the window on it, after a pass.
take_small_screenshot() {
    demo="${TMPDIR:-/tmp}/tessaro-demo-small"
    rm -rf "$demo"
    mkdir -p "$demo"
    trap cleanup EXIT
    prepare_demo "$demo"
    write_configuration "$demo" ""
    local tessaro window
    start_tessaro "$demo" tessaro.out " on the small screen"
    wait_for_log "$demo" "Tessaro version" || true
    sleep 1
    xdotool windowfocus --sync "$window"
    press alt+a o
    wait_for_log "$demo" 'backup: finished' || die "the backup pass did not finish"
    sleep 1
    grab root "$images/small-screen.png"
    echo "screenshots: $images/small-screen.png"
    kill "$tessaro" 2>/dev/null || true
    wait "$tessaro" 2>/dev/null || true
}

main() {
    [ -x "$bin/tessaro" ] || die "no $bin/tessaro: build first (make build)"
    [ -x "$bin/rar-standin" ] || die "no $bin/rar-standin: build first (make build)"
    install_missing
    mkdir -p "$images"
    case "${TESSARO_SCREENSHOTS_DISPLAY:-}" in
    "")
        # Run again inside virtual displays: one of a usual desktop size,
        # then a small one.
        TESSARO_SCREENSHOTS_DISPLAY=1 xvfb-run --auto-servernum \
            --server-args="-screen 0 1280x1024x24" "$0" "$build"
        TESSARO_SCREENSHOTS_DISPLAY=small exec xvfb-run --auto-servernum \
            --server-args="-screen 0 1024x600x24" "$0" "$build"
        ;;
    small)
        take_small_screenshot
        return
        ;;
    esac
    take_screenshots
    echo "screenshots: done; rebuild to remake tessaro.pdf"
}

main
