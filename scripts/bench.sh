#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (Release) and runs them: loading both game files,
# filling the largest section of each tab, one skill edit, saving a 410-line buffer, the
# load and the save each beside a hand-written baseline. Prints Google Benchmark's
# figures, then a table of medians against the targets. A missed target is printed,
# never turned into a failure. Extra arguments go to the benchmark program, e.g.
#     scripts/bench.sh --benchmark_filter=Save
# REPETITIONS (default 15) sets how many times each benchmark is repeated. BUILD_DIR names
# the build tree (default build/bench); an existing tree keeps its other settings.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh libbenchmark-dev
build=${BUILD_DIR:-build/bench}
configure=(-DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BENCH=ON)
[ -f "$build/CMakeCache.txt" ] || configure+=(-G Ninja -DTUNEDECK_BUILD_TESTS=OFF)
log=$(mktemp)
{
    cmake -S . -B "$build" "${configure[@]}" &&
        cmake --build "$build" --target tunedeck_bench
} >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"

"$build/bench/tunedeck_bench" --benchmark_repetitions="${REPETITIONS:-15}" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.1 "$@"
