#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Another program rewriting General.txt in place, slowly and pausing inside its last line,
# against an open window (bench/slow_writes.cpp): prints how often the window read a file
# that was not whole, how often a Save during the pause would have replaced it unasked,
# how many writes were never read, and how long after each write the tabs showed it.
#     scripts/slow-writes.sh [RUNS] [PAUSE_MS] [UNFINISHED_MS]   (default 100, 2000, 5000)
# Takes RUNS x (about 0.5 s + PAUSE_MS). BUILD_DIR names the build tree (default
# build/bench); an existing tree keeps its other settings, so a tree that also builds the
# tests can be used. Exits 1 when anything but the times is not 0.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh libbenchmark-dev
build=${BUILD_DIR:-build/bench}
case $build in /*) ;; *) build="$root/$build" ;; esac
configure=(-DTUNEDECK_BENCH=ON)
[ -f "$build/CMakeCache.txt" ] || configure+=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF)
log=$(mktemp)
{
    cmake -S . -B "$build" "${configure[@]}" && cmake --build "$build" --target slow_writes
} >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"

work="$build/slow-writes-work"
scripts/prepare-demo.sh "$work"
export QT_QPA_PLATFORM="offscreen:configfile=$root/tests/shell/large-screen.json"
"$build/bench/slow_writes" "$work" "${1:-100}" "${2:-2000}" "${3:-5000}"
