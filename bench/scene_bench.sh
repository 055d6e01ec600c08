#!/usr/bin/env bash
# What a painted frame costs, two builds of the game side by side in one run:
# the benchmark's ride (Start, then H, Q, A every 1.5 s) under Xvfb on a
# 1920 x 1080 screen, the window at 531 x 343, at --zoom 2 and full screen (F11),
# the runs of the two builds one after the other, RUNS times over.
#
#   bench/scene_bench.sh BASE_BUILD NEW_BUILD [SECONDS] [RUNS] [SIZES]
#   bench/scene_bench.sh --callgrind BASE_BUILD NEW_BUILD [SECONDS] [SIZES]
#
# A build is a build folder holding bin/torvin. SIZES is a list of "1", "2" and
# "full" (all three by default). Each run prints what `torvin --stats` counted
# (CPU time per wall second since Start, course ticks per second) and, from
# bench/frame_watch (the ride's inputs sent and the frames timed as they reach
# the X server), the frame lateness: for each course tick, the time from the
# moment it fell due to the end of the first frame that shows it.
#
# With --callgrind the game runs under valgrind's callgrind, counting user-space
# instructions of all its threads from 3 s after Start to the end of the ride,
# and prints them per frame that reached the X server meanwhile (the game runs
# far slower under valgrind, so it paints fewer frames; what counts is the cost
# of one).
set -euo pipefail
cd "$(dirname "$0")/.."
callgrind=
if [ "${1:-}" = --callgrind ]; then
  callgrind=1
  shift
fi
base=${1:?the base build folder}
new=${2:?the new build folder}
ride=${3:-20}
if [ -n "$callgrind" ]; then
  runs=1
  sizes=${4:-1 2 full}
else
  runs=${4:-3}
  sizes=${5:-1 2 full}
fi
watch=$new/bin/frame_watch

for tool in Xvfb xdotool python3 "$watch" "$base/bin/torvin" "$new/bin/torvin"; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh, a build)" >&2; exit 1; }
done
[ -z "$callgrind" ] || command -v valgrind >/dev/null || { echo "valgrind is missing" >&2; exit 1; }

work=$(mktemp -d)
# shellcheck source=../tests/support/test_lib.sh
source tests/support/test_lib.sh
trap finish EXIT

# ride BUILD SIZE NAME: one ride; leaves $work/NAME.{stats,watch,script,figures}.
ride() {
  local build=$1 size=$2 name=$3
  rm -rf "$work/config"  # no window size kept from the ride before
  start_xvfb "$work" 1920x1080
  local zoomed=()
  [ "$size" = full ] || zoomed=(--zoom "$size")
  local run=("$build/bin/torvin" --stats --record "$work/$name.script" "${zoomed[@]}")
  if [ -n "$callgrind" ]; then
    run=(valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/$name.cg.%p"
         "${run[@]}")
  fi
  "${run[@]}" >"$work/$name.stats" 2>"$work/$name.log" &
  game=$!
  local window
  window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
  [ -n "$window" ] || { echo "the window did not open" >&2; cat "$work/$name.log" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
  if [ "$size" = full ]; then
    xdotool mousemove $((X + 40)) $((Y + 40)) key F11
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
  fi
  # "Start" and the ground, wherever the scaled scene puts them.
  local scale start_x start_y ground
  scale=$(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
    s = w / 531; if (h / 343 < s) s = h / 343
    if (int(s) >= 1 && s - int(s) <= 0.05 * s) s = int(s)
    print s }')
  read -r start_x start_y ground < <(awk -v s="$scale" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
    printf "%d %d %d\n", (w - 531 * s) / 2 + 384 * s, (h - 343 * s) / 2 + 324 * s,
                         (h - 343 * s) / 2 + 300 * s }')
  local measure=()
  if [ -n "$callgrind" ]; then
    measure=(--measure 3 "callgrind_control -i on $game >/dev/null 2>&1"
             "callgrind_control -d $game >/dev/null 2>&1")
  fi
  "$watch" "$window" $((X + start_x)) $((Y + start_y)) $((X + 40)) $((Y + 40)) "$ride" \
    "${measure[@]}" >"$work/$name.watch"
  kill -TERM "$game"
  wait "$game" || true
  game=
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null || true
  xvfb=
  python3 bench/frame_figures.py "$work/$name.watch" "$work/$name.script" "$ground" \
    >"$work/$name.figures"
  echo "window: ${WIDTH}x${HEIGHT}" >>"$work/$name.figures"
  if [ -n "$callgrind" ]; then
    # The dump made at the end of the ride (the one at exit follows it).
    local dumps dump instructions frames
    dumps=("$work/$name".cg.*.1)
    dump=${dumps[0]}
    instructions=$(sed -n 's/^summary: //p; s/^totals: //p' "$dump" | head -1 | awk '{print $1}')
    frames=$(sed -n 's/^frames_measured: //p' "$work/$name.figures")
    {
      echo "instructions_measured: $instructions"
      awk -v i="$instructions" -v f="$frames" \
        'BEGIN { if (f > 0) printf "instructions_per_frame: %.0f\n", i / f }'
    } >>"$work/$name.figures"
  fi
}

show() {
  local name=$1
  echo "-- $name"
  grep -E '^(cpu_percent_since_start|timer2_ticks_per_second|frames|runs_ended):' \
    "$work/$name.stats" || true
  cat "$work/$name.figures"
}

echo "== machine"
echo "cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
echo "cores: $(nproc)"
echo "kernel: $(uname -r)"
echo "qt: $(dpkg-query -W -f '${Version}' libqt6core6 2>/dev/null || echo unknown)"
echo "base: $base, new: $new, $ride s of riding${callgrind:+, under callgrind}"
for size in $sizes; do
  for run in $(seq "$runs"); do
    # The two builds take turns going first.
    order=(base new)
    [ $((run % 2)) -eq 0 ] && order=(new base)
    for which in "${order[@]}"; do
      build=$base
      [ "$which" = new ] && build=$new
      name=$which-$size-$run
      ride "$build" "$size" "$name"
      echo "== size $size, run $run, $which"
      show "$name"
    done
  done
done
