#!/usr/bin/env bash
# Runs every benchmark program of the build, one after the other, then the
# end-to-end figures, and ends with a table: each figure beside its
# reference from the same run and its target.
set -euo pipefail
bin="${1:-build/bin}"
results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT
found=0
for program in "$bin"/bench_*; do
    [ -x "$program" ] || continue
    found=1
    name="$(basename "$program")"
    echo "== $name"
    "$program" --benchmark_counters_tabular=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json
done
if [ "$found" -eq 0 ]; then
    echo "no benchmark programs in $bin" >&2
    exit 1
fi
# The whole program against shell loops doing the same work.
BENCH_TABLE="$results/end-to-end" bash "$(dirname "$0")/bench-end-to-end.sh" "$bin"

# The wall and CPU time of the first benchmark whose name starts with the
# given one, as "<wall> <unit> (CPU <cpu> <unit>)", from the JSON files of
# the programs above (one field a line, as Google Benchmark writes them).
bench_time() {
    cat "$results"/*.json 2> /dev/null | awk -v want="$1" '
        function field() { value = $0; sub(/^[^:]*: */, "", value); gsub(/[",]/, "", value); return value }
        /^ *"name":/ { name = field() }
        /^ *"real_time":/ { real = field() }
        /^ *"cpu_time":/ { cpu = field() }
        /^ *"time_unit":/ && index(name, want) == 1 {
            unit = field(); printf "%.5g %s (CPU %.5g %s)", real, unit, cpu, unit; found = 1; exit }
        END { if (!found) printf "n/a" }'
}

# figure | benchmark | reference benchmark (may be empty) | target, one a line
table_rows() {
    cat << 'ROWS'
load + save of 1,000 rules|BM_ConfigLoadAndSave1000Rules|BM_ConfigBytesReadAndReplaced|< 20 ms
History window on a 24 MB history|BM_HistoryWindowOpens24MB|BM_ReadWholeHistoryIntoLines|< 300 ms
every line of that history parsed|BM_ParseEveryHistoryLine|BM_ReadWholeHistoryIntoLines|
rule list first show, 200 rules|BM_RuleListFirstShow|BM_PlainTreeFirstShow|
one idle schedule tick (window logic)|BM_IdleScheduleTick||< 100 us
log line timestamp and text|BM_FormatLogLine|BM_JoinReadyLogLine|
log line appended to its file|BM_LogWriteAsciiLines|BM_AppendLockedBytesOnly|
backup pass of 10 rules (fake archiver)|BM_BackupPass|BM_ArchiverDirectly|
log view line after 1,000 lines|BM_LogViewLineAfter/1000/|BM_LogViewLineAfter/100000/|< 80 us, flat (holds)
ROWS
}

{
    printf 'figure\tmeasured\treference\ttarget\n'
    while IFS='|' read -r figure measured reference target; do
        ref=""
        [ -z "$reference" ] || ref="$reference $(bench_time "$reference")"
        printf '%s\t%s\t%s\t%s\n' "$figure" "$measured $(bench_time "$measured")" "$ref" "$target"
    done < <(table_rows)
    cat "$results/end-to-end" 2> /dev/null || true
} > "$results/table"
echo
echo "== summary: each figure beside its reference from this run"
awk -F'\t' '
    { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) }
      if (NF > fields) fields = NF }
    END { for (r = 1; r <= NR; ++r) {
            line = ""
            for (i = 1; i <= fields; ++i) line = line sprintf("%-" width[i] "s  ", cell[r, i])
            sub(/ +$/, "", line); print line } }' "$results/table"
