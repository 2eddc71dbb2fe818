#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tunedeck and runs every test through ctest: the normal build, then the same
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# each fuzz target, then the portable Linux bundle tried on a Debian root without Qt
# (scripts/linux-bundle.sh and scripts/linux-bundle-check.sh, which needs root; its root
# is made once and cached), then the Windows build with its tests under Wine and its packages
# (scripts/windows-build.sh; the first run on a machine builds its Qt kit, which takes
# the longest). Exits non-zero when anything fails.
#
#   ./test.sh               everything
#   ./test.sh --no-windows  the Linux builds and the bundle, not the Windows build
#   ./test.sh --no-bundle   everything but the portable Linux bundle
set -euo pipefail
cd "$(dirname "$0")"

windows=1
bundle=1
for argument in "$@"; do
    case $argument in
        --no-windows) windows=0 ;;
        --no-bundle) bundle=0 ;;
        *) echo "usage: $0 [--no-windows] [--no-bundle]" >&2; exit 2 ;;
    esac
done

scripts/install-deps.sh clang libclang-rt-14-dev libbenchmark-dev desktop-file-utils appstream dpkg-dev lintian man-db x11-utils xdotool ccache patchelf zstd debootstrap

# Every build goes through ccache, so a second run (or CI on a warm cache) rebuilds only what changed.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNEDECK_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
scripts/sanitizers.sh
scripts/fuzz-smoke.sh
if [ "$bundle" -eq 1 ]; then
    scripts/linux-bundle.sh
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo scripts/linux-bundle-check.sh
fi
if [ "$windows" -eq 1 ]; then
    scripts/windows-build.sh
fi
