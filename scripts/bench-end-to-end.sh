#!/usr/bin/env bash
# End-to-end figures of the real program, each beside its reference from
# the same run:
#   - a pass's cost per rule beyond the archiver: 200 rules against 1, in
#     wall time with a shell loop running the same archiver commands
#     subtracted, and in the program's own CPU time (its archivers' CPU time
#     taken off, as each reports it) beside the shell loop's own;
#   - archiver exit to the next archiver start, in the program and in the
#     shell loop;
#   - deleting 10,000 archives in one pass, against find | sort | xargs rm;
#   - auto clean of a folder with 100,000 archives (nothing to delete): the
#     program's extra CPU time and peak memory, against a listing of the same
#     names, sizes and times with find, sorted by time with sort;
#   - the idle window with periodic runs active: resident memory and CPU
#     time over some seconds, against a bare Qt window with a one-second
#     timer that does nothing.
# Wall times are medians of paired runs. With BENCH_TABLE set, each figure
# is also appended to that file as one row (figure, measured, reference and
# target, separated by tabs) for the summary table of
# scripts/run-benchmarks.sh. Usage:
#   scripts/bench-end-to-end.sh [bin folder] [tessaro program]
set -euo pipefail

bin="$(cd "${1:-build/bin}" && pwd)"
program="${2:-$bin/tessaro}"
archiver="$bin/timestamp-archiver"
cpu_time="$bin/cpu-time"
bare_window="$bin/idle-window"
rounds="${ROUNDS:-5}"
idle_seconds="${IDLE_SECONDS:-6}"
for needed in "$program" "$archiver" "$bare_window" "$cpu_time"; do
    [ -x "$needed" ] || { echo "missing $needed" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/dest"
cp "$program" "$work/prog/tessaro"
export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$work/xdg" TESSARO_BENCH_TIMES="$work/times"

now_ns() { date +%s%N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
# One row of the summary table.
row() { [ -z "${BENCH_TABLE:-}" ] || printf '%s\t%s\t%s\t%s\n' "$@" >> "$BENCH_TABLE"; }

# The configuration: a pass at start-up that ends the program, with the
# given number of rules, each on its own small source folder.
configure() {
    local rules="$1" autoclean="${2:-}"
    {
        printf '[Settings]\r\nWinRARLocation=%s\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n' \
            "$archiver"
        for ((i = 0; i < rules; i++)); do
            mkdir -p "$work/src/$i"
            [ -e "$work/src/$i/file.txt" ] || echo data > "$work/src/$i/file.txt"
            printf '[backup_rules_%d]\r\nSourceFolder=%s/src/%d/\r\nDestinationFolder=%s/dest/\r\n' \
                "$i" "$work" "$i" "$work"
            printf 'DestinationFilename=rule%d\r\nIncludeSubFolders=1\r\n%s' "$i" "$autoclean"
        done
    } > "$work/prog/tessaro.ini"
}

# Runs a command once; prints its wall time in nanoseconds and keeps its
# own user and system CPU time in seconds in $work/cpu: its CPU time with
# its archivers', less what the archivers report of themselves.
timed() {
    rm -f "$work/times" "$work/dest"/rule*.rar
    local start end
    start=$(now_ns)
    "$cpu_time" "$work/cpu-raw" "$@" > /dev/null 2>&1
    end=$(now_ns)
    local archivers="0 0"
    [ ! -f "$work/times" ] ||
        archivers=$(awk '{u += $3; s += $4} END {printf "%.6f %.6f", u / 1e9, s / 1e9}' "$work/times")
    read -r au as <<< "$archivers"
    awk -v au="$au" -v as="$as" '{printf "%.6f %.6f\n", $1 - au, $2 - as}' "$work/cpu-raw" > "$work/cpu"
    echo $((end - start))
}
run_program() { timed "$work/prog/tessaro"; }

# The archiver commands of the last program run, as a shell script.
replay_script() {
    local rules="$1"
    {
        for ((i = 0; i < rules; i++)); do
            printf '%q a -r -ep1 %q %q\n' "$archiver" "$work/dest/rule$i.rar" "$work/src/$i/"
        done
    } > "$work/replay.sh"
}

run_shell() { timed bash "$work/replay.sh"; }

# Median gap, in microseconds, between one archiver's end and the next one's start.
gaps_us() {
    awk 'NR > 1 {print ($1 - last) / 1000} {last = $2}' "$work/times" | median
}

echo "== end to end (medians of $rounds paired runs)"

many=200
for rules in 1 $many; do
    configure "$rules"
    replay_script "$rules"
    for file in p s gp gs cp cs; do : > "$work/$file$rules"; done
    for ((r = 0; r < rounds; r++)); do
        run_program >> "$work/p$rules"
        cat "$work/cpu" >> "$work/cp$rules"
        gaps_us >> "$work/gp$rules" 2> /dev/null || true
        run_shell >> "$work/s$rules"
        cat "$work/cpu" >> "$work/cs$rules"
        gaps_us >> "$work/gs$rules" 2> /dev/null || true
    done
done
line=$(awk -v p1="$(median < "$work/p1")" -v pn="$(median < "$work/p$many")" \
    -v s1="$(median < "$work/s1")" -v sn="$(median < "$work/s$many")" -v n="$many" 'BEGIN {
    program = (pn - p1) / (n - 1) / 1e6; shell = (sn - s1) / (n - 1) / 1e6
    printf "%.3f ms\tshell loop %.3f ms\t%.3f ms", program - shell, shell, program }')
IFS=$'\t' read -r beyond shell program <<< "$line"
echo "pass per rule, wall: program $program, $shell, beyond the archiver $beyond (target < 0.5 ms)"
row "pass per rule beyond the archiver, wall ($many rules against 1)" "$beyond" "$shell" "< 0.5 ms"
# Own CPU per rule: user plus system time, and each of them.
cpu_per_rule() {
    local field="$1"
    paste "$work/$2" "$work/$3" | awk -v f="$field" -v n="$many" '{
        if (f == "u") { a = $1; b = $3 } else if (f == "s") { a = $2; b = $4 } else { a = $1 + $2; b = $3 + $4 }
        print (b - a) / (n - 1) * 1e3 }' | median
}
# Round by round, the run with $many rules against the one with 1.
line=$(printf '%.3f ms (user %.3f, system %.3f)\tshell loop %.3f ms (user %.3f, system %.3f)' \
    "$(cpu_per_rule a cp1 cp$many)" "$(cpu_per_rule u cp1 cp$many)" "$(cpu_per_rule s cp1 cp$many)" \
    "$(cpu_per_rule a cs1 cs$many)" "$(cpu_per_rule u cs1 cs$many)" "$(cpu_per_rule s cs1 cs$many)")
IFS=$'\t' read -r program shell <<< "$line"
echo "pass per rule, own CPU, archivers excluded: program $program, $shell (target < 0.5 ms)"
row "program's own CPU per rule, archivers excluded ($many rules against 1)" "$program" "$shell" "< 0.5 ms"
# Both gaps hold the start of a new process, which alone takes most of a
# millisecond here; what the program adds is the difference.
line=$(awk -v p="$(median < "$work/gp$many")" -v s="$(median < "$work/gs$many")" 'BEGIN {
    printf "%.0f us\tshell loop %.0f us\t%.0f us", p - s, s, p }')
IFS=$'\t' read -r beyond shell program <<< "$line"
echo "archiver exit to next start: program $program, $shell, beyond the shell $beyond (target < 500 us)"
row "archiver exit to next start, beyond the shell loop" "$beyond" "$shell" "< 500 us"

# Old archives, oldest first, one a minute before now.
make_archives() {
    local count="$1"
    (cd "$work/dest" && seq -f 'old_%06g.rar' 1 "$count" | xargs touch -d '2 days ago')
}

clean_dest() { find "$work/dest" -mindepth 1 -delete; }

configure 1 $'AutoCleanMode=NumFiles\r\nNumFiles=1\r\n'
: > "$work/d0" && : > "$work/d1" && : > "$work/dx"
for ((r = 0; r < 3; r++)); do
    clean_dest
    run_program >> "$work/d0"
    clean_dest && make_archives 10000
    run_program >> "$work/d1"
    left=$(find "$work/dest" -name '*.rar' | wc -l)
    [ "$left" -eq 1 ] || echo "warning: $left archives left after the pass" >&2
    clean_dest && make_archives 10000
    start=$(now_ns)
    find "$work/dest" -maxdepth 1 -name '*.rar' | sort | xargs rm
    echo $(($(now_ns) - start)) >> "$work/dx"
done
line=$(awk -v a="$(median < "$work/d0")" -v b="$(median < "$work/d1")" -v x="$(median < "$work/dx")" 'BEGIN {
    printf "%.3f s\tfind | sort | xargs rm %.3f s\t%.2f", (b - a) / 1e9, x / 1e9, (b - a) / x }')
IFS=$'\t' read -r program reference ratio <<< "$line"
echo "deleting 10,000 archives in a pass: program $program, $reference (ratio $ratio)"
row "deleting 10,000 archives in a pass" "$program" "$reference" "ratio $ratio"

# CPU seconds and peak resident KiB of a command, from GNU time.
measure() { /usr/bin/time -f '%U %S %M' -o "$work/time" "$@" > /dev/null 2>&1; awk '{print $1 + $2, $3}' "$work/time"; }

configure 1 $'AutoCleanMode=NumFiles\r\nNumFiles=1000000\r\n'
clean_dest
read -r cpu0 mem0 < <(measure "$work/prog/tessaro")
make_archives 100000
rm -f "$work/dest/rule0.rar"
read -r cpu1 mem1 < <(measure "$work/prog/tessaro")
read -r cpuf memf < <(measure bash -c "find '$work/dest' -maxdepth 1 -name '*.rar' -printf '%T@ %s %p\n' | sort -n")
read -r cpun memn < <(measure bash -c "find '$work/dest' -maxdepth 1 -name '*.rar' | sort")
awk -v c0="$cpu0" -v c1="$cpu1" -v m0="$mem0" -v m1="$mem1" -v cf="$cpuf" -v mf="$memf" \
    -v cn="$cpun" -v mn="$memn" 'BEGIN {
    printf "auto clean of 100,000 archives: program +%.2f s CPU, +%.1f MiB peak; ", c1 - c0, (m1 - m0) / 1024
    printf "find -printf | sort -n %.2f s, %.1f MiB; find | sort %.2f s, %.1f MiB\n", cf, mf / 1024, cn, mn / 1024 }'
line=$(awk -v c0="$cpu0" -v c1="$cpu1" -v m0="$mem0" -v m1="$mem1" -v cf="$cpuf" -v mf="$memf" 'BEGIN {
    printf "+%.2f s CPU, +%.1f MiB\tfind -printf | sort -n %.2f s, %.1f MiB\tCPU ratio %.2f",
        c1 - c0, (m1 - m0) / 1024, cf, mf / 1024, (cf > 0 ? (c1 - c0) / cf : 0) }')
IFS=$'\t' read -r program reference ratio <<< "$line"
row "auto clean listing of 100,000 archives" "$program" "$reference" "$ratio (holds: <= 1)"

# The idle window, periodic runs active: a second's tick refreshes the
# remaining time and the tray tooltip. Memory is read once the start-up has
# settled; CPU is what every thread used over the idle seconds after that.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2> /dev/null | awk '{sum += $1} END {printf "%d", sum}'
}
rss_kib() { awk '/^VmRSS:/ {print $2}' /proc/"$1"/status; }
idle_figures() {
    "$@" > /dev/null 2>&1 &
    local pid=$! before after rss
    sleep 2
    rss=$(rss_kib "$pid")
    before=$(cpu_ns "$pid")
    sleep "$idle_seconds"
    after=$(cpu_ns "$pid")
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    echo "$rss $((after - before))"
}
configure 1
sed -i 's/^BackupOnStart=1\r$/BackupOnStart=0\r/; s/^ExitAfterBackupOnce=1\r$/PeriodicRun=on\r/' "$work/prog/tessaro.ini"
: > "$work/im" && : > "$work/ic" && : > "$work/bm" && : > "$work/bc"
for ((r = 0; r < 3; r++)); do
    read -r mem cpu < <(idle_figures "$work/prog/tessaro")
    echo "$mem" >> "$work/im" && echo "$cpu" >> "$work/ic"
    read -r mem cpu < <(idle_figures "$bare_window")
    echo "$mem" >> "$work/bm" && echo "$cpu" >> "$work/bc"
done
line=$(awk -v pm="$(median < "$work/im")" -v bm="$(median < "$work/bm")" 'BEGIN {
    printf "%.1f MB\tbare Qt window %.1f MB", pm / 1024, bm / 1024 }')
IFS=$'\t' read -r program reference <<< "$line"
echo "idle window, resident memory: program $program, $reference (target < 40 MB)"
row "idle window, resident memory" "$program" "$reference" "< 40 MB"
line=$(awk -v pc="$(median < "$work/ic")" -v bc="$(median < "$work/bc")" -v s="$idle_seconds" 'BEGIN {
    printf "%.0f us\tbare one-second timer %.0f us\tratio %.2f", pc / s / 1e3, bc / s / 1e3, (bc > 0 ? pc / bc : 0) }')
IFS=$'\t' read -r program reference ratio <<< "$line"
echo "idle window, CPU per second: program $program, $reference ($ratio)"
row "idle window, CPU per second" "$program" "$reference" "$ratio"

# The same pass with RAR for Linux as the archiver, where it is installed:
# what the program adds to the rar commands it runs, against the same
# commands run from a shell (the stand-in case is the first figure above).
rar="$(command -v rar || true)"
if [ -z "$rar" ]; then
    echo "pass per rule with RAR for Linux: skipped, rar is not installed"
    exit 0
fi
archiver="$rar"
clean_dest
replay_rar_script() {
    local rules="$1"
    for ((i = 0; i < rules; i++)); do
        printf '%q a -r -IBCK -INUL %q -ep1 -ol -cfg- %q %q\n' "$rar" \
            "-ILOG$work/prog/winrar_errors.log" "$work/dest/rule$i.rar" "$work/src/$i/"
    done > "$work/replay.sh"
}
for rules in 1 50; do
    configure "$rules"
    replay_rar_script "$rules"
    : > "$work/rp$rules" && : > "$work/rs$rules"
    for ((r = 0; r < rounds; r++)); do
        run_program >> "$work/rp$rules"
        run_shell >> "$work/rs$rules"
    done
done
line=$(awk -v p1="$(median < "$work/rp1")" -v p50="$(median < "$work/rp50")" \
    -v s1="$(median < "$work/rs1")" -v s50="$(median < "$work/rs50")" 'BEGIN {
    program = (p50 - p1) / 49 / 1e6; shell = (s50 - s1) / 49 / 1e6
    printf "%.3f ms\tshell loop %.3f ms\t%.3f ms", program - shell, shell, program }')
IFS=$'\t' read -r beyond shell program <<< "$line"
echo "pass per rule with RAR for Linux, wall: program $program, $shell, beyond the archiver $beyond"
row "pass per rule with RAR for Linux beyond rar itself, wall (50 rules against 1)" "$beyond" "$shell" "-"
