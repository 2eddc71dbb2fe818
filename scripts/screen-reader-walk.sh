#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Walks the typical edit pass of Tunedeck by keys only, with the Orca screen reader
# listening, and prints what Orca says after each key. Run from the repository root:
#
#   scripts/screen-reader-walk.sh [path/to/tunedeck]
#
# (default: build/test/src/shell/tunedeck). Needs orca, at-spi2-core, xvfb, openbox,
# dbus, xdotool and python3-pyatspi; it is not a test of the suite, it takes about a
# minute, and it is how a person checks the window with a screen reader.
#
# Orca runs here without a sound card: speech-dispatcher is kept away (a stand-in
# `speechd` module that fails to import), so Orca only writes each utterance to its debug
# file, as a "SPEECH OUTPUT:" line. Its start script is copied so that the debug file is
# written line by line and the process has a name of its own (another Orca, or
# `orca --replace`, leaves it alone).
set -euo pipefail
program=$(realpath "${1:-build/test/src/shell/tunedeck}")
[ -x "$program" ] || { echo "No program at $program" >&2; exit 1; }
for tool in orca Xvfb openbox dbus-run-session xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
bus_launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    2>/dev/null | head -n 1 || true)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
scripts/prepare-demo.sh "$scratch/work"
mkdir -p "$scratch/python/speechd" "$scratch/home"
echo 'raise ImportError("no speech-dispatcher here")' >"$scratch/python/speechd/__init__.py"
sed -e "s/setProcessName('orca')/setProcessName('walk-reader')/" \
    -e "s/open(args.debug_file, 'w')/open(args.debug_file, 'w', buffering=1)/" \
    "$(command -v orca)" >"$scratch/walk-reader"
# Orca's own interpreter, which has its modules, whatever python3 comes first on PATH.
interpreter=$(sed -n '1s/^#! *//p' "$(command -v orca)")

display=:$((90 + RANDOM % 100))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$((90 + RANDOM % 100)); done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# WALK_KEEP_LOG=file keeps Orca's whole debug log there.
trap 'kill $xvfb 2>/dev/null; [ -z "${WALK_KEEP_LOG:-}" ] || cp "$scratch/orca.log" "$WALK_KEEP_LOG"
      rm -rf "$scratch"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

export DISPLAY=$display HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config \
    XDG_DATA_HOME=$scratch/home/.local/share XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export WALK_PROGRAM=$program WALK_WORK=$scratch/work WALK_LOG=$scratch/orca.log \
    WALK_READER=$scratch/walk-reader WALK_PYTHON=$scratch/python WALK_BUS=$bus_launcher \
    WALK_PYTHON3=$interpreter

# What the accessible tree shows of the menu bar, the names, the tabs and the Save buttons.
export WALK_TREE='
import pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Tunedeck")
def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)
nodes = list(walk(app))
padded = sorted({n.name for n in nodes if n.name != n.name.strip()})
print("padded names:", padded if padded else "none")
for n in nodes:
    role = n.getRoleName()
    if role == "menu bar":
        print("menu bar:", ", ".join(c.getRoleName() + " " + repr(c.name) for c in n))
    if role == "page tab list":
        tabs = []
        for c in n:
            states = c.getState()
            tab = repr(c.name)
            if states.contains(pyatspi.STATE_SELECTED):
                tab += " selected"
            if c.description:
                tab += " (" + c.description + ")"
            tabs.append(tab)
        print("page tab list", repr(n.name) + ":", ", ".join(tabs))
    if role == "push button" and n.name.startswith("Save") and n.description:
        print("push button", repr(n.name), "(" + n.description + ")")
'

# Everything that talks over D-Bus lives in one private session.
dbus-run-session -- bash -euo pipefail -c '
    openbox >/dev/null 2>&1 &
    manager=$!
    "$WALK_BUS" --launch-immediately >/dev/null 2>&1 &
    bus=$!
    gsettings set org.gnome.desktop.a11y.applications screen-reader-enabled true
    PYTHONPATH=$WALK_PYTHON "$WALK_PYTHON3" "$WALK_READER" -d braille --debug-file="$WALK_LOG" \
        >/dev/null 2>&1 &
    reader=$!
    for _ in $(seq 100); do
        grep -q "Orca is ready\|ORCA: Ready\|INFO: Orca is ready" "$WALK_LOG" 2>/dev/null && break
        sleep 0.2
    done
    sleep 2
    cd "$WALK_WORK"
    from=$(($(wc -l <"$WALK_LOG") + 1))
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$WALK_PROGRAM" >/dev/null 2>&1 &
    tunedeck=$!
    window=$(xdotool search --sync --name "^Tunedeck\.$" | head -n 1)
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    xdotool windowfocus --sync "$window"
    sleep 3

    said() { # what Orca said since line $1 of its log, one utterance after another
        tail -n +"$1" "$WALK_LOG" |
            sed -En "s/^.*SPEECH OUTPUT: '\''(.*)'\'' ?\[?\{.*$/\1/p" |
            { grep -v "^ *$" || true; } | paste -sd "|" | sed -e "s/|/ | /g" -e "s/^/    /"
    }
    step() { # $1: what the player does; the rest: xdotool arguments
        local what=$1; shift
        [ $# -gt 0 ] && from=$(($(wc -l <"$WALK_LOG") + 1)) && xdotool "$@"
        sleep 1.5
        echo "$what"
        said "$from"
    }
    step "(the window opens)"
    step "Tab: to the section chooser" key Tab
    step "Alt+Down: open the chooser" key alt+Down
    step "Down" key Down
    step "Enter: choose Bending" key Return
    step "Tab: into the grid" key Tab
    step "Down" key Down
    step "Up" key Up
    step "F2: edit the value" key F2
    step "type 12000" type --delay 80 12000
    step "Enter: commit" key Return
    step "Down" key Down
    step "F2: edit the value" key F2
    step "type 1,5" type --delay 80 1,5
    step "Enter: commit (refused)" key Return
    step "Enter: close the Error box" key Return
    step "Ctrl+PgDn: next tab" key ctrl+Next
    echo "(the accessible tree now)"
    "$WALK_PYTHON3" -c "$WALK_TREE" 2>&1 | sed "s/^/    /"
    step "Ctrl+Q: close" key ctrl+q
    step "Tab" key Tab
    step "Space: Don'\''t Save" key space
    sleep 1
    kill "$tunedeck" "$reader" "$manager" "$bus" 2>/dev/null || true
'
