#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts a menu entry for Tunedeck of this folder, and its icon, into the current user's own
# folders (${XDG_DATA_HOME:-~/.local/share}/applications and icons); needs no root.
#
#   ./install.sh            add the entry (again after moving the folder)
#   ./install.sh --remove   take the entry and the icon out again, and the folders made
#                           for them when nothing else is left in them
set -eu

id=org.tunedeck.Tunedeck
here=$(cd -- "$(dirname -- "$0")" && pwd -P)

# The user's data folder: XDG_DATA_HOME, or ~/.local/share when that is unset or empty.
# Either must be a full path: a relative one would put the entry wherever this happens to
# be started, where no menu looks, and an empty HOME would name /.local/share.
refuse() {
    printf 'install.sh: %s, so there is no place for the menu entry; nothing was changed.\n' "$1" >&2
    exit 1
}
data=${XDG_DATA_HOME:-}
home_data=
if [ -z "$data" ]; then
    case ${HOME:-} in
    /*) data=$HOME/.local/share home_data=1 ;;
    *) refuse "HOME is \"${HOME:-}\", not the full path of your home folder" ;;
    esac
fi
case $data in
/*) ;;
*) refuse "XDG_DATA_HOME is \"$data\", not a full path (unset it for ~/.local/share)" ;;
esac
entry=$data/applications/$id.desktop
icons=$data/icons/hicolor
sizes="48x48 64x64 128x128 256x256"

case ${1:-} in
--remove)
    rm -f -- "$entry" "$icons/scalable/apps/$id.svg"
    for size in $sizes; do rm -f -- "$icons/$size/apps/$id.png"; done
    # The folders this script makes, deepest first, each only when it is left empty.
    for size in $sizes scalable; do rmdir -- "$icons/$size/apps" "$icons/$size" 2>/dev/null || true; done
    rmdir -- "$icons" "$data/icons" "$data/applications" 2>/dev/null || true
    if [ -n "$home_data" ]; then rmdir -- "$data" "$HOME/.local" 2>/dev/null || true; fi
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
# % doubled, then every \ doubled once more, as the string of a desktop entry. The program
# of Exec is /bin/sh, which runs the launcher: GLib looks up the program's path before it
# undoes the doubled %, so a folder whose path holds a % would give an entry that GNOME and
# other GLib-based menus drop.
exec_path=$(printf '%s\n' "$here/tunedeck-launch" |
    sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g' -e 's/\\/\\\\/g')

mkdir -p -- "$data/applications" "$icons/scalable/apps"
for size in $sizes; do
    mkdir -p -- "$icons/$size/apps"
    cp -- "$here/share/icons/hicolor/$size/apps/$id.png" "$icons/$size/apps/$id.png"
done
cp -- "$here/share/icons/hicolor/scalable/apps/$id.svg" "$icons/scalable/apps/$id.svg"

# Written beside its place and then moved there, so a menu never reads half an entry. The
# desktops notice the new entry by themselves; it names no file type, so no MIME cache is
# made for it.
while IFS= read -r line; do
    case $line in
    Exec=*) printf 'Exec=/bin/sh "%s"\n' "$exec_path" ;;
    *) printf '%s\n' "$line" ;;
    esac
done <"$here/share/applications/$id.desktop" >"$entry.new"
mv -f -- "$entry.new" "$entry"
echo "Added the menu entry $entry; it starts $here/tunedeck-launch."
