#!/usr/bin/env bash
# torvin-sim under node (the web build) against the native one, in turn,
# ROUNDS times: the CPU time (user + system) of each round, the ratio of the
# two and its median, for
#   golden     every golden script with --trace, one run each;
#   start      ten starts alone (--version), which node pays at every run;
#   long-game  ten hours of random play with --trace --every-tick, one run.
#
#   bench/web_sim_bench.sh [NATIVE_BUILD] [WEB_BUILD] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build}/bin/torvin-sim
web=${2:-build-web}/bin/torvin-sim
rounds=${3:-5}
assets=$(dirname "$native")
scripts=(tests/golden/*.script tests/scenarios/whole_game.script)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tests/golden/make_random_play.py 7 600 >"$work/long.script"

golden() {  # the golden scripts, one run of the program each
  local script
  for script in "${scripts[@]}"; do
    "$1" --assets "$assets" --trace "$script" >/dev/null
  done
}
long-game() {
  "$1" --assets "$assets" --trace --every-tick "$work/long.script" >/dev/null
}
start() {
  local _
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    "$1" --version >/dev/null
  done
}
cpu_seconds() {  # cpu_seconds FUNCTION PROGRAM: the user + system time it took
  local TIMEFORMAT='%U %S' times
  times=$( { time "$1" "$2"; } 2>&1)
  awk '{ printf "%.2f", $1 + $2 }' <<<"$times"
}

for what in golden start long-game; do
  echo "$what:"
  ratios=()
  for round in $(seq 1 "$rounds"); do
    n=$(cpu_seconds "$what" "$native")
    w=$(cpu_seconds "$what" "$web")
    ratio=$(awk -v w="$w" -v n="$n" 'BEGIN { printf "%.2f", (n > 0 ? w / n : 0) }')
    ratios+=("$ratio")
    echo "  round $round: native ${n} s, node ${w} s, ratio $ratio"
  done
  median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ r[NR] = $1 } END { print r[int((NR + 1) / 2)] }')
  echo "  median ratio (node / native): $median"
done
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores; node $(node --version)"
