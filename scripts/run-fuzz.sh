#!/usr/bin/env bash
# Runs the configuration reader's fuzz target for a bounded time.
#   run-fuzz.sh BUILD_DIR SECONDS
# New inputs go to BUILD_DIR/fuzz-corpus; the seeds in tests/fuzz/corpus are
# read but never changed. A crash leaves its input in BUILD_DIR/fuzz-crashes
# and ends with a non-zero status.
set -euo pipefail

build=${1:?build folder}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)

corpus="$build/fuzz-corpus"
crashes="$build/fuzz-crashes"
mkdir -p "$corpus" "$crashes"

echo "fuzz: tessaro_config_fuzzer for ${seconds}s, seeds in tests/fuzz/corpus"
"$build/bin/tessaro_config_fuzzer" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$crashes/" \
    "$corpus" "$root/tests/fuzz/corpus"
