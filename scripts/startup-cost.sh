#!/usr/bin/env bash
# Measures what starting Tunedeck costs beside the smallest Qt program that shows a
# window. Builds bench/startup_tunedeck and bench/startup_empty_window (Release, in
# build/bench), prepares a working folder (a copy of the demo game folder, the two
# reference copies and a Tunedeck.ini naming the game folder), then runs the two
# programs alternately on the offscreen platform and prints the median wall time of
# each, their ratio, and the peak resident memory of each.
#     scripts/startup-cost.sh [RUNS]      (RUNS of each program, default 20, at least 20)
# Targets: ratio at most 1.25, at most 8 MiB more peak memory. A miss is printed, never
# turned into a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

runs=${1:-20}
if ! [ "$runs" -ge 20 ] 2>/dev/null; then
    echo "usage: $0 [RUNS]   (RUNS >= 20)" >&2
    exit 2
fi

scripts/install-deps.sh libbenchmark-dev
build=build/bench
log=$(mktemp)
{
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF \
        -DTUNEDECK_BENCH=ON &&
        cmake --build "$build" --target startup_tunedeck startup_empty_window
} >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"
tunedeck="$root/$build/bench/startup_tunedeck"
empty="$root/$build/bench/startup_empty_window"

work="$root/$build/startup-work"
scripts/prepare-demo.sh "$work"

export QT_QPA_PLATFORM=offscreen LC_ALL=C # C: a full stop in EPOCHREALTIME
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

# The empty window takes the size of Tunedeck's window. This first run, and the one of the
# empty window below, warm the file cache; neither is timed.
"$tunedeck" "$work" >"$out" 2>"$out.err" || { cat "$out.err" >&2; exit 1; }
size=$(awk '/^window/ { print $2 }' "$out")
width=${size%x*}
height=${size#*x}

"$empty" "$width" "$height" >/dev/null 2>&1
for _ in $(seq "$runs"); do
    measure tunedeck "$tunedeck" "$work"
    measure empty "$empty" "$width" "$height"
done

t_tunedeck=$(median "$out.tunedeck.time")
t_empty=$(median "$out.empty.time")
m_tunedeck=$(median "$out.tunedeck.rss")
m_empty=$(median "$out.empty.rss")
c_tunedeck=$(median "$out.tunedeck.cpu")
c_empty=$(median "$out.empty.cpu")

awk -v runs="$runs" -v size="$size" -v tt="$t_tunedeck" -v te="$t_empty" \
    -v mt="$m_tunedeck" -v me="$m_empty" -v ct="$c_tunedeck" -v ce="$c_empty" 'BEGIN {
    ratio = tt / te
    extra = (mt - me) / 1024
    printf "Start-up cost, %d runs of each, offscreen platform, window %s\n\n", runs, size
    printf "%-28s %16s %15s %18s\n", "Program", "Median wall (ms)", "Median CPU (ms)", "Peak memory (MiB)"
    printf "%-28s %16.1f %15.1f %18.1f\n", "Tunedeck (startup_tunedeck)", tt / 1000, ct / 1000, mt / 1024
    printf "%-28s %16.1f %15.1f %18.1f\n", "Empty window", te / 1000, ce / 1000, me / 1024
    printf "\nWall-time ratio   %.2f      (target <= 1.25: %s)\n", ratio, ratio <= 1.25 ? "met" : "MISSED"
    printf "CPU-time ratio    %.2f      (for comparison; wall time is what is judged)\n", ct / ce
    printf "Extra peak memory %.1f MiB  (target <= 8 MiB: %s)\n", extra, extra <= 8 ? "met" : "MISSED"
}'
