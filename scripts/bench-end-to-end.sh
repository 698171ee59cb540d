#!/usr/bin/env bash
# End-to-end figures of the real program, each beside its reference from
# the same run:
#   - a pass's cost per rule beyond the archiver: 100 rules against 1, with a
#     shell loop running the same archiver commands subtracted;
#   - archiver exit to the next archiver start, in the program and in the
#     shell loop;
#   - deleting 10,000 archives in one pass, against find | sort | xargs rm;
#   - auto clean of a folder with 100,000 archives (nothing to delete): the
#     program's extra CPU time and peak memory, against a listing of the same
#     names, sizes and times with find, sorted by time with sort.
# Wall times are medians of paired runs. Usage:
#   scripts/bench-end-to-end.sh [bin folder] [tessaro program]
set -euo pipefail

bin="$(cd "${1:-build/bin}" && pwd)"
program="${2:-$bin/tessaro}"
archiver="$bin/timestamp-archiver"
rounds="${ROUNDS:-5}"
for needed in "$program" "$archiver"; do
    [ -x "$needed" ] || { echo "missing $needed" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/dest"
cp "$program" "$work/prog/tessaro"
export QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$work/xdg" TESSARO_BENCH_TIMES="$work/times"

now_ns() { date +%s%N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

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
# CPU time (its own and its archivers', in seconds) in $work/cpu.
timed() {
    rm -f "$work/times" "$work/dest"/rule*.rar
    local start end
    start=$(now_ns)
    /usr/bin/time -f '%U %S' -o "$work/cpu-raw" "$@" > /dev/null 2>&1
    end=$(now_ns)
    awk '{print $1 + $2}' "$work/cpu-raw" > "$work/cpu"
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

for rules in 1 100; do
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
p1=$(median < "$work/p1"); p100=$(median < "$work/p100")
s1=$(median < "$work/s1"); s100=$(median < "$work/s100")
awk -v p1="$p1" -v p100="$p100" -v s1="$s1" -v s100="$s100" 'BEGIN {
    program = (p100 - p1) / 99 / 1e6; shell = (s100 - s1) / 99 / 1e6
    printf "pass per rule, wall: program %.3f ms, shell loop %.3f ms, beyond the archiver %.3f ms (target < 0.5)\n",
        program, shell, program - shell }'
awk -v p1="$(median < "$work/cp1")" -v p100="$(median < "$work/cp100")" \
    -v s1="$(median < "$work/cs1")" -v s100="$(median < "$work/cs100")" 'BEGIN {
    program = (p100 - p1) / 99 * 1e3; shell = (s100 - s1) / 99 * 1e3
    printf "pass per rule, CPU: program %.3f ms, shell loop %.3f ms, beyond the archiver %.3f ms\n",
        program, shell, program - shell }'
# Both gaps hold the start of a new process, which alone takes most of a
# millisecond here; what the program adds is the difference.
awk -v p="$(median < "$work/gp100")" -v s="$(median < "$work/gs100")" 'BEGIN {
    printf "archiver exit to next start: program %.0f us, shell loop %.0f us, beyond the shell %.0f us (target < 500)\n",
        p, s, p - s }'

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
awk -v a="$(median < "$work/d0")" -v b="$(median < "$work/d1")" -v x="$(median < "$work/dx")" 'BEGIN {
    printf "deleting 10,000 archives in a pass: program %.3f s, find | sort | xargs rm %.3f s (target < 0.5)\n",
        (b - a) / 1e9, x / 1e9 }'

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
awk -v p1="$(median < "$work/rp1")" -v p50="$(median < "$work/rp50")" \
    -v s1="$(median < "$work/rs1")" -v s50="$(median < "$work/rs50")" 'BEGIN {
    program = (p50 - p1) / 49 / 1e6; shell = (s50 - s1) / 49 / 1e6
    printf "pass per rule with RAR for Linux, wall: program %.3f ms, shell loop %.3f ms, beyond the archiver %.3f ms\n",
        program, shell, program - shell }'
