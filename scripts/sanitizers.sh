#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of its own and runs it. Any report of either, and any leak not listed in
# tests/lsan.supp, fails the test that caused it and so this script.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/sanitize
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DTUNEDECK_BUILD_TESTS=ON -DTUNEDECK_SANITIZE=ON -DTUNEDECK_FUZZ=OFF
cmake --build "$build"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:print_stacktrace=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=1"
export QT_QPA_PLATFORM=offscreen
# Instrumented tests run several times slower; the longest still ends in well under a minute.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
