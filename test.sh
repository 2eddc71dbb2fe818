#!/usr/bin/env bash
# Builds Tunedeck and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNEDECK_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
