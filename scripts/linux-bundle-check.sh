#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the portable Linux bundle (scripts/linux-bundle.sh) on a system that has no Qt: a
# minimal Debian 12 root made with debootstrap, holding only what a plain desktop has (an X
# server, the X, xcb, xkb and Wayland client libraries, fontconfig with one font, the GL
# libraries, D-Bus, GLib and GTK 3). Inside it, as an ordinary user, the tarball is unpacked
# under another path than it was built in, one holding a %; then
#   - tunedeck-cli set car Bending 1 12000 must write the same bytes as the tool of the
#     normal build (build/release) on another copy of the demo game folder;
#   - install.sh must add a valid menu entry and icon, refuse a HOME or XDG_DATA_HOME that
#     is no full path, and leave a fresh home as it was after install.sh --remove;
#   - on a headless sway without XWayland (no X server anywhere), with GTK set to dark,
#     tunedeck-launch must open the main window ("Tunedeck.") as a Wayland client on a copy
#     of the demo, dark; the same value typed there by keys (wtype) and saved with Ctrl+S
#     must give the tool's bytes;
#   - under Xvfb, the menu entry started by GLib (gio launch) must open the main window,
#     lighter than the dark one.
# It also prints the bundle's glibc floor (the highest GLIBC_ version any of its files
# needs) and fails when that is above 2.35.
#
#   scripts/linux-bundle-check.sh          check the bundle that scripts/linux-bundle.sh made
#   scripts/linux-bundle-check.sh --root   only make the root (if not cached)
#
# Needs root (debootstrap, chroot and mounts); the bundle is made before, as any user. The
# root lives in ${XDG_CACHE_HOME:-~/.cache}/tunedeck/, keyed by debootstrap's version and
# the package list; each run works on an overlay of it, so the cached root never changes.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

only_root=0
for argument in "$@"; do
    case $argument in
        --root) only_root=1 ;;
        *) echo "usage: $0 [--root]" >&2; exit 2 ;;
    esac
done

seconds() { date +%s; }
started=$(seconds)
step() { echo "== $* ($(($(seconds) - started)) s)"; }

if [ "$(id -u)" -ne 0 ]; then
    echo "$0 needs root (debootstrap, chroot, mount)." >&2
    exit 1
fi
scripts/install-deps.sh debootstrap zstd xdotool x11-utils desktop-file-utils sway wtype grim jq

# ---- The root ----------------------------------------------------------------------------
suite=bookworm
# What a plain desktop has, and no more: the X server for the check, the X, xkb and Wayland
# client libraries, fontconfig with one font and HarfBuzz, the GL dispatch libraries, D-Bus
# (dbus-x11: a session bus, which GTK's settings service needs), GLib with its gio tool, and
# GTK 3. The Wayland compositor runs outside the root.
packages=(
    xvfb libx11-6 libx11-xcb1 libxcb1 libxcb-randr0 libxcb-render0 libxcb-shape0
    libxcb-shm0 libxcb-sync1 libxcb-xfixes0 libxcb-xkb1 libxkbcommon0 libxkbcommon-x11-0
    xkb-data libsm6 libice6 libxcursor1 fontconfig fonts-dejavu-core libfreetype6
    libharfbuzz0b libwayland-client0 libwayland-cursor0
    libgl1 libegl1 libopengl0 libglx0 libdbus-1-3 dbus dbus-x11 libglib2.0-0 libglib2.0-bin libgtk-3-0
)
key_text="debootstrap $(dpkg-query -W -f='${Version}' debootstrap); $suite minbase; ${packages[*]}"
key_hash=$(printf '%s' "$key_text" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tunedeck
root=$cache/linux-root-$suite-$key_hash

# The machine's Debian archive for $suite, read from apt's own configuration (either form):
# prints "URI KEYRING" (KEYRING empty when the entry names none).
archive_of_suite() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v want="$suite" '
            function flush(   i, n, m, uris, suites) {
                if (enabled && types ~ /(^| )deb( |$)/ && uri != "" && components ~ /(^| )main( |$)/) {
                    n = split(uri, uris, " "); m = split(suites_text, suites, " ")
                    for (i = 1; i <= m; i++) if (suites[i] == want) print uris[1], signed
                }
                types = uri = suites_text = components = signed = ""; enabled = 1
            }
            BEGIN { enabled = 1 }
            /^[[:space:]]*$/ { flush(); next }
            /^#/ { next }
            { key = tolower($1); sub(/^[^:]*:[[:space:]]*/, "") }
            key == "types:" { types = $0 }
            key == "uris:" { uri = $0 }
            key == "suites:" { suites_text = $0 }
            key == "components:" { components = $0 }
            key == "signed-by:" { signed = $0 }
            key == "enabled:" { enabled = ($0 != "no") }
            END { flush() }
        ' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v want="$suite" '
            $1 != "deb" { next }
            { signed = ""; i = 2 }
            $2 ~ /^\[/ {
                for (; i <= NF; i++) {
                    if ($i ~ /signed-by=/) { signed = $i; sub(/.*signed-by=/, "", signed); sub(/\]$/, "", signed) }
                    if ($i ~ /\]$/) { i++; break }
                }
            }
            $(i + 1) == want { for (j = i + 2; j <= NF; j++) if ($j == "main") { print $i, signed; next } }
        ' "$file"
    done
}

make_root() {
    local archive keyring
    read -r archive keyring < <(archive_of_suite | head -1) || true
    if [ -z "${archive:-}" ]; then
        echo "No Debian archive for $suite with main found in the machine's apt sources." >&2
        exit 1
    fi
    rm -rf "$root" "$root.work"
    local include
    include=$(IFS=,; echo "${packages[*]}")
    debootstrap --variant=minbase --include="$include" ${keyring:+--keyring="$keyring"} \
        "$suite" "$root.work" "$archive" >"$cache/linux-root.log" 2>&1 || {
        tail -30 "$cache/linux-root.log" >&2
        echo "debootstrap failed; its whole log is $cache/linux-root.log" >&2
        exit 1
    }
    # An ordinary user, who runs everything of the check.
    chroot "$root.work" useradd --create-home --uid 4242 --shell /bin/sh player
    chroot "$root.work" apt-get clean
    printf '%s\n' "$key_text" >"$root.work/tunedeck-root-complete"
    mv "$root.work" "$root"
}

mkdir -p "$cache"
if [ -f "$root/tunedeck-root-complete" ]; then
    step "Root: $root (cached)"
else
    step "Root: making $root"
    root_started=$(seconds)
    make_root
    step "Root made in $(($(seconds) - root_started)) s, $(du -sh "$root" | cut -f1)"
fi
[ "$only_root" -eq 1 ] && exit 0

# A root with a Qt file in it would hide a library or plugin missing from the bundle.
qt_files=$(find "$root" -xdev \( -iname 'libqt*' -o -iname '*qt5*' -o -iname '*qt6*' \
           -o -name qt.conf \) -print | sed -n 1,5p)
if [ -n "$qt_files" ]; then
    printf 'The root holds Qt files, so it cannot show that the bundle needs none:\n%s\n' \
        "$qt_files" >&2
    exit 1
fi
step "The root holds no Qt file"

# ---- The bundle --------------------------------------------------------------------------
version=$(sed -n 's/^project(Tunedeck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$repo/build/linux
tarball=$out/Tunedeck-$version-linux-x86_64.tar.zst
if [ ! -f "$tarball" ] || [ ! -x build/release/src/cli/tunedeck-cli ]; then
    echo "No bundle to check: run scripts/linux-bundle.sh first." >&2
    exit 1
fi

# ---- The check, on an overlay of the root ------------------------------------------------
check=$out/check
merged=$check/merged
pids=()
runtime=
stop_programs() { # those started here, and the Wayland runtime folder bound into the root
    local pid mount
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do # a child is waited for; the window that GLib started is not one
        wait "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    done
    pids=()
    if mountpoint -q "$merged/run/user/4242"; then umount "$merged/run/user/4242"; fi
    if [ -n "$runtime" ]; then rm -rf "$runtime"; fi
    runtime=
}
cleanup() {
    local mount
    stop_programs
    for mount in "$merged/proc" "$merged"; do
        if mountpoint -q "$mount"; then umount "$mount" || umount -l "$mount"; fi
    done
}
trap cleanup EXIT
trap 'echo "$0: failed at line $LINENO" >&2' ERR
cleanup
rm -rf --one-file-system "$check"
mkdir -p "$check/upper" "$check/overlay-work" "$merged"
mount -t overlay tunedeck-check \
    -o "lowerdir=$root,upperdir=$check/upper,workdir=$check/overlay-work" "$merged"
mount -t proc proc "$merged/proc"
mkdir -p "$merged/dev/shm"
chmod 1777 "$merged/dev/shm"

home=/home/player
unpacked="$home/Unpacked 100% here"
inside=$unpacked/Tunedeck-$version
# A command as the player, in the root, with a plain environment; chroot and env replace
# themselves with the command, so a command started in the background has the pid in $!.
as_player=(chroot --userspec=player:player "$merged" env -i HOME="$home" PATH=/usr/bin:/bin
           LANG=C.UTF-8 DBUS_SESSION_BUS_ADDRESS=unix:path=/tmp/session-bus)
# The session bus a desktop has; without one, D-Bus would start one of its own through X11.
start_session_bus() {
    "${as_player[@]}" dbus-daemon --session --nofork --address=unix:path=/tmp/session-bus &
    pids+=($!)
}

step "Unpacking the bundle in the root at $inside"
"${as_player[@]}" mkdir -p "$unpacked"
zstd -dc "$tarball" | "${as_player[@]}" tar -C "$unpacked" -xf -

# The glibc floor: the highest GLIBC_ version any file of the bundle needs (its version
# references), as its README says.
floor=$(find "$merged$inside" -type f \( -name '*.so*' -o -name tunedeck -o -name tunedeck-cli \) \
        -exec objdump -p {} + |
        awk '/^Version References:/ { references = 1; next }
             /^$/ { references = 0 }
             references && $4 ~ /^GLIBC_[0-9.]+$/ { print substr($4, 7) }' | sort -uV | tail -1)
step "The bundle's glibc floor: $floor (at most 2.35)"
if [ "$(printf '%s\n' "$floor" 2.35 | sort -V | tail -1)" != 2.35 ]; then
    echo "The bundle needs glibc $floor, above 2.35: Ubuntu 22.04 and SteamOS 3.5 have 2.35." >&2
    exit 1
fi
if ! grep -q "glibc $floor or newer" "$merged$inside/README.md"; then
    echo "The bundle's README does not state its glibc floor, $floor." >&2
    exit 1
fi

# The tool: the same bytes as the normal build's tool, each on its own copy of the demo.
step "tunedeck-cli set car Bending 1 12000"
mkdir -p "$check/normal-work"
cp -r sample/game "$check/normal-game"
(cd "$check/normal-work" &&
    "$repo/build/release/src/cli/tunedeck-cli" --dir "$check/normal-game" set car Bending 1 12000)
if cmp -s sample/game/data/General.txt "$check/normal-game/data/General.txt"; then
    echo "The normal build's tool did not change General.txt." >&2
    exit 1
fi
# With an LD_LIBRARY_PATH naming a broken QtCore, as a runtime such as Steam's may set one:
# the programs' RPATH comes first.
mkdir -p "$merged$home/other-libraries"
: >"$merged$home/other-libraries/libQt6Core.so.6"
cp -r sample/game "$merged$home/game"
chown -R --reference="$merged$home" "$merged$home/game" "$merged$home/other-libraries"
"${as_player[@]}" LD_LIBRARY_PATH="$home/other-libraries" sh -c '
    mkdir -p "$HOME/cli-work" && cd "$HOME/cli-work" &&
    "$1/tunedeck-cli" --dir "$HOME/game" set car Bending 1 12000' _ "$inside"
diff -r "$check/normal-game" "$merged$home/game"
echo "The bundled tool wrote the same bytes as the normal build's."

# The menu entry, added and later removed by install.sh as the player.
step "install.sh"
"${as_player[@]}" "$inside/install.sh"
share=$merged$home/.local/share
entry=$share/applications/org.tunedeck.Tunedeck.desktop
expected_exec="Exec=/bin/sh \"${inside//%/%%}/tunedeck-launch\""
icons=$(find "$share/icons" -name 'org.tunedeck.Tunedeck.*' | wc -l)
if ! grep -qxF "$expected_exec" "$entry" || [ "$icons" -ne 5 ]; then
    echo "install.sh did not add the menu entry ($expected_exec) and its 5 icons ($icons found)." >&2
    exit 1
fi
desktop-file-validate "$entry"

# In a fresh home install.sh --remove leaves nothing; a HOME or XDG_DATA_HOME that is no
# full path is refused, with nothing written where the player stands.
"${as_player[@]}" mkdir "$home/fresh"
"${as_player[@]}" sh -c 'HOME=$HOME/fresh "$1/install.sh" && HOME=$HOME/fresh "$1/install.sh" --remove' \
    _ "$inside" >/dev/null
for setting in HOME= HOME=fresh XDG_DATA_HOME=fresh; do
    if "${as_player[@]}" sh -c 'cd "$HOME/fresh" && env "$2" "$1/install.sh"' _ "$inside" "$setting" \
        2>"$check/refused"; then
        echo "install.sh accepted $setting." >&2
        exit 1
    fi
    grep -q 'not .*full path' "$check/refused" || { cat "$check/refused" >&2; exit 1; }
done
left=$(find "$merged$home/fresh" -mindepth 1)
if [ -n "$left" ]; then
    printf 'install.sh left in a fresh home, or where it was refused:\n%s\n' "$left" >&2
    exit 1
fi

# The window's working folder, on a copy of the demo.
work_folder=$home/.local/share/tunedeck
"${as_player[@]}" mkdir -p "$work_folder"
cp -r sample/game "$merged$home/window-game"
cp sample/original.general sample/original.pedsettings "$merged$work_folder/"
printf '%s\r\n' "$home/window-game" >"$merged$work_folder/Tunedeck.ini"
chown -R --reference="$merged$home" "$merged$home/window-game" "$merged$work_folder"
brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

# ---- Wayland: a headless sway, outside the root, as the player's uid; no X server ------
step "The window on a headless Wayland compositor"
player_ids=$(awk -F: '$1 == "player" { print $3 ":" $4 }' "$merged/etc/passwd")
runtime=$(mktemp -d /tmp/tunedeck-wayland.XXXXXX)
chown "$player_ids" "$runtime"
printf 'xwayland disable\noutput HEADLESS-1 resolution 1280x800\n' >"$runtime/sway.conf"
mkdir -p "$merged/run/user/4242"
mount --bind "$runtime" "$merged/run/user/4242"
as_wayland_user=(setpriv --reuid="${player_ids%:*}" --regid="${player_ids#*:}" --clear-groups
                 env -i HOME="$runtime" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin)
"${as_wayland_user[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$runtime/sway.conf" >"$check/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$runtime/wayland-1" ] && break; sleep 0.1; done
[ -S "$runtime/wayland-1" ] || { cat "$check/sway.log" >&2; echo "sway did not start." >&2; exit 1; }
on_wayland=("${as_wayland_user[@]}" WAYLAND_DISPLAY=wayland-1)
sway_socket=$(find "$runtime" -name 'sway-ipc.*.sock' | head -1)

start_session_bus
# GTK's own setting for a dark theme, on a desktop that Qt takes for GNOME.
"${as_player[@]}" mkdir -p "$home/.config/gtk-3.0"
printf '[Settings]\ngtk-application-prefer-dark-theme=1\n' >"$merged$home/.config/gtk-3.0/settings.ini"
"${as_player[@]}" WAYLAND_DISPLAY=wayland-1 XDG_RUNTIME_DIR=/run/user/4242 XDG_CURRENT_DESKTOP=GNOME \
    XDG_SESSION_TYPE=wayland "$inside/tunedeck-launch" >"$check/tunedeck-wayland.log" 2>&1 &
pids+=($!)
rect=
for _ in $(seq 60); do
    rect=$("${on_wayland[@]}" swaymsg -s "$sway_socket" -t get_tree 2>/dev/null | jq -r '
        .. | objects | select(.name? == "Tunedeck." and .shell == "xdg_shell") |
        "\(.rect.x + .window_rect.x),\(.rect.y + .window_rect.y) \(.window_rect.width)x\(.window_rect.height)"' |
        head -1) || true
    [ -n "$rect" ] && break
    sleep 0.5
done
if [ -z "$rect" ]; then
    cat "$check/tunedeck-wayland.log" >&2
    echo "The bundled Tunedeck showed no Wayland window (\"Tunedeck.\") within 30 s." >&2
    exit 1
fi
sleep 1
"${on_wayland[@]}" grim -g "$rect" - >"$out/check-wayland.png"
dark=$(brightness "$out/check-wayland.png")
echo "The main window is a Wayland client, brightness $dark ($out/check-wayland.png)."

# The value of the tool's run, by keys: Tab to the chooser, its list, Bending, Tab into the
# grid, F2 on its first value, 12000, Enter, then Ctrl+S. wtype waits (-s, ms) before
# its first key, which a fresh keyboard would lose, and between the steps.
"${on_wayland[@]}" wtype -s 300 -k Tab -M alt -k Down -m alt -s 300 -k Down -k Return -s 300 \
    -k Tab -s 300 -k F2 -s 200 12000 -k Return -s 300 -M ctrl s -m ctrl
for _ in $(seq 50); do
    cmp -s sample/game/data/General.txt "$merged$home/window-game/data/General.txt" || break
    sleep 0.2
done
if ! diff -r "$check/normal-game" "$merged$home/window-game"; then
    echo "The value typed and saved on Wayland did not give the tool's bytes." >&2
    exit 1
fi
echo "The value typed and saved on Wayland gave the tool's bytes."
stop_programs

# ---- X11: the menu entry, started by GLib, under Xvfb ------------------------------------
step "The window under Xvfb, started by gio launch"
rm "$merged$home/.config/gtk-3.0/settings.ini"
start_session_bus
"${as_player[@]}" Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$check/display" \
    2>"$check/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$check/display" ] && break; sleep 0.1; done
display=:$(tr -dc 0-9 <"$check/display")
[ "$display" != : ] || { cat "$check/xvfb.log" >&2; echo "Xvfb did not start." >&2; exit 1; }
"${as_player[@]}" DISPLAY="$display" gio launch "${entry#"$merged"}" >"$check/tunedeck.log" 2>&1
window=
for _ in $(seq 60); do
    window=$(DISPLAY=$display xdotool search --name '^Tunedeck\.$' 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    sleep 0.5
done
if [ -z "$window" ]; then
    cat "$check/tunedeck.log" >&2
    echo "The menu entry showed no main window (\"Tunedeck.\") within 30 s." >&2
    exit 1
fi
pids+=("$(DISPLAY=$display xdotool getwindowpid "$window")")
sleep 1
DISPLAY=$display import -window "$window" "$out/check-window.png"
light=$(brightness "$out/check-window.png")
echo "The main window is shown, brightness $light ($out/check-window.png)."
if ! awk -v dark="$dark" -v light="$light" 'BEGIN { exit !(dark < light / 2) }'; then
    echo "With GTK set to dark the window was not dark: brightness $dark against $light." >&2
    exit 1
fi

step "install.sh --remove"
"${as_player[@]}" "$inside/install.sh" --remove
left=$(find "$share" -name 'org.tunedeck.Tunedeck.*')
if [ -n "$left" ]; then
    printf 'install.sh --remove left:\n%s\n' "$left" >&2
    exit 1
fi

# The scratch files go (a failed check leaves them for a look); the screenshots stay.
cleanup
rm -rf --one-file-system "$check"
chown --reference="$out" "$out/check-window.png" "$out/check-wayland.png" 2>/dev/null || true
step "The bundle passed: glibc floor $floor, $(du -h "$tarball" | cut -f1) $tarball"
