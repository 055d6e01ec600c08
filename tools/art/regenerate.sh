#!/bin/sh
# Builds torvin-art and redraws every picture in assets/ and the desktop icons
# in packaging/icons/. The contact sheet and the flip strip go to build-art/ for
# review.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-art"
cmake -S "$root/tools/art" -B "$build/tool" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/tool" --parallel 2
QT_QPA_PLATFORM=offscreen "$build/tool/torvin-art" --icons "$root/packaging/icons" "$root/assets" \
  "$build/contact-sheet.png" "$build/flips.png"
