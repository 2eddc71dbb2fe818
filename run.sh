#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tunedeck and opens it on the demo game folder, in a scratch working folder
# inside the build tree (no file of the repository is ever changed). Without a display
# it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tunedeck

work="$root/build/release/demo"
scripts/prepare-demo.sh "$work"
program="$root/build/release/src/shell/tunedeck"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    cd "$work" && exec "$program"
fi

shot="$work/tunedeck-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    cd "$1"
    "$2" & pid=$!
    sleep 3
    import -window root "$3"
    kill $pid
    wait $pid 2>/dev/null || true
' _ "$work" "$program" "$shot"
echo "Screenshot: $shot"
