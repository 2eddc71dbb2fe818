#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Walks the typical edit pass of Tunedeck by keys only, with the Orca screen reader
# listening, and prints what Orca says after each key. Run from the repository root:
#
#   scripts/screen-reader-walk.sh [path/to/tunedeck]
#
# (default: build/test/src/shell/tunedeck). Needs orca, at-spi2-core, xvfb, openbox,
# dbus, xdotool and python3-pyatspi; it is not a test of the suite, it takes about two
# minutes, and it is how a person checks the window with a screen reader.
#
# After the edit pass come the actions whose result is not a new focus (undo, redo, save,
# another program's change, Restore, Save Directory) and the folder tree; for each, the
# seconds from the key to the first words Orca speaks of its outcome are printed.
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
        tail -n +"$1" "$WALK_LOG" | sed -e :a -e "/SPEECH OUTPUT: .*[^}]\$/{N;s/\n/ /;ba}" |
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
    seconds() { # a time of day, HH:MM:SS.fraction, in seconds
        echo "$1" | awk -F: "{ printf \"%.3f\", \$1 * 3600 + \$2 * 60 + \$3 }"
    }
    timed() { # $1: what the player does; $2: words of its outcome (grep -E); the rest: command
        local what=$1 words=$2 start first=""; shift 2
        from=$(($(wc -l <"$WALK_LOG") + 1))
        start=$(date +%H:%M:%S.%N)
        "$@"
        for _ in $(seq 300); do
            first=$(tail -n +"$from" "$WALK_LOG" | grep -m 1 -E "SPEECH OUTPUT: .*($words)" |
                cut -d " " -f 1 || true)
            [ -n "$first" ] && break
            sleep 0.1
        done
        sleep 1.5
        if [ -n "$first" ]; then
            echo "$what [outcome spoken after $(awk "BEGIN { printf \"%.1f\", \
                $(seconds "$first") - $(seconds "$start") }") s]"
        else
            echo "$what [outcome not spoken within 30 s]"
        fi
        said "$from"
    }
    changeFile() { # another program rewrites a line of General.txt, as an editor does
        perl -pi -e "s/^12,9,7\t/250,9,7\t/ if \$. == 59" "$WALK_WORK/game/data/General.txt"
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
    step "Ctrl+PgUp: back to Car Settings" key ctrl+Prior
    step "Tab: into the grid (empty)" key Tab
    timed "Ctrl+Z: undo" "Undo" xdotool key ctrl+z
    timed "Ctrl+Y: redo" "Redo" xdotool key ctrl+y
    timed "Ctrl+S: save" "File updated" xdotool key ctrl+s
    step "Enter: close the box" key Return
    timed "Ctrl+Home: the Details cell" "read only" xdotool key ctrl+Home
    timed "(another program changes General.txt)" "read again" changeFile
    step "Tab 7 times: to Restore" key --delay 200 Tab Tab Tab Tab Tab Tab Tab
    timed "Space: Restore" "Restore" xdotool key space
    timed "Ctrl+Z: undo the restore" "Undo" xdotool key ctrl+z
    timed "Ctrl+Y: redo the restore" "Redo" xdotool key ctrl+y
    step "Tab 3 times: to Save" key --delay 200 Tab Tab Tab
    timed "Tab: into the folder tree" "Selected folder" xdotool key Tab
    timed "Down" "level" xdotool key Down
    step "Up" key Up
    step "Tab: to Save Directory" key Tab
    timed "Space: Save Directory" "alert" xdotool key space
    step "Enter: close the box" key Return
    step "Shift+Tab 5 times: into the grid" key --delay 200 shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
    step "type 0.3" type --delay 80 0.3
    step "Enter: commit" key Return
    step "Ctrl+Q: close" key ctrl+q
    step "Tab" key Tab
    step "Space: Don'\''t Save" key space
    sleep 1
    kill "$tunedeck" "$reader" "$manager" "$bus" 2>/dev/null || true
'
