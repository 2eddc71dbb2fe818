#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tunedeck and runs every test through ctest: the normal build, then the same
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# each fuzz target. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh clang libclang-rt-14-dev libbenchmark-dev desktop-file-utils appstream dpkg-dev lintian man-db x11-utils xdotool ccache

# Every build goes through ccache, so a second run (or CI on a warm cache) rebuilds only what changed.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNEDECK_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
scripts/sanitizers.sh
scripts/fuzz-smoke.sh
