#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_install.sh CHECK BUILD_DIR SOURCE_DIR EXPECT_CLI CMAKE CPACK
#   tree      cmake --install into a scratch DESTDIR: every expected file is there, the
#             icons have their sizes, no reference copy is installed, the menu entry and
#             the AppStream file pass their validators and name each other, the launcher
#             and the icon that are installed
#   launcher  the installed launcher makes the per-user working folder, puts no
#             reference copy there and leaves the user's own, and starts the installed
#             program there
#   manual    the installed manual pages are compressed without name or time stamp and
#             render without a warning; tunedeck-cli's documents every command and option
#             of its --help
#   completion the installed bash completion of tunedeck-cli, sourced here and called as
#             bash calls it: commands, options, tabs, and items that the tool accepts
#   package   cpack -G DEB in a scratch folder: the package lists every expected path,
#             depends on the Qt libraries and platform plugins, its changelog is of its
#             version, and lintian finds no error or warning but the one that waits on the
#             owner's contact address
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
    share/doc/tunedeck/changelog.gz
    share/doc/tunedeck/copyright
    share/man/man1/tunedeck.1.gz
    share/man/man1/tunedeck-launch.1.gz
)
pages=(tunedeck tunedeck-launch)
if [ "$expect_cli" = 1 ]; then
    expected+=(bin/tunedeck-cli share/man/man1/tunedeck-cli.1.gz
               share/bash-completion/completions/tunedeck-cli)
    pages+=(tunedeck-cli)
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

    # The reference copies are the player's own game files, never shipped ones.
    local shipped
    shipped=$(find "$root" -name 'original.*')
    [ -z "$shipped" ] || fail "reference copies installed: $shipped"

    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
    appstreamcli validate --pedantic --no-net "$metainfo" ||
        fail "appstreamcli rejects $app_id.metainfo.xml"
    # What the large software centres require or warn about when it is missing.
    local tag
    for tag in '<screenshot type="default">' '<developer id=' '<project_license>' \
        '<url type="homepage">' '<release version=' '<content_rating'; do
        grep -qF "$tag" "$metainfo" || fail "the AppStream file has no $tag"
    done

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

    # First start: folder made, no reference copy put there (Save Directory takes the
    # player's), program started in it.
    launch || fail "the launcher failed on a first start"
    [ "$(sed -n 1p "$home/started" 2>/dev/null)" = "$work" ] ||
        fail "the program was not started in $work"
    [ "$(sed -n 2p "$home/started" 2>/dev/null)" = "one two" ] ||
        fail "the launcher did not pass its arguments on"
    [ "$(ls -A "$work")" = "" ] || fail "first start: the launcher put files in $work: $(ls -A "$work")"

    # The user's files stay as they are.
    echo "the user's own copy" >"$work/original.general"
    echo "Tunedeck.ini of the user" >"$work/Tunedeck.ini"
    rm "$home/started"
    launch || fail "the launcher failed on a later start"
    [ "$(cat "$work/original.general")" = "the user's own copy" ] ||
        fail "the user's original.general was overwritten"
    [ ! -e "$work/original.pedsettings" ] || fail "original.pedsettings was put in $work"
    [ "$(cat "$work/Tunedeck.ini")" = "Tunedeck.ini of the user" ] || fail "Tunedeck.ini was touched"
    [ -f "$home/started" ] || fail "the program was not started again"

    # The user's data folder is taken from XDG_DATA_HOME when that is an absolute path.
    local data=$scratch/data
    rm -f "$home/started"
    launch XDG_DATA_HOME="$data" || fail "the launcher failed with XDG_DATA_HOME set"
    [ "$(sed -n 1p "$home/started" 2>/dev/null)" = "$data/tunedeck" ] ||
        fail "XDG_DATA_HOME was not used"
    [ -d "$data/tunedeck" ] || fail "no working folder in XDG_DATA_HOME"

    # A HOME or XDG_DATA_HOME that is no full path is refused (the program, which exits 0,
    # is not started), with a word on what is wrong.
    local setting
    for setting in HOME= HOME=home XDG_DATA_HOME=data; do
        if (cd "$scratch" && launch "$setting" 2>"$scratch/refused"); then fail "$setting was taken"; fi
        grep -q "not .*full path" "$scratch/refused" || fail "$setting was refused without a word"
    done

    # Started through a symbolic link (as from another folder in PATH), it still finds
    # the installation.
    mkdir -p "$scratch/elsewhere"
    ln -s "$bin/tunedeck-launch" "$scratch/elsewhere/tunedeck-launch"
    rm -rf "$work" "$home/started"
    env -i PATH=/usr/bin:/bin HOME="$home" "$scratch/elsewhere/tunedeck-launch" ||
        fail "the launcher failed when started through a link"
    [ -f "$home/started" ] || fail "started through a link, the launcher did not find the installation"
}

# The first word of each line of a block of tunedeck-cli's --help ("Commands:", "Options:").
help_block() {
    "$1" --help | sed -n "/^$2:\$/,/^\$/{ /^ /s/^ *\([^ ,]*\).*/\1/p; }"
}

check_manual() {
    need man "package man-db"
    local root=$scratch/root
    install_into "$root"
    local page file header warnings text
    for page in "${pages[@]}"; do
        file=$root/usr/share/man/man1/$page.1.gz
        [ -f "$file" ] || { fail "no manual page $page"; continue; }
        gzip -t "$file" || fail "$page.1.gz is not gzip data"
        # Flags and time stamp of the gzip header: no file name, no time.
        header=$(od -An -tu1 -j3 -N5 "$file" | tr -s ' ')
        [ "$header" = " 0 0 0 0 0" ] || fail "$page.1.gz keeps a name or time stamp:$header"
        warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns on $page.1: $warnings"
        text=$(MANWIDTH=80 man -l "$file" 2>/dev/null)
        grep -qE "^ *$page +- " <<<"$text" || fail "the page $page.1 does not name $page"
    done
    [ "$expect_cli" = 1 ] || return 0

    # Every command and option the tool lists is documented, in a page with the parts
    # a reader looks for.
    local cli=$root/usr/bin/tunedeck-cli name
    text=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/tunedeck-cli.1.gz" 2>/dev/null)
    local commands options
    commands=$(help_block "$cli" Commands)
    options=$(help_block "$cli" Options)
    if [ -z "$commands" ] || [ -z "$options" ]; then
        fail "no commands or options in tunedeck-cli --help"
    fi
    for name in $commands; do
        grep -qE "^ {7}$name( |\$)" <<<"$text" || fail "tunedeck-cli.1 does not document the command $name"
    done
    for name in $options; do
        grep -qE -- "^ {7}(.*, )?$name( |,|\$)" <<<"$text" ||
            fail "tunedeck-cli.1 does not document the option $name"
    done
    for heading in SYNOPSIS COMMANDS "EXIT STATUS" FILES EXAMPLES; do
        grep -qx "$heading" <<<"$text" || fail "tunedeck-cli.1 has no $heading"
    done
}

check_completion() {
    if [ "$expect_cli" != 1 ]; then
        echo "install.completion: this build has no tunedeck-cli"
        return 0
    fi
    local root=$scratch/root
    install_into "$root"
    local bin=$root/usr/bin
    # shellcheck source=/dev/null
    source "$root/usr/share/bash-completion/completions/tunedeck-cli"
    complete -p tunedeck-cli >/dev/null 2>&1 || fail "the completion does not register for tunedeck-cli"
    local completer
    completer=$(complete -p tunedeck-cli | sed -n 's/.*-F \([^ ]*\) .*/\1/p')

    # The candidates for the last of the words, one per line, as bash asks for them.
    candidates() {
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        COMPREPLY=()
        "$completer" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}"
    }
    # expect "CANDIDATES" WORD...: the candidates, joined by blanks.
    expect() {
        local want=$1 got
        shift
        got=$(candidates "$@" | paste -sd ' ')
        [ "$got" = "$want" ] || fail "completing '$*': '$got', expected '$want'"
    }

    local commands s_commands
    commands=$(help_block "$bin/tunedeck-cli" Commands | paste -sd ' ')
    s_commands=$(tr ' ' '\n' <<<"$commands" | grep '^s' | paste -sd ' ')
    mkdir -p "$scratch/sets/folder"
    : >"$scratch/sets/tuning.txt"

    PATH=$bin:$PATH
    expect "$commands" tunedeck-cli ''
    expect "$commands" "$bin/tunedeck-cli" ''
    expect "$s_commands" tunedeck-cli --dir /x s
    expect "$s_commands" tunedeck-cli --dir = /x -- s
    expect "--dir" tunedeck-cli --di
    expect "$scratch/sets/folder" tunedeck-cli --dir "$scratch/sets/f"
    expect "car ped misc apo" tunedeck-cli show ''
    expect "misc" tunedeck-cli --dir /x set M
    expect 'Mine\ \&\ Mortar' tunedeck-cli show CAR mi
    expect 'Mine\ \&\ Mortar' tunedeck-cli show car 'Mine\ \&'
    expect 'Mine & Mortar' tunedeck-cli show car "'Mine &"
    expect 'Underwater\ Settings\*' tunedeck-cli set misc Under
    expect "1 5 9" tunedeck-cli show misc Credit # three sections share the text
    expect "1 10 11 13 14" tunedeck-cli show misc 1
    expect "" tunedeck-cli set car Bending ''
    expect "" tunedeck-cli set car Bending 1 -- -
    expect "$scratch/sets/tuning.txt" tunedeck-cli export "$scratch/sets/tu"
    expect "$scratch/sets/tuning.txt" tunedeck-cli apply "$scratch/sets/tu"
    expect "--force" tunedeck-cli take-originals ''
    expect "" tunedeck-cli take-originals --force ''

    # Each item candidate of each tab, typed as the completion writes it, names one section
    # for the tool, and every section is offered once.
    local tab candidate word sections offered
    for tab in car ped misc apo; do
        sections=$(tunedeck-cli sections "$tab" | awk -F '\t' '$4 == "section"' | wc -l)
        offered=0
        while IFS= read -r candidate; do
            offered=$((offered + 1))
            eval "word=$candidate"
            tunedeck-cli --dir "$source/sample/game" show "$tab" "$word" >/dev/null 2>&1 ||
                fail "tunedeck-cli show $tab $candidate fails"
        done < <(candidates tunedeck-cli show "$tab" '')
        [ "$offered" -eq "$sections" ] ||
            fail "tab $tab: $offered item candidates for $sections sections"
    done
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
    grep -q '\bxdg-utils\b' <<<"$(dpkg-deb -f "$deb" Recommends)" ||
        fail "the package does not recommend xdg-utils"

    # The changelog's latest entry is this version.
    local unpacked=$scratch/unpacked changelog_version
    dpkg-deb -x "$deb" "$unpacked"
    changelog_version=$(gzip -dc "$unpacked/usr/share/doc/tunedeck/changelog.gz" |
        dpkg-parsechangelog -l - -S Version)
    [ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] ||
        fail "the changelog's latest version is '$changelog_version', the package's $(dpkg-deb -f "$deb" Version)"

    # No copyright file and no maintainer address yet: both wait on the owner.
    need lintian "package lintian"
    lintian --no-cfg --fail-on error,warning \
        --suppress-tags malformed-contact "$deb" >"$scratch/lintian.log" 2>&1 ||
        fail "lintian: $(grep -v 'root privileges' "$scratch/lintian.log")"
}

"check_$check"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install.$check: all checks passed"
