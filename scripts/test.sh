#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# A web build, when there is one, is brought up to date first, so that its
# tests (tests/web/) check what the sources say.
if [ -d build-web ]; then
  scripts/web.sh
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVIN_WERROR=ON
cmake --build build
# A test that fails is run once more before it counts as failed: the window's
# real-time tests (xdotool against the game's clock) can miss their moment on
# a machine that is busy with other work, while a real fault fails both times.
ctest --test-dir build --output-on-failure -j2 --repeat until-pass:2
