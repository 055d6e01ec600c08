#!/usr/bin/env bash
# The window's size on a real X server with no window manager: --zoom opens it
# at a factor of the scene's size and Start is clicked where the scaled scene
# shows it; a size the player gave the window is there again at the next start,
# but not one that --zoom gave; F11 covers the whole screen and gives the
# window back; a bad factor is a bad command line; a torvin.conf that would
# hurt a start (a size larger than the screen, a place off it, a named pipe, a
# huge file, a link to a device) is not used, and replaced only when it is a
# regular file.
#
#   window_size_test.sh path/to/torvin
set -u
torvin=$1
work=$(mktemp -d)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
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

# A torvin.conf that would hurt a start is not used: the window opens as a new
# player's, 531 x 343 (at once: the first frame is in the line), and where the
# file itself is wrong one line on standard error says so. What lies there is
# replaced only when it is a regular file.
conf=$XDG_CONFIG_HOME/torvin/torvin.conf
keep() {  # keep X Y WIDTH HEIGHT [FILE]: a torvin.conf that holds this window
  rm -f "${5:-$conf}"
  printf '[window]\nx=%s\ny=%s\nwidth=%s\nheight=%s\n' "$1" "$2" "$3" "$4" >"${5:-$conf}"
}
opens_as() {  # opens_as WHAT SIZE [SAID]: the game opens at SIZE and says SAID, else nothing
  local what=$1 size=$2 said=${3:-} line
  open --stats
  close
  line=$(grep '^torvin:' "$work/torvin.log")
  if [ "${WIDTH}x$HEIGHT" != "$size" ]; then
    fail "$what: the window opened at ${WIDTH}x$HEIGHT, not $size"
  elif [ -z "$said" ] && [ -n "$line" ]; then
    fail "$what: it said $line"
  elif [ -n "$said" ] && { [ "$(echo "$line" | wc -l)" -ne 1 ] || ! echo "$line" | grep -q "$said"; }; then
    fail "$what: it said '$line', not one line with '$said'"
  else
    ok "$what: $size at $X,$Y, $(grep first_frame_ms "$work/torvin.log")${line:+, \"$line\"}"
  fi
}
keep 0 0 100000 100000
opens_as "a kept size larger than the screen" 531x343
grep -q 100000 "$conf" && fail "the size larger than the screen was kept again"
keep 0 0 1281 600
opens_as "a kept size wider than the screen" 531x343
keep -2147483648 -2147483648 800 500
opens_as "a kept place at the smallest integers" 531x343
keep 5000 100 800 500
opens_as "a kept place right of the screen" 800x500
[ "$X" -lt 1280 ] || fail "the window opened off the screen, at $X,$Y"
keep -900 100 800 500
opens_as "a kept place left of the screen" 800x500
[ "$X" -ge 0 ] || fail "the window opened off the screen, at $X,$Y"

rm -f "$conf" && mkfifo "$conf"
opens_as "a torvin.conf that is a named pipe" 531x343 "not a regular file"
[ -p "$conf" ] || fail "the named pipe was replaced"
rm -f "$conf" && head -c 100000000 /dev/zero | tr '\0' '#' >"$conf"
opens_as "a torvin.conf of 100 MB" 531x343 "larger than 64 KB"
[ "$(stat -c %s "$conf")" -lt 1000 ] || fail "the 100 MB torvin.conf is still there"
device=/dev/null
[ "$(id -u)" -eq 0 ] && mknod "$work/device" c 1 3 && device=$work/device
rm -f "$conf" && ln -s "$device" "$conf"
opens_as "a torvin.conf that links to a device" 531x343 "not a regular file"
[ -L "$conf" ] && [ -c "$device" ] || fail "the link to the device, or the device, was replaced"
rm -f "$conf" && ln -s "$work/nowhere" "$conf"
opens_as "a torvin.conf that links nowhere" 531x343 "not a regular file"
[ -e "$work/nowhere" ] && fail "a file was made where the link points"
keep 10 20 700 400 "$work/kept.conf"
rm -f "$conf" && ln -s "$work/kept.conf" "$conf"
opens_as "a torvin.conf that links to a regular file" 700x400
[ "$X,$Y" = 10,20 ] || fail "the window linked to opened at $X,$Y, not 10,20"
[ -L "$conf" ] && grep -q '^width=700$' "$work/kept.conf" ||
  fail "the settings were not written through the link: $(ls -l "$conf")"

# A size larger than the screen that the player gives the window is not kept.
open
xdotool windowsize "$window" 20000 20000
sleep 0.3
close
opens_as "the start after a window of 20000 x 20000" 531x343

for zoom in 0.5 11 abc ""; do
  "$torvin" --zoom $zoom >"$work/out" 2>&1
  status=$?
  [ "$status" -eq 2 ] && grep -q -- '--zoom' "$work/out" || fail "--zoom '$zoom': status $status, $(cat "$work/out")"
done
ok "a bad --zoom is a bad command line"

[ "$failures" -eq 0 ]
