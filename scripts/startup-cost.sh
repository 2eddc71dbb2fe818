#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures what starting Tunedeck costs beside the smallest Qt programs that show a
# window. Builds bench/startup_tunedeck and bench/startup_plain_window (Release), prepares
# a working folder (a copy of the demo game folder, the two reference copies and a
# Tunedeck.ini naming the game folder), then runs Tunedeck and the plain window with and
# without a line of text in turn on the offscreen platform and prints the median wall
# time, processor time and peak resident memory of each, and Tunedeck's ratios to the
# other two.
#     scripts/startup-cost.sh [RUNS]      (RUNS of each program, default 20, at least 20)
# The floor is the window of the same size that draws one line of text in a label: it
# starts fontconfig and loads a font, as any real window does. The empty window never
# does; it is printed as a second reference line.
# Targets, against the text window: wall-time ratio at most 1.3, at most 5 MiB more peak
# memory. A miss is printed, never turned into a failure.
# BUILD_DIR names the build tree (default build/bench); an existing tree keeps its other
# settings, so a tree that also builds the tests can be used.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

runs=${1:-20}
if ! [ "$runs" -ge 20 ] 2>/dev/null; then
    echo "usage: $0 [RUNS]   (RUNS >= 20)" >&2
    exit 2
fi

scripts/install-deps.sh libbenchmark-dev
build=${BUILD_DIR:-build/bench}
case $build in /*) ;; *) build="$root/$build" ;; esac
configure=(-DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BENCH=ON)
[ -f "$build/CMakeCache.txt" ] || configure+=(-G Ninja -DTUNEDECK_BUILD_TESTS=OFF)
log=$(mktemp)
{
    cmake -S . -B "$build" "${configure[@]}" &&
        cmake --build "$build" --target startup_tunedeck startup_plain_window
} >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"
tunedeck="$build/bench/startup_tunedeck"
plain="$build/bench/startup_plain_window"

work="$build/startup-work"
scripts/prepare-demo.sh "$work"

# A screen larger than the window, as the window tests have: on the offscreen default of
# 800 x 600 the window would not fit and take scroll bars.
export QT_QPA_PLATFORM="offscreen:configfile=$root/tests/shell/large-screen.json" LC_ALL=C # C: a full stop in EPOCHREALTIME
out=$(mktemp)
trap 'rm -f "$out" "$out".*' EXIT

# Runs a program once; appends its wall time (microseconds) and peak memory (KiB).
measure() {
    local name=$1
    shift
    local start=$EPOCHREALTIME
    if ! "$@" >"$out" 2>"$out.err"; then
        echo "$name failed:" >&2
        cat "$out.err" >&2
        exit 1
    fi
    local stop=$EPOCHREALTIME
    echo $((${stop/./} - ${start/./})) >>"$out.$name.time"
    awk '/^peak_rss_kib/ { print $2 }' "$out" >>"$out.$name.rss"
    awk '/^cpu_us/ { print $2 }' "$out" >>"$out.$name.cpu"
}

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# The two plain windows take the size of Tunedeck's window. This first run, and those of
# the plain windows below, warm the file cache; none is timed.
"$tunedeck" "$work" >"$out" 2>"$out.err" || { cat "$out.err" >&2; exit 1; }
size=$(awk '/^window/ { print $2 }' "$out")
width=${size%x*}
height=${size#*x}

"$plain" "$width" "$height" "Choose Setting" >/dev/null 2>&1
"$plain" "$width" "$height" >/dev/null 2>&1
for _ in $(seq "$runs"); do
    measure tunedeck "$tunedeck" "$work"
    measure text "$plain" "$width" "$height" "Choose Setting"
    measure empty "$plain" "$width" "$height"
done

figures() { echo "$(median "$out.$1.time") $(median "$out.$1.cpu") $(median "$out.$1.rss")"; }

awk -v runs="$runs" -v size="$size" -v t="$(figures tunedeck)" -v x="$(figures text)" \
    -v e="$(figures empty)" 'BEGIN {
    split(t, td); split(x, tx); split(e, te) # wall (us), CPU (us), peak memory (KiB)
    printf "Start-up cost, %d runs of each, offscreen platform, window %s\n\n", runs, size
    printf "%-28s %16s %15s %18s\n", "Program", "Median wall (ms)", "Median CPU (ms)", "Peak memory (MiB)"
    printf "%-28s %16.1f %15.1f %18.1f\n", "Tunedeck (startup_tunedeck)", td[1] / 1000, td[2] / 1000, td[3] / 1024
    printf "%-28s %16.1f %15.1f %18.1f\n", "Text window (the floor)", tx[1] / 1000, tx[2] / 1000, tx[3] / 1024
    printf "%-28s %16.1f %15.1f %18.1f\n", "Empty window", te[1] / 1000, te[2] / 1000, te[3] / 1024
    ratio = td[1] / tx[1]
    extra = (td[3] - tx[3]) / 1024
    printf "\nAgainst the text window\n"
    printf "  Wall-time ratio   %.2f      (target <= 1.3: %s)\n", ratio, ratio <= 1.3 ? "met" : "MISSED"
    printf "  CPU-time ratio    %.2f      (for comparison; wall time is what is judged)\n", td[2] / tx[2]
    printf "  Extra peak memory %.1f MiB  (target <= 5 MiB: %s)\n", extra, extra <= 5 ? "met" : "MISSED"
    printf "Against the empty window (reference only)\n"
    printf "  Wall-time ratio   %.2f\n", td[1] / te[1]
    printf "  CPU-time ratio    %.2f\n", td[2] / te[2]
    printf "  Extra peak memory %.1f MiB\n", (td[3] - te[3]) / 1024
}'
