#!/usr/bin/env bash
# The window's size on a real X server with no window manager: --zoom opens it
# at a factor of the scene's size and Start is clicked where the scaled scene
# shows it; a size the player gave the window is there again at the next start,
# but not one that --zoom gave; F11 covers the whole screen and gives the
# window back; a bad factor is a bad command line.
#
#   window_size_test.sh path/to/torvin
set -u
torvin=$1
work=$(mktemp -d)
# shellcheck source=/dev/null
source "$(dirname "$0")/test_lib.sh"
trap finish EXIT

need Xvfb xdotool import convert
start_xvfb "$work" 1280x1024

# open [ARGUMENT...]: starts the game; sets $game, $window, X, Y, WIDTH, HEIGHT.
open() {
  "$torvin" "$@" >"$work/torvin.log" 2>&1 &
  game=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
  [ -n "$window" ] || { echo "FAIL the window did not open:"; cat "$work/torvin.log"; exit 1; }
  sleep 0.3
  geometry
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$window")"; }
close() {
  kill -TERM "$game"
  wait "$game"
  game=
}
pixel() {  # pixel X Y -> 150,213,255 (of the screen)
  import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -1
}

open --zoom 2
[ "${WIDTH}x$HEIGHT" = 1062x686 ] && ok "--zoom 2 opens 1062 x 686" || fail "--zoom 2 opened ${WIDTH}x$HEIGHT"
xdotool mousemove $((X + 384 * 2)) $((Y + 324 * 2)) click 1  # "Start", scaled
sleep 0.5
[ "$(pixel $((X + 600)) $((Y + 100)))" = 150,213,255 ] && ok "Start clicked where it is drawn at zoom 2" ||
  fail "no sky after clicking the scaled Start: $(pixel $((X + 600)) $((Y + 100)))"
close

open --zoom 1.5
[ "${WIDTH}x$HEIGHT" = 797x515 ] && ok "--zoom 1.5 opens 797 x 515" || fail "--zoom 1.5 opened ${WIDTH}x$HEIGHT"
close

# A size given by the player is kept; one given by --zoom is not.
open
[ "${WIDTH}x$HEIGHT" = 531x343 ] || fail "a new player's window is ${WIDTH}x$HEIGHT, not 531 x 343"
xdotool windowsize "$window" 800 500
sleep 0.3
close
open --zoom 3
close
open
[ "${WIDTH}x$HEIGHT" = 800x500 ] && ok "the player's size is there at the next start" ||
  fail "the window opened at ${WIDTH}x$HEIGHT, not the 800 x 500 it had"

# F11 on a bare X server: the window covers the screen itself, and goes back.
xdotool mousemove $((X + 20)) $((Y + 20)) key F11
sleep 0.5
geometry
[ "${WIDTH}x$HEIGHT" = 1280x1024 ] && ok "F11 covers the screen" || fail "after F11 the window is ${WIDTH}x$HEIGHT"
xdotool key F11
sleep 0.5
geometry
[ "${WIDTH}x$HEIGHT" = 800x500 ] && ok "F11 again gives the window back" ||
  fail "after F11 twice the window is ${WIDTH}x$HEIGHT"
close

for zoom in 0.5 11 abc ""; do
  "$torvin" --zoom $zoom >"$work/out" 2>&1
  status=$?
  [ "$status" -eq 2 ] && grep -q -- '--zoom' "$work/out" || fail "--zoom '$zoom': status $status, $(cat "$work/out")"
done
ok "a bad --zoom is a bad command line"

[ "$failures" -eq 0 ]
