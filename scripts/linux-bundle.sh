#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the portable Linux form of Tunedeck from the Release build (build/release):
# build/linux/Tunedeck-VERSION-linux-x86_64.tar.zst, holding one folder Tunedeck-VERSION/
# that runs wherever it is unpacked, without root, on systems that have no Qt (Fedora,
# Arch, SteamOS). It holds the programs, the Qt libraries and plugins they need with the
# libraries those pull in, found through the programs' RPATH ($ORIGIN/lib), a qt.conf, the licences,
# a README and install.sh (a menu entry for the current user). It runs as a native Wayland
# client where WAYLAND_DISPLAY is set, on X11 otherwise, and takes a GTK desktop's colours.
#
# What is bundled and what is left to the system is decided by the two lists below, with
# the reasons in docs/building.md; a library needed that is on neither list stops the script.
# scripts/linux-bundle-check.sh tries the result on a Debian root without Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

scripts/install-deps.sh patchelf zstd qt6-wayland qt6-gtk-platformtheme

export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

version=$(sed -n 's/^project(Tunedeck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$repo/build/linux
name=Tunedeck-$version
stage=$out/$name
tarball=$out/$name-linux-x86_64.tar.zst
qt_plugins=$(dpkg-query -L libqt6gui6 | sed -n 's|/platforms/libqxcb.so$||p' | sed -n 1p)
[ -n "$qt_plugins" ] || qt_plugins=/usr/lib/x86_64-linux-gnu/qt6/plugins

# The plugins Tunedeck's window needs: the xcb platform for X11 (and XWayland); the Wayland
# platform without OpenGL (the window draws in shared memory), its xdg-shell integration and
# the title bar it draws where the compositor draws none (GNOME); the GTK 3 theme, which
# gives GNOME's and other GTK desktops' colours (dark ones too) and dialogs, and is loaded
# only there and only when the system has GTK 3; the image formats Qt reads besides PNG;
# and the input methods for composed and ibus input.
plugins=(
    platforms/libqxcb.so
    platforms/libqwayland-generic.so wayland-shell-integration/libxdg-shell.so
    wayland-decoration-client/libbradient.so
    platformthemes/libqgtk3.so
    imageformats/libqgif.so imageformats/libqico.so imageformats/libqjpeg.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so
)

# Whether a library (by its soname) goes into the bundle (0), is left to the system (1),
# or is on neither list (2).
classify() {
    case $1 in
    # Qt, and what it pulls in that other systems have in other versions or not at all.
    libQt6Core.so.* | libQt6Gui.so.* | libQt6Widgets.so.* | libQt6DBus.so.* | libQt6XcbQpa.so.*) return 0 ;;
    libQt6WaylandClient.so.*) return 0 ;;
    libicui18n.so.* | libicuuc.so.* | libicudata.so.*) return 0 ;;
    libdouble-conversion.so.* | libpcre2-16.so.* | libmd4c.so.* | libb2.so.* | libgomp.so.*) return 0 ;;
    libpng16.so.* | libzstd.so.* | libjpeg.so.*) return 0 ;;
    # The xcb utility libraries: they need only libxcb, and some desktops lack them.
    libxcb-icccm.so.* | libxcb-image.so.* | libxcb-keysyms.so.* | libxcb-render-util.so.* | libxcb-util.so.*) return 0 ;;
    # The C and C++ runtimes, the graphics stack, the X and input libraries, fonts, D-Bus
    # and GLib: they must match the system they run on.
    libc.so.* | libm.so.* | libdl.so.* | libpthread.so.* | librt.so.* | ld-linux-x86-64.so.*) return 1 ;;
    libstdc++.so.* | libgcc_s.so.* | libz.so.*) return 1 ;;
    libGL.so.* | libEGL.so.* | libGLX.so.* | libOpenGL.so.* | libGLdispatch.so.*) return 1 ;;
    libX11.so.* | libX11-xcb.so.* | libxcb.so.* | libxcb-*.so.* | libXcursor.so.*) return 1 ;;
    libxkbcommon.so.* | libxkbcommon-x11.so.* | libSM.so.* | libICE.so.*) return 1 ;;
    libfontconfig.so.* | libfreetype.so.* | libdbus-1.so.* | libglib-2.0.so.*) return 1 ;;
    # HarfBuzz too: Qt needs 2.1.1 or newer, and the system's Pango, which the GTK theme
    # loads into the same process, may need a newer one than Debian 12's.
    libharfbuzz.so.*) return 1 ;;
    # The Wayland client libraries, and GTK 3 with what it is built on, for the GTK theme.
    libwayland-client.so.* | libwayland-cursor.so.*) return 1 ;;
    libgtk-3.so.* | libgdk-3.so.* | libpango-1.0.so.* | libgdk_pixbuf-2.0.so.* | libgobject-2.0.so.*) return 1 ;;
    *) return 2 ;;
    esac
}

needed() { objdump -p "$1" | awk '$1 == "NEEDED" { print $2 }'; }
library_path() { # the machine's file for a soname
    ldconfig -p | awk -v soname="$1" '$1 == soname && /x86-64/ && !found { print $NF; found = 1 }'
}

rm -rf "$stage" "$tarball"
mkdir -p "$stage/lib" "$stage/licences"
cp build/release/src/shell/tunedeck build/release/src/cli/tunedeck-cli "$stage/"
install -m 755 packaging/tunedeck-launch packaging/linux-bundle/install.sh "$stage/"
for plugin in "${plugins[@]}"; do
    mkdir -p "$stage/plugins/$(dirname "$plugin")"
    cp "$qt_plugins/$plugin" "$stage/plugins/$plugin"
done

# The libraries: everything the programs and plugins need, and what that needs in turn,
# down to the libraries left to the system.
queue=("$stage/tunedeck" "$stage/tunedeck-cli")
for plugin in "${plugins[@]}"; do queue+=("$stage/plugins/$plugin"); done
unlisted=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for soname in $(needed "$file"); do
        status=0
        classify "$soname" || status=$?
        if [ "$status" -eq 2 ]; then
            unlisted+=("$soname (needed by $(basename "$file"))")
        elif [ "$status" -eq 0 ] && [ ! -e "$stage/lib/$soname" ]; then
            path=$(library_path "$soname")
            [ -n "$path" ] || { echo "$soname is not on this machine." >&2; exit 1; }
            cp -L "$path" "$stage/lib/$soname"
            queue+=("$stage/lib/$soname")
        fi
    done
done
if [ ${#unlisted[@]} -gt 0 ]; then
    printf 'Neither bundled nor left to the system: %s\n' "${unlisted[@]}" >&2
    echo "Add each to a list in scripts/linux-bundle.sh and to the table in docs/building.md." >&2
    exit 1
fi

# Stripped; the two programs find the bundled libraries through their RPATH, $ORIGIN/lib.
# The loader searches an executable's RPATH (unlike a RUNPATH) for the libraries and plugins
# that every other library loads too, and before LD_LIBRARY_PATH, which Steam's runtime sets;
# so the libraries themselves stay as Debian built them (patchelf would grow each by pages).
strip "$stage/tunedeck" "$stage/tunedeck-cli"
strip --strip-unneeded "$stage"/lib/*.so.* "$stage"/plugins/*/*.so
patchelf --force-rpath --set-rpath '$ORIGIN/lib' "$stage/tunedeck" "$stage/tunedeck-cli"
cat >"$stage/qt.conf" <<'EOF'
[Paths]
Prefix = .
Libraries = lib
Plugins = plugins
EOF

# The menu entry and its icons, which install.sh puts into the user's own folders.
mkdir -p "$stage/share/applications" "$stage/share/icons"
cp packaging/org.tunedeck.Tunedeck.desktop "$stage/share/applications/"
cp -r packaging/icons/hicolor "$stage/share/icons/"
find "$stage/share/icons" -type f ! -name '*.png' -delete
mkdir -p "$stage/share/icons/hicolor/scalable/apps"
cp packaging/icons/org.tunedeck.Tunedeck.svg "$stage/share/icons/hicolor/scalable/apps/"

# The licences: Tunedeck's, and Debian's copyright file of each package a bundled file
# comes from, with the common licence texts these refer to.
cp LICENSE "$stage/licences/Tunedeck.txt"
package_of() { # the Debian package a file of the machine comes from (usr-merged or not)
    dpkg -S "$1" 2>/dev/null || dpkg -S "${1#/usr}" 2>/dev/null || true
}
origins=()
for library in "$stage"/lib/*.so.*; do origins+=("$(readlink -f "$(library_path "$(basename "$library")")")"); done
for plugin in "${plugins[@]}"; do origins+=("$qt_plugins/$plugin"); done
packages=()
for file in "${origins[@]}"; do
    package=$(package_of "$file" | cut -d: -f1 | sed -n 1p)
    [ -n "$package" ] || { echo "No Debian package holds $file: its licence is unknown." >&2; exit 1; }
    packages+=("$package")
done
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
    cp "/usr/share/doc/$package/copyright" "$stage/licences/$package.txt"
done
for licence in $(grep -ho '/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]' \
                 "$stage"/licences/*.txt | sort -u); do
    if [ -f "$licence" ]; then cp "$licence" "$stage/licences/$(basename "$licence").txt"; fi
done

# The glibc floor: the highest GLIBC_ (and GLIBCXX_) version any bundled file needs, as
# its version references name them.
highest() { # $1: the version's prefix
    find "$stage" -type f \( -name '*.so*' -o -name tunedeck -o -name tunedeck-cli \) \
        -exec objdump -p {} + |
        awk -v prefix="$1_" '/^Version References:/ { references = 1; next }
                             /^$/ { references = 0 }
                             references && index($4, prefix) == 1 { print substr($4, length(prefix) + 1) }' |
        sort -uV | tail -1
}
glibc_floor=$(highest GLIBC)
glibcxx_floor=$(highest GLIBCXX)
sed -e "s/@VERSION@/$version/g" -e "s/@GLIBC_FLOOR@/$glibc_floor/g" \
    -e "s/@GLIBCXX_FLOOR@/$glibcxx_floor/g" packaging/linux-bundle/README.md >"$stage/README.md"

# One folder in a tarball; the same files give the same bytes.
tar -C "$out" --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 \
    -cf - "$name" | zstd -q -19 -T2 -o "$tarball"
echo "Bundle: $tarball, $(du -h "$tarball" | cut -f1) ($(du -sh "$stage" | cut -f1) unpacked), glibc $glibc_floor, GLIBCXX_$glibcxx_floor"
