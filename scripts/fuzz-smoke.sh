#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang and runs each for a short, bounded time.
#
#   FUZZ_SECONDS  time per target (default 30)
#   FUZZ_RUNS     stop each target after this many inputs instead (a long run: e.g. 10000000)
#   FUZZ_TARGETS  the targets to run (default: all of them)
#
# Seeds are made afresh from the demo files in sample/ on every run; inputs the fuzzer
# finds on its own collect in build/fuzz/corpus/, and any crashing input is kept in
# build/fuzz/crashes/. Exits non-zero when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
seconds=${FUZZ_SECONDS:-30}
runs=${FUZZ_RUNS:-}
all_targets=(fuzz_setting_line fuzz_text_buffer fuzz_text_wrap fuzz_configuration_file
             fuzz_section_write_back)
targets=(${FUZZ_TARGETS:-${all_targets[*]}})

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTUNEDECK_FUZZ=ON -DTUNEDECK_SANITIZE=OFF -DTUNEDECK_BUILD_TESTS=OFF
cmake --build "$build" --target fuzz_targets

general=sample/game/data/General.txt
settings=sample/game/data/peds/Settings.txt
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$build/crashes" "$build/logs"
for target in "${all_targets[@]}"; do
    mkdir -p "$seeds/$target" "$build/corpus/$target"
done

# Every line of the demo files. The fuzzer's data reader takes the texts from the front
# (each ended by a backslash and another character) and the numbers from the back.
lines=()
while IFS= read -r line || [ -n "$line" ]; do
    lines+=("$line")
done < <(cat "$general" "$settings" sample/original.general sample/original.pedsettings | sort -u)

n=0
for line in "${lines[@]}"; do
    # line, comment, easy, medium, hard; then index, line count and row from the back
    printf '%s\\;%s\\;1\\;2\\;3\001\003\005' "${line//\\/\\\\}" "Bouyancy factor" \
        > "$seeds/fuzz_setting_line/line$((n += 1))"
done

cp "$general" "$seeds/fuzz_text_buffer/general"
cp "$settings" "$seeds/fuzz_text_buffer/settings"
cp sample/original.general "$seeds/fuzz_text_buffer/original.general"
head -c 2000 "$general" | tr -d '\r' > "$seeds/fuzz_text_buffer/line-feeds-only"

message='Your Tunedeck.ini was corrupted and has been deleted. You must save your "Gorewheel 2" directory again.'
printf '\200%s' "$message" > "$seeds/fuzz_text_wrap/start-up"
printf '\024%s\n%s' "$message" "$message" > "$seeds/fuzz_text_wrap/two-lines"
n=0
for line in "${lines[@]:0:200}"; do
    printf '\074%s' "$line" > "$seeds/fuzz_text_wrap/line$((n += 1))"
done

game=$PWD/sample/game
printf '\000%s\r\n' "$game" > "$seeds/fuzz_configuration_file/crlf"
printf '\000%s\n' "$game" > "$seeds/fuzz_configuration_file/lf"
printf '\000%s' "$game" > "$seeds/fuzz_configuration_file/unterminated"
printf '\001%s' "$game" > "$seeds/fuzz_configuration_file/long"

# Eight typed values, both game files, then from the back: length change, tab with
# the changed length, number of actions, and per action its kind, tab or row, item.
{
    printf '7\\;key\\;1.5\\;key\\;\\;\\;-3\\;key\\;42\\;key\\;a,b\\;key\\;9\\;key\\;0\\;key\\;'
    cat "$general" "$settings"
    # actions, last to first: (kind which item) reversed
    printf '\000\000\003'   # 8: commit row 1
    printf '\005\003\002'   # 7: choose item 3 on APO
    printf '\000\003\007'   # 6: switch tabs
    printf '\000\002\005'   # 5: commit row 3
    printf '\004\001\001'   # 4: choose item 2 on Pedestrians
    printf '\000\001\004'   # 3: commit row 2
    printf '\000\000\003'   # 2: commit row 1
    printf '\003\002\000'   # 1: choose item 1 on Miscellaneous
    printf '\007\000\004'   # 8 actions, tab 0, no length change
} > "$seeds/fuzz_section_write_back/both-files"

options=(-timeout=20 -rss_limit_mb=2048 -print_final_stats=1)
if [ -n "$runs" ]; then
    options+=(-runs="$runs")
else
    options+=(-max_total_time="$seconds")
fi

# Largest input per target: the whole demo files are among the text buffer's seeds, but
# inputs that long make it a hundred times slower without reaching more of the code.
# (The section target keeps its full-size seed: it fills 2195 buffer lines either way.)
declare -A max_len=([fuzz_text_buffer]=2048 [fuzz_text_wrap]=1024)

run() {
    local target=$1
    local limit=()
    [ -n "${max_len[$target]:-}" ] && limit=(-max_len="${max_len[$target]}")
    "$build/fuzz/$target" "${options[@]}" "${limit[@]}" -artifact_prefix="$build/crashes/$target-" \
        "$build/corpus/$target" "$seeds/$target"
}

# As many targets at once as there are processors.
jobs=$(nproc)
failed=()
for ((first = 0; first < ${#targets[@]}; first += jobs)); do
    pids=()
    for target in "${targets[@]:first:jobs}"; do
        run "$target" > "$build/logs/$target.log" 2>&1 &
        pids+=("$!")
    done
    for i in "${!pids[@]}"; do
        target=${targets[first + i]}
        if wait "${pids[$i]}"; then status=passed; else status=FAILED; failed+=("$target"); fi
        executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log")
        speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/logs/$target.log")
        echo "$target: $status, ${executed:-?} inputs, ${speed:-?} per second"
        if [ "$status" = FAILED ]; then
            tail -n 60 "$build/logs/$target.log"
        fi
    done
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz targets failed: ${failed[*]} (inputs in $build/crashes/)"
    exit 1
fi
