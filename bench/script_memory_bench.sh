#!/usr/bin/env bash
# torvin-sim's memory for a long script: the peak resident memory of a run of
# LINES script lines (default ten million key presses and a last dump), and
# what that makes per line.
#
#   bench/script_memory_bench.sh [TORVIN_SIM] [LINES]
set -euo pipefail
sim=${1:-build/bin/torvin-sim}
lines=${2:-10000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n="$lines" 'BEGIN {
  for (i = 0; i < n - 1; i++) printf "%d key H\n", i * 10
  printf "%d dump\n", n * 10
}' >"$work/long.script"
/usr/bin/time -v "$sim" "$work/long.script" >/dev/null 2>"$work/time"
kb=$(awk -F': ' '/Maximum resident/ { print $2 }' "$work/time")
wall=$(awk -F': ' '/Elapsed \(wall/ { print $2 }' "$work/time")
echo "torvin-sim, $lines script lines: peak memory $((kb / 1024)) MB," \
  "$((kb * 1024 / lines)) bytes a line (goal: well under 100), $wall wall"
