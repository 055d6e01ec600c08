#!/usr/bin/env bash
# The game's figures on this machine: builds, then rides the desktop game under
# Xvfb for 30 s with tricks and prints what `torvin --stats` counted, the
# machine, and the simulator's speed (virtual hours of random play per second).
#
#   bench/desktop_bench.sh [BUILD_DIR] [RIDE_SECONDS] [ZOOM | full]
#
# ZOOM opens the window at that factor (--zoom), "full" plays full screen (F11),
# both on a 1920 x 1080 screen: what scaling the scene costs.
#
# The rhythm (H, Q, A every 1.5 s: a hop, a can-can in the hop, a manual after
# the landing) lands every trick, so no run ends and the course never stops for
# a "Fail!": the course ticks are those of an unbroken ride. A message box that
# opens all the same is closed at once, and counted.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
ride=${2:-30}
zoom=${3:-}

for tool in Xvfb xdotool cmake ninja; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/deps.sh" >&2; exit 1; }
done
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target torvin sim_bench >/dev/null

work=$(mktemp -d)
# shellcheck source=../tests/support/test_lib.sh
source tests/support/test_lib.sh
trap finish EXIT
zoomed=()
screen=
case "$zoom" in
  "") ;;
  full) screen=1920x1080 ;;
  *) screen=1920x1080 zoomed=(--zoom "$zoom") ;;
esac
start_xvfb "$work" $screen

"$build/bin/torvin" --stats "${zoomed[@]}" >"$work/stats" 2>"$work/torvin.log" &
game=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
[ -n "$window" ] || { echo "the window did not open" >&2; cat "$work/torvin.log" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
if [ "$zoom" = full ]; then
  xdotool mousemove $((X + 40)) $((Y + 40)) key F11
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
fi
# "Start", wherever the scaled scene puts it.
scale=$(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
  s = w / 531; if (h / 343 < s) s = h / 343
  if (int(s) >= 1 && s - int(s) <= 0.05 * s) s = int(s)
  print s }')
read -r start_x start_y < <(awk -v s="$scale" -v w="$WIDTH" -v h="$HEIGHT" \
  'BEGIN { printf "%d %d\n", (w - 531 * s) / 2 + 384 * s, (h - 343 * s) / 2 + 324 * s }')
xdotool mousemove $((X + start_x)) $((Y + start_y)) click 1
xdotool mousemove $((X + 40)) $((Y + 40))               # off the buttons

boxes=0
end=$((SECONDS + ride))
while [ "$SECONDS" -lt "$end" ]; do
  for key in h q a; do
    xdotool key "$key"
    sleep 0.1
  done
  sleep 1.2
  box=$(xdotool search --onlyvisible --name '^Torvin$' | grep -vx "$window" | head -1 || true)
  if [ -n "$box" ]; then
    xdotool key --window "$box" Return
    boxes=$((boxes + 1))
  fi
done
kill -TERM "$game"
wait "$game"
game=

echo "== machine"
echo "cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
echo "cores: $(nproc)"
echo "kernel: $(uname -r)"
echo "qt: $(dpkg-query -W -f '${Version}' libqt6core6 2>/dev/null || echo unknown)"
echo "== desktop game, $ride s of riding under Xvfb (torvin --stats)${zoom:+, zoom $zoom, ${WIDTH}x${HEIGHT}}"
cat "$work/stats"
echo "message_boxes_closed_by_the_bench: $boxes"
# Loading the program and its libraries, before the game's own clock starts.
start=$(date +%s%N)
"$build/bin/torvin" --version >/dev/null
echo "process_start_to_main_ms: $((($(date +%s%N) - start) / 1000000))"
echo "== simulator (sim_bench)"
"$build/bin/sim_bench"
