#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tunedeck for 64-bit Windows on a Debian or Ubuntu machine: a static Qt kit made
# from the distribution's own Qt source with the MinGW-w64 cross compilers (cached outside
# the repository), then tunedeck.exe and tunedeck-cli.exe, the test suite run under Wine,
# and build/windows/Tunedeck-VERSION-windows-x64.zip and Tunedeck-VERSION-setup.exe.
#
#   scripts/windows-build.sh            everything
#   scripts/windows-build.sh --kit      only fetch and build the kit (if not cached)
#   scripts/windows-build.sh --no-tests build and package without running the tests
#
# The kit lives in ${XDG_CACHE_HOME:-~/.cache}/tunedeck/, keyed by the Qt version, the
# compiler and the kit's options, so a second run only rebuilds Tunedeck.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

only_kit=0
run_tests=1
for argument in "$@"; do
    case $argument in
        --kit) only_kit=1 ;;
        --no-tests) run_tests=0 ;;
        *) echo "usage: $0 [--kit] [--no-tests]" >&2; exit 2 ;;
    esac
done

seconds() { date +%s; }
started=$(seconds)
step() { echo "== $* ($(($(seconds) - started)) s)"; }

# ---- What the machine needs ------------------------------------------------------------
# qt6-base-dev brings the host's moc, rcc and uic, which the cross build of Qt and of
# Tunedeck use; libgtest-dev brings GoogleTest's source; dpkg-dev unpacks source packages.
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 nsis zip dpkg-dev xdotool \
    x11-utils

cross=x86_64-w64-mingw32
cc=$cross-gcc-posix
cxx=$cross-g++-posix
jobs=$(nproc)

# ---- The kit ---------------------------------------------------------------------------
qt_package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_package_version%%+*}
compiler_version="$($cxx -dumpfullversion)-$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
jpeg_package_version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev)

# Qt's own modules and the libraries it bundles, so that nothing links a DLL; OpenGL,
# D-Bus, network, SQL and printing are not used. Debian's source leaves out the tablet
# headers, and with OpenGL off the Windows platform plugin compiles only without dynamic
# GL. Qt's JPEG plugin is left out: Tunedeck decodes its pictures with libjpeg itself, and
# two static copies of libjpeg in one program would clash.
qt_options=(
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF
)
key_text="qt $qt_package_version; $cxx $compiler_version; jpeg $jpeg_package_version; ${qt_options[*]}"
key_hash=$(printf '%s' "$key_text" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tunedeck
kit=$cache/windows-kit-qt$qt_version-gcc$($cxx -dumpversion)-$key_hash
toolchain=$kit/mingw-toolchain.cmake

write_toolchain() { # $1: the file, $2: the prefix where the kit's libraries are
    cat >"$1" <<EOF
# MinGW-w64 with POSIX threads: its libstdc++ has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $cc)
set(CMAKE_CXX_COMPILER $cxx)
set(CMAKE_RC_COMPILER $cross-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$cross $2)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# Debian's deb lines turned into deb-src lines, for apt's own configuration files in
# either of their two forms. Nothing of the machine's apt setup is changed.
derive_source_lines() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '
            BEGIN { enabled = 1 }
            function flush(   i, j, n, m, uris, suites) {
                if (types ~ /(^| )deb( |$)/ && uri != "") {
                    n = split(uri, uris, " "); m = split(suite, suites, " ")
                    for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
                        print "deb-src " (signed != "" ? "[signed-by=" signed "] " : "") \
                              uris[i] " " suites[j] " " components
                }
                types = uri = suite = components = signed = ""; enabled = 1
            }
            /^[[:space:]]*$/ { if (!enabled) types = ""; flush(); next }
            /^#/ { next }
            { key = tolower($1); sub(/^[^:]*:[[:space:]]*/, "") }
            key == "types:" { types = $0 }
            key == "uris:" { uri = $0 }
            key == "suites:" { suite = $0 }
            key == "components:" { components = $0 }
            key == "signed-by:" { signed = $0 }
            key == "enabled:" { enabled = ($0 != "no") }
            END { if (!enabled) types = ""; flush() }
        ' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$file"
    done
}

fetch_source() { # $1: source package, $2: version, into the current folder
    local apt_dir=$cache/apt
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    derive_source_lines | sort -u >"$apt_dir/sources.list"
    if [ ! -s "$apt_dir/sources.list" ]; then
        echo "No deb line found in the machine's apt sources." >&2
        exit 1
    fi
    local apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
                       -o Dir::Etc::SourceParts=- -o "Dir::State::Lists=$apt_dir/lists"
                       -o "Dir::Cache=$apt_dir/cache")
    if [ -z "$(find "$apt_dir/lists" -name '*Sources*' -mmin -1440 2>/dev/null)" ]; then
        apt-get "${apt_options[@]}" update -qq
    fi
    apt-get "${apt_options[@]}" source -qq "$1=$2"
}

# Configures, builds and installs one CMake project of the kit with the cross compilers.
cross_install() { # $1: source, $2: build folder, $3: prefix, the rest: configure options
    local source=$1 build=$2 prefix=$3
    shift 3
    nice -n 5 cmake -S "$source" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
    nice -n 5 cmake --build "$build" -j "$jobs"
    nice -n 5 cmake --install "$build"
}

build_qt() { # $1: work folder, $2: prefix
    (cd "$1" && fetch_source qt6-base "$qt_package_version")
    local source
    source=$(find "$1" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
    cross_install "$source" "$1/qt-build" "$2" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${qt_options[@]}"
}

build_jpeg() { # $1: work folder, $2: prefix
    (cd "$1" && fetch_source libjpeg-turbo "$jpeg_package_version")
    local source
    source=$(find "$1" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
    cross_install "$source" "$1/jpeg-build" "$2" \
        -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
}

build_gtest() { # $1: work folder, $2: prefix
    cross_install /usr/src/googletest "$1/gtest-build" "$2" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF
}

if [ -f "$kit/complete" ]; then
    step "Kit: $kit (cached)"
else
    step "Kit: building $kit"
    # Qt's installed files name their prefix, so the kit is built in its final place; the
    # file "complete" is written last, and a folder without it is built again from scratch.
    rm -rf "$kit" "$kit.work"
    mkdir -p "$kit" "$kit.work"
    write_toolchain "$toolchain" "$kit"
    kit_started=$(seconds)
    build_qt "$kit.work" "$kit"
    build_jpeg "$kit.work" "$kit"
    build_gtest "$kit.work" "$kit"
    rm -rf "$kit.work"
    printf '%s\n' "$key_text" >"$kit/complete"
    step "Kit built in $(($(seconds) - kit_started)) s, $(du -sh "$kit" | cut -f1)"
fi
[ "$only_kit" -eq 1 ] && exit 0

# ---- Tunedeck, cross-built ---------------------------------------------------------------
version=$(sed -n 's/^project(Tunedeck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=$root/build/windows
tree=$out/tree
mkdir -p "$out"
# A Wine prefix of the build's own; no display is needed: the tests use Qt's offscreen
# platform, and Wine is kept from asking to install Mono and Gecko.
export WINEPREFIX=$out/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "Wine prefix"
    env -u DISPLAY wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
# The prefix presents Windows 10, the oldest that Qt 6 supports: a new prefix of Wine 8
# says Windows 7 (6.1). This is the value winecfg sets; it is set on every run, so an older
# prefix is changed too, and checked as a program sees it.
env -u DISPLAY wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f >/dev/null 2>&1
wineserver -w
windows_version=$(env -u DISPLAY wine cmd /c ver 2>/dev/null |
                  sed -n 's/.*Windows \([0-9]*\.[0-9]*\).*/\1/p')
if [ "$windows_version" != 10.0 ]; then
    echo "The Wine prefix presents Windows ${windows_version:-(no answer)}, not 10.0." >&2
    exit 1
fi
step "Wine prefix: Windows $windows_version"

step "Cross-building Tunedeck $version"
build_started=$(seconds)
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTUNEDECK_BUILD_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$kit/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_PREFIX_PATH="$kit" -DCMAKE_CROSSCOMPILING_EMULATOR=wine
env -u DISPLAY cmake --build "$tree" -j "$jobs"
step "Cross-built in $(($(seconds) - build_started)) s"

# Both programs must run from a bare folder: nothing but Windows' own DLLs may be named.
for exe in "$tree/src/shell/tunedeck.exe" "$tree/src/cli/tunedeck-cli.exe"; do
    foreign=$($cross-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
              grep -viE '^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|version|shlwapi|setupapi|netapi32|userenv|wtsapi32|uuid|rpcrt4|authz|d3d9|d3d11|d3d12|dxgi|d2d1|dwrite|shcore|comctl32|winspool|crypt32|bcrypt|mpr|msvcrt|api-ms-win-.*)\.dll$' || true)
    if [ -n "$foreign" ]; then
        echo "$(basename "$exe") needs DLLs that Windows does not have: $foreign" >&2
        exit 1
    fi
done

# ---- The tests, under Wine ---------------------------------------------------------------
if [ "$run_tests" -eq 1 ]; then
    # A small tmpfs as drive T: gives the fault tests a drive that really fills up; it
    # needs root's right to mount, and those tests say that they skipped without it.
    full=$out/full-drive
    mkdir -p "$full"
    if mountpoint -q "$full" || mount -t tmpfs -o size=256k tunedeck-full "$full" 2>/dev/null; then
        trap 'umount "$full" 2>/dev/null || true' EXIT
        ln -sfn "$full" "$WINEPREFIX/dosdevices/t:"
        export TUNEDECK_FULL_DRIVE=T:
    fi
    # Tests that cannot pass on Windows, each with its reason in docs/windows.md.
    under_wine_not_run=(
        # Letter case: Windows' file systems ignore it, so no other spelling is found.
        '^cli\.CliTest\.CheckMatchesPathComponentsWithoutRegardToCase$'
        # POSIX permission bits and symbolic links (QFile::link makes a .lnk shortcut).
        '^FileOperations\.(SaveKeepsTheFilePermissions|SaveThroughSymbolicLinksKeepsTheLinks|UnreadableReferenceCopyEndsTheRestore)$'
        '^Writes/HostileFiles\.LinksAndLeftTemporaries/'
        '^cli\.CliTest\.(ReadOnlyGameFileIsLeftAsItIs|TakeOriginalsNeverWritesThroughALink)$'
        # File names no Windows file system holds: a trailing blank, a line break.
        '^FileOperations\.WrittenFileNameDecidesTheConfirmation$'
        '^SaveHistoryTest\.KeepsEachReplacedFileOnceAndAtMostAHundred$'
        # A POSIX shell around the tool: a line break in an argument, a file-size limit, cp -a.
        '^cli\.CliTest\.(SetWritesWhatReadsBackAndRefusesTheRest|TakeOriginalsTellsWhatItDidNotCopy|HistoryIsKeptInTimeOrderAndPerGameFolder)$'
    )
    under_wine_not_run=$(IFS='|'; echo "${under_wine_not_run[*]}")
    step "Tests under Wine"
    tests_started=$(seconds)
    # A test that fails is run once more: Wine has been seen to fail a program's start
    # (a test ending in 0.00 s without its output). ctest still prints the failed run.
    env -u DISPLAY ctest --test-dir "$tree" --output-on-failure -j "$jobs" \
        --repeat until-pass:2 -E "$under_wine_not_run"
    step "Tests ran in $(($(seconds) - tests_started)) s"
fi

# ---- The zip and the installer -----------------------------------------------------------
step "Packaging"
name=Tunedeck-$version-windows-x64
stage=$out/$name
rm -rf "$stage"
mkdir -p "$stage/licences"
cp "$tree/src/shell/tunedeck.exe" "$tree/src/cli/tunedeck-cli.exe" README.md "$stage/"
$cross-strip "$stage/tunedeck.exe" "$stage/tunedeck-cli.exe"
# The licences of what is linked in: Qt and the libraries it bundles, libjpeg-turbo, and
# the MinGW-w64 runtime (GCC's runtime libraries and winpthreads), as Debian states them.
cp /usr/share/doc/qt6-base-dev/copyright "$stage/licences/Qt.txt"
cp /usr/share/doc/libjpeg62-turbo/copyright "$stage/licences/libjpeg-turbo.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/GCC-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64.txt"
for licence in LGPL-3 GPL-3 GPL-2; do
    cp "/usr/share/common-licenses/$licence" "$stage/licences/$licence.txt"
done
rm -f "$out/$name.zip"
(cd "$out" && zip -qrX "$name.zip" "$name")

# The uninstaller removes the licence files by name, so a folder holding anything else stays.
for licence in "$stage"/licences/*; do
    echo "  Delete \"\$INSTDIR\\licences\\$(basename "$licence")\""
done >"$out/uninstall-licences.nsh"
setup=$out/Tunedeck-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" \
    -DUNINSTALL_LIST="$out/uninstall-licences.nsh" packaging/windows/tunedeck.nsi

# The installer under Wine: a silent installation for the current user, a file of the
# player's in the installation folder, then a silent uninstallation, which must remove
# the program and leave that file.
if [ "$run_tests" -eq 1 ]; then
    step "Installer under Wine"
    installed=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Tunedeck
    env -u DISPLAY wine "$setup" /S
    wineserver -w
    for file in tunedeck.exe tunedeck-cli.exe README.md uninstall.exe licences/Qt.txt; do
        [ -f "$installed/$file" ] || { echo "The installer left out $file" >&2; exit 1; }
    done
    echo "C:\\Games\\Gorewheel 2" >"$installed/Tunedeck.ini"
    env -u DISPLAY wine "$installed/uninstall.exe" /S # copies itself away and runs from there
    wineserver -w
    if [ -e "$installed/tunedeck.exe" ] || [ -e "$installed/uninstall.exe" ] ||
        [ -e "$installed/licences" ] || [ ! -f "$installed/Tunedeck.ini" ]; then
        echo "The uninstaller did not remove exactly the program: $(ls -A "$installed")" >&2
        exit 1
    fi
    rm -rf "$installed"
fi

step "Done: $(du -h "$out/$name.zip" | cut -f1) $out/$name.zip, $(du -h "$setup" | cut -f1) $setup"
