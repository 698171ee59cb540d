#!/usr/bin/env bash
# Runs every benchmark program of the build, one after the other.
set -euo pipefail
bin="${1:-build/bin}"
found=0
for program in "$bin"/bench_*; do
    [ -x "$program" ] || continue
    found=1
    echo "== $(basename "$program")"
    "$program" --benchmark_counters_tabular=true
done
if [ "$found" -eq 0 ]; then
    echo "no benchmark programs in $bin" >&2
    exit 1
fi
# The whole program against shell loops doing the same work.
bash "$(dirname "$0")/bench-end-to-end.sh" "$bin"
