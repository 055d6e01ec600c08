#!/bin/sh
# Builds torvin-art and redraws every picture in assets/.
# The contact sheet and the flip strip go to build-art/ for review.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-art"
cmake -S "$root/tools/art" -B "$build/tool" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/tool" --parallel
QT_QPA_PLATFORM=offscreen "$build/tool/torvin-art" "$root/assets" \
  "$build/contact-sheet.png" "$build/flips.png"
