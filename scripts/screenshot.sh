#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes docs/images/tunedeck.png, the picture in the README: Tunedeck on the demo game
# folder under Xvfb with a window manager, the Miscellaneous tab's Credit Awards (easy)
# shown, after `tunedeck-cli set` changed one of its values while the window was open.
# It runs in a scratch working folder inside the build tree, as run.sh does.
#
#   scripts/screenshot.sh [BUILD_DIR]    # default build/release, built here when missing
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/${1:-build/release}"

scripts/install-deps.sh openbox xdotool
if [ ! -x "$build/src/shell/tunedeck" ] || [ ! -x "$build/src/cli/tunedeck-cli" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target tunedeck tunedeck-cli
fi

work="$build/screenshot/demo"
scripts/prepare-demo.sh "$work"
shot="$build/screenshot/screen.png"
mkdir -p docs/images

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    work=$1 program=$2 tool=$3 shot=$4
    openbox & manager=$!
    cd "$work"
    "$program" & tunedeck=$!
    trap "kill $tunedeck $manager 2>/dev/null || true" EXIT
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Tunedeck\.\$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "Tunedeck did not open its window" >&2; exit 1; }
    sleep 1
    xdotool windowactivate --sync "$window"
    xdotool key ctrl+Next ctrl+Next                    # the Miscellaneous tab
    sleep 0.5
    xdotool mousemove --window "$window" 190 48 click 1 # open its section chooser
    sleep 0.5
    xdotool mousemove --window "$window" 95 77 click 1  # Credit Awards, easy
    sleep 0.5
    xdotool mousemove 1020 760                          # off the window: its hints stay away
    "$tool" set misc 1 1 250 >/dev/null                 # another program changes a value
    sleep 1
    import -window root "$shot"
' _ "$work" "$build/src/shell/tunedeck" "$build/src/cli/tunedeck-cli" "$shot"

# Only the window, without the empty screen around it.
convert "$shot" -trim +repage -strip docs/images/tunedeck.png
echo "Picture: $root/docs/images/tunedeck.png"
