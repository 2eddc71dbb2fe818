#!/usr/bin/env bash
# check_install.sh CHECK BUILD_DIR SOURCE_DIR EXPECT_CLI CMAKE CPACK
#   tree      cmake --install into a scratch DESTDIR: every expected file is there, the
#             icons have their sizes, the reference copies are the shipped ones, the menu
#             entry and the AppStream file pass their validators and name each other,
#             the launcher and the icon that are installed
#   launcher  the installed launcher makes the per-user working folder, copies the
#             reference copies into it without overwriting the user's own, and starts
#             the installed program there
#   package   cpack -G DEB in a scratch folder: the package lists every expected path
#             and depends on the Qt libraries and platform plugins
set -euo pipefail

check=$1 build=$2 source=$3 expect_cli=$4 cmake=$5 cpack=$6
app_id=org.tunedeck.Tunedeck

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null || { echo "FAIL: $1 is not installed ($2)" >&2; exit 1; }
}

# Paths below the prefix that an installation must hold.
expected=(
    bin/tunedeck
    bin/tunedeck-launch
    "share/applications/$app_id.desktop"
    "share/metainfo/$app_id.metainfo.xml"
    "share/icons/hicolor/48x48/apps/$app_id.png"
    "share/icons/hicolor/64x64/apps/$app_id.png"
    "share/icons/hicolor/128x128/apps/$app_id.png"
    "share/icons/hicolor/256x256/apps/$app_id.png"
    "share/icons/hicolor/scalable/apps/$app_id.svg"
    share/tunedeck/original.general
    share/tunedeck/original.pedsettings
)
if [ "$expect_cli" = 1 ]; then
    expected+=(bin/tunedeck-cli)
fi

install_into() {
    DESTDIR=$1 "$cmake" --install "$build" --prefix /usr >"$scratch/install.log" ||
        { cat "$scratch/install.log" >&2; exit 1; }
}

# Width and height of a PNG, from its header chunk.
png_size() {
    local bytes
    bytes=$(od -An -tu1 -j16 -N8 "$1" | tr -s ' \n' ' ')
    read -r w1 w2 w3 w4 h1 h2 h3 h4 <<<"$bytes"
    echo "$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))x$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))"
}

desktop_key() { sed -n "s/^$2=//p" "$1" | head -n 1; }

check_tree() {
    need desktop-file-validate "package desktop-file-utils"
    need appstreamcli "package appstream"
    local root=$scratch/root
    install_into "$root"
    local prefix=$root/usr

    for path in "${expected[@]}"; do
        [ -f "$prefix/$path" ] || fail "not installed: $path"
    done
    for program in tunedeck tunedeck-launch; do
        [ -x "$prefix/bin/$program" ] || fail "not executable: bin/$program"
    done
    if [ "$expect_cli" = 1 ] && [ ! -x "$prefix/bin/tunedeck-cli" ]; then
        fail "not executable: bin/tunedeck-cli"
    fi

    for size in 48 64 128 256; do
        local icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
        [ -f "$icon" ] || continue
        [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
            fail "not a PNG: $icon"
        [ "$(png_size "$icon")" = "${size}x${size}" ] ||
            fail "icon ${size}x${size} is $(png_size "$icon")"
    done

    for name in original.general original.pedsettings; do
        cmp -s "$source/sample/$name" "$prefix/share/tunedeck/$name" ||
            fail "share/tunedeck/$name differs from the shipped reference copy"
    done

    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $app_id.metainfo.xml"

    local exec icon
    exec=$(desktop_key "$desktop" Exec)
    icon=$(desktop_key "$desktop" Icon)
    [ -x "$prefix/bin/${exec%% *}" ] || fail "the menu entry starts '${exec%% *}', which is not installed in bin"
    [ "${exec%% *}" = tunedeck-launch ] || fail "the menu entry does not start the launcher"
    [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] ||
        fail "the menu entry's icon '$icon' is not installed"
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the AppStream id is not $app_id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "the AppStream file does not launch $app_id.desktop"
}

check_launcher() {
    local root=$scratch/root
    install_into "$root"
    local bin=$root/usr/bin
    # In place of the window: a program that notes where it was started and with what.
    cat >"$bin/tunedeck" <<'STUB'
#!/bin/sh
{ pwd; echo "$@"; } >"$HOME/started"
STUB
    chmod +x "$bin/tunedeck"

    local home=$scratch/home
    mkdir -p "$home"
    local work=$home/.local/share/tunedeck
    launch() { env -i PATH=/usr/bin:/bin HOME="$home" "$@" "$bin/tunedeck-launch" one two; }

    # First start: folder made, both copies put there, program started in it.
    launch || fail "the launcher failed on a first start"
    [ "$(sed -n 1p "$home/started" 2>/dev/null)" = "$work" ] ||
        fail "the program was not started in $work"
    [ "$(sed -n 2p "$home/started" 2>/dev/null)" = "one two" ] ||
        fail "the launcher did not pass its arguments on"
    for name in original.general original.pedsettings; do
        cmp -s "$root/usr/share/tunedeck/$name" "$work/$name" || fail "first start: $name not copied"
        [ -w "$work/$name" ] || fail "first start: $name copied read-only"
    done

    # A copy the user replaced stays; one the user deleted comes back.
    echo "the user's own copy" >"$work/original.general"
    rm "$work/original.pedsettings"
    echo "Tunedeck.ini of the user" >"$work/Tunedeck.ini"
    rm "$home/started"
    launch || fail "the launcher failed on a later start"
    [ "$(cat "$work/original.general")" = "the user's own copy" ] ||
        fail "the user's original.general was overwritten"
    cmp -s "$root/usr/share/tunedeck/original.pedsettings" "$work/original.pedsettings" ||
        fail "a deleted original.pedsettings was not copied again"
    [ "$(cat "$work/Tunedeck.ini")" = "Tunedeck.ini of the user" ] || fail "Tunedeck.ini was touched"
    [ -f "$home/started" ] || fail "the program was not started again"

    # The user's data folder is taken from XDG_DATA_HOME when that is an absolute path.
    local data=$scratch/data
    rm -f "$home/started"
    launch XDG_DATA_HOME="$data" || fail "the launcher failed with XDG_DATA_HOME set"
    [ "$(sed -n 1p "$home/started" 2>/dev/null)" = "$data/tunedeck" ] ||
        fail "XDG_DATA_HOME was not used"
    [ -f "$data/tunedeck/original.general" ] || fail "no reference copy in XDG_DATA_HOME"

    # Started through a symbolic link (as from another folder in PATH), it still finds
    # the installation.
    mkdir -p "$scratch/elsewhere"
    ln -s "$bin/tunedeck-launch" "$scratch/elsewhere/tunedeck-launch"
    rm -rf "$work" "$home/started"
    env -i PATH=/usr/bin:/bin HOME="$home" "$scratch/elsewhere/tunedeck-launch" ||
        fail "the launcher failed when started through a link"
    if [ ! -f "$work/original.general" ] || [ ! -f "$home/started" ]; then
        fail "started through a link, the launcher did not find the installation"
    fi
}

check_package() {
    need dpkg-deb "package dpkg"
    need dpkg-shlibdeps "package dpkg-dev"
    local out=$scratch/package
    (cd "$scratch" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out") \
        >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log" >&2; exit 1; }
    local debs=("$out"/*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        echo "FAIL: cpack made no single .deb" >&2
        exit 1
    fi
    local deb=${debs[0]}

    local contents paths
    contents=$(dpkg-deb -c "$deb")
    paths=$(awk '{ print $6 }' <<<"$contents")
    for path in "${expected[@]}"; do
        grep -qx "\./usr/$path" <<<"$paths" || fail "the package lacks /usr/$path"
    done
    grep -q '^-rwxr-xr-x .* \./usr/bin/tunedeck-launch$' <<<"$contents" ||
        fail "the launcher is not executable in the package"

    [ "$(dpkg-deb -f "$deb" Package)" = tunedeck ] || fail "the package is not named tunedeck"
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libqt6widgets6 libjpeg62-turbo qt6-qpa-plugins; do
        grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package: $depends"
    done
}

"check_$check"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install.$check: all checks passed"
