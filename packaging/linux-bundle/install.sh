#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts a menu entry for Tunedeck of this folder, and its icon, into the current user's own
# folders (${XDG_DATA_HOME:-~/.local/share}/applications and icons); needs no root.
#
#   ./install.sh            add the entry (again after moving the folder)
#   ./install.sh --remove   take the entry and the icon out again
set -eu

id=org.tunedeck.Tunedeck
here=$(cd -- "$(dirname -- "$0")" && pwd -P)
data=${XDG_DATA_HOME:-}
case $data in
/*) ;;
*) data=$HOME/.local/share ;; # unset, empty or relative: the default
esac
entry=$data/applications/$id.desktop
icons=$data/icons/hicolor
sizes="48x48 64x64 128x128 256x256"

refresh() { # the menus of most desktops notice the change by themselves; these help the rest
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$data/applications" 2>/dev/null || true
    fi
}

case ${1:-} in
--remove)
    rm -f -- "$entry" "$icons/scalable/apps/$id.svg"
    for size in $sizes; do rm -f -- "$icons/$size/apps/$id.png"; done
    refresh
    echo "Removed the menu entry $entry and its icon."
    exit 0
    ;;
"") ;;
*)
    echo "usage: $0 [--remove]" >&2
    exit 2
    ;;
esac

case $here in
*"
"*)
    echo "The folder's path holds a line break, which a menu entry cannot name: $here" >&2
    exit 1
    ;;
esac

# The launcher's path as one quoted argument of Exec: \ " ` $ escaped inside the quotes,
# % doubled, then every \ doubled once more, as the string of a desktop entry.
exec_path=$(printf '%s\n' "$here/tunedeck-launch" |
    sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/\\/\\\\/g')

mkdir -p -- "$data/applications" "$icons/scalable/apps"
for size in $sizes; do
    mkdir -p -- "$icons/$size/apps"
    cp -- "$here/share/icons/hicolor/$size/apps/$id.png" "$icons/$size/apps/$id.png"
done
cp -- "$here/share/icons/hicolor/scalable/apps/$id.svg" "$icons/scalable/apps/$id.svg"

# Written beside its place and then moved there, so a menu never reads half an entry.
while IFS= read -r line; do
    case $line in
    Exec=*) printf 'Exec="%s"\n' "$exec_path" ;;
    *) printf '%s\n' "$line" ;;
    esac
done <"$here/share/applications/$id.desktop" >"$entry.new"
mv -f -- "$entry.new" "$entry"
refresh
echo "Added the menu entry $entry; it starts $here/tunedeck-launch."
