#!/usr/bin/env bash
# Fuzzes torvin-sim's script reader with libFuzzer for a fixed time (seconds,
# default 60), under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out/corpus"
cp tests/fuzz/seed.script "$out/corpus/"
clang++ -std=c++20 -O1 -g -Isrc -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  tests/fuzz/script_fuzzer.cpp src/sim/script.cpp -o "$out/script_fuzzer"
"$out/script_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$out/corpus"
