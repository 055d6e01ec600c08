#!/usr/bin/env bash
# Fuzzes torvin-sim's script reader and the picture decoder (JPEG and GIF) with
# libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer, for a fixed
# time in all (seconds, default 60), split between the two.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
half=$(((seconds + 1) / 2))
out=build-fuzz
flags=(-std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
mkdir -p "$out/script-corpus" "$out/picture-corpus"

cp tests/fuzz/seed.script "$out/script-corpus/"
clang++ "${flags[@]}" tests/fuzz/script_fuzzer.cpp src/script/reader.cpp -o "$out/script_fuzzer"
"$out/script_fuzzer" -max_total_time="$half" -max_len=4096 -print_final_stats=1 "$out/script-corpus"

# The seeds are the game's own pictures.
cp assets/bg*.gif assets/01/0[0-1]*.jpg "$out/picture-corpus/"
clang++ "${flags[@]}" tests/fuzz/picture_fuzzer.cpp src/picture/*.cpp -ljpeg -lgif \
  -o "$out/picture_fuzzer"
"$out/picture_fuzzer" -max_total_time="$half" -max_len=16384 -timeout=10 -rss_limit_mb=1024 \
  -print_final_stats=1 "$out/picture-corpus"
