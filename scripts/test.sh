#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIN_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure -j2
