#!/usr/bin/env bash
# The game under a window manager (openbox), quit as a player quits: with the
# first "How to" box open, the window manager's close button on the game's
# window ends the game at once, without the other two boxes. Closing a box
# with its own close button counts as its OK.
#
#   window_manager_test.sh path/to/torvin
set -u
torvin=$1
work=$(mktemp -d)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT

need Xvfb xdotool xwininfo openbox wmctrl
start_xvfb "$work"
start_openbox "$work"

# start_game: the game running with its window mapped; sets $window, X, Y
start_game() {
  "$torvin" --record "$work/run.script" --dump-at-exit >"$work/exit.json" 2>"$work/err" &
  game=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
  [ -n "$window" ] || { echo "FAIL the window did not open"; cat "$work/err"; exit 1; }
  sleep 0.5
}
# boxes: the game's windows but its main one
boxes() { xdotool search --onlyvisible --name '^Torvin$' | grep -vx "$window"; }
wait_for_box() {
  for _ in $(seq 100); do [ -n "$(boxes)" ] && return 0; sleep 0.05; done
  return 1
}
click_how_to() {
  # The client area's "How to" button, wherever the window manager put the
  # window (xwininfo gives the client area's place on the screen).
  local x y
  x=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  xdotool mousemove $((x + 440)) $((y + 324)) click 1
}

start_game
click_how_to
wait_for_box || fail "no help box after a click on How to"
started=$(date +%s%N)
wmctrl -i -c "$window"  # the window manager's close button
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.02; done
if kill -0 "$game" 2>/dev/null; then
  fail "the game still runs after its window was closed with a box open"
  kill -9 "$game"
fi
wait "$game"
status=$?
game=
took=$((($(date +%s%N) - started) / 1000000))
[ "$status" -eq 0 ] && ok "closed with \"How to\" open: the game ended in $took ms, status 0" ||
  fail "closed with \"How to\" open: status $status"
grep -q '"MessageBox":"Trick list: Bunny hop - H;' "$work/exit.json" &&
  ok "it ended with the first help box open" || fail "the state at the end: $(cat "$work/exit.json")"
[ "$(grep -c ' close$' "$work/run.script")" -eq 0 ] || fail "a box was closed: $(cat "$work/run.script")"

# A box's own close button is its OK: the next help box follows.
start_game
click_how_to
wait_for_box || fail "no help box after a click on How to"
first=$(boxes | head -1)
wmctrl -i -c "$first"
sleep 0.5
second=$(boxes | head -1)
[ -n "$second" ] && [ "$second" != "$first" ] && ok "a box's close button shows the next box" ||
  fail "after closing the first box with its close button: boxes '$second'"
kill -TERM "$game"
wait "$game"
game=
grep -q ' close$' "$work/run.script" && ok "the box's close button was recorded as a close" ||
  fail "no close in the recording: $(cat "$work/run.script")"
grep -q '"MessageBox":"Manual - A' "$work/exit.json" || fail "at the end: $(head -c 300 "$work/exit.json")"

[ "$failures" -eq 0 ]
