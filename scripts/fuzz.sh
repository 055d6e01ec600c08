#!/usr/bin/env bash
# Fuzzes the script reader, the picture decoder (JPEG and GIF) and the
# recording writer and reader with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer, for a fixed time in all (seconds, default 60),
# shared between the three. The fuzzers are built by CMake with clang
# (-DTORVIN_FUZZ=ON) in build-fuzz/, their targets alone.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
share=$(((seconds + 2) / 3))
out=build-fuzz

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTORVIN_FUZZ=ON -DTORVIN_DESKTOP=OFF -DTORVIN_TESTS=OFF -DTORVIN_WERROR=ON "${launcher[@]}" \
  >/dev/null
cmake --build "$out" -j2 --target fuzzers

mkdir -p "$out/script-corpus" "$out/picture-corpus" "$out/recording-corpus"
cp tests/fuzz/seed.script "$out/script-corpus/"
cp tests/fuzz/seed.script "$out/recording-corpus/"
# The picture seeds are the game's own pictures.
cp assets/bg*.gif assets/01/0[0-1]*.jpg "$out/picture-corpus/"

"$out/bin/script_fuzzer" -max_total_time="$share" -max_len=4096 -print_final_stats=1 \
  "$out/script-corpus"
"$out/bin/picture_fuzzer" -max_total_time="$share" -max_len=16384 -timeout=10 \
  -rss_limit_mb=1024 -print_final_stats=1 "$out/picture-corpus"
"$out/bin/recording_fuzzer" -max_total_time="$share" -max_len=8192 -print_final_stats=1 \
  "$out/recording-corpus"
