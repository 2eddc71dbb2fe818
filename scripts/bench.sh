#!/usr/bin/env bash
# Builds the benchmarks (Release, in build/bench) and runs them: loading both game files,
# filling the largest section of each tab, one skill edit, saving a 410-line buffer, the
# load and the save each beside a hand-written baseline. Prints Google Benchmark's
# figures, then a table of medians against the targets. A missed target is printed,
# never turned into a failure. Extra arguments go to the benchmark program, e.g.
#     scripts/bench.sh --benchmark_filter=Save
# REPETITIONS (default 15) sets how many times each benchmark is repeated.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev
build=build/bench
log=$(mktemp)
{
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF \
        -DTUNEDECK_BENCH=ON &&
        cmake --build "$build" --target tunedeck_bench
} >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"

"$build/bench/tunedeck_bench" --benchmark_repetitions="${REPETITIONS:-15}" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.1 "$@"
