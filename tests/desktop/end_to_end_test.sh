#!/usr/bin/env bash
# The game on a real X server, played as a player would: start it, click Start,
# ride up the first ramp, ask for a backflip on the way down that cannot close
# before the landing, and check the screen at each stage: the sky, the ground
# line at y = 296 and the rider where the game has put it.
#
#   end_to_end_test.sh path/to/torvin [folder for the screenshots]
set -u
torvin=$1
pictures=$(dirname "$torvin")
work=$(mktemp -d)
shots=${2:-$work}
mkdir -p "$shots"
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT
now() { date +%s%N; }
ms_since() { echo $((($(now) - $1) / 1000000)); }
sleep_until() {  # sleep_until START_NS MS
  local left=$(($2 - $(ms_since "$1")))
  [ "$left" -gt 0 ] && sleep "$(printf '%d.%03d' $((left / 1000)) $((left % 1000)))"
}

need Xvfb xdotool import convert compare

# An X server on a display nobody uses: Xvfb picks it and tells us.
start_xvfb "$work"

"$torvin" --record "$work/run.script" --dump-at-exit >"$work/exit.json" 2>"$work/torvin.log" &
game=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
[ -n "$window" ] || { echo "FAIL the window did not open:"; cat "$work/torvin.log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
[ "$WIDTH" = 531 ] && [ "$HEIGHT" = 343 ] && ok "window 531 x 343" ||
  fail "window is $WIDTH x $HEIGHT, not 531 x 343"

shot() {  # shot NAME: the window's client area
  import -window root -crop "531x343+$X+$Y" +repage "$shots/$1.png"
}
pixel() {  # pixel NAME X Y -> 150,213,255
  convert "$shots/$1.png" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
# How far the rider's box at (136, 182) is from a pose picture (0 = the same).
rider_distance() {  # rider_distance NAME POSE
  local size
  size=$(identify -format '%wx%h' "$pictures/01/$2")
  convert "$shots/$1.png" -crop "$size+136+182" +repage "$work/rider.png"
  compare -metric RMSE "$work/rider.png" "$pictures/01/$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}
check_scene() {  # check_scene NAME POSE: sky, ground line and rider on the ground
  local name=$1 pose=$2 point colour dark distance
  for point in "20 150" "300 170" "480 120"; do
    # shellcheck disable=SC2086
    colour=$(pixel "$name" $point)
    [ "$colour" = "150,213,255" ] || fail "$name: ($point) is $colour, not the sky 150,213,255"
  done
  dark=$(convert "$shots/$name.png" -crop 431x1+60+296 +repage -depth 8 txt:- |
    grep -v '^#' | grep -vc '#000000')
  [ "$dark" -eq 0 ] || fail "$name: $dark pixels of the ground line y = 296 are not black"
  distance=$(rider_distance "$name" "$pose")
  awk -v d="$distance" 'BEGIN { exit !(d < 0.03) }' ||
    fail "$name: the rider at (136, 182) is not $pose (distance $distance)"
  ok "$name: sky, ground line, rider $pose at (136, 182)"
}

# The window is mapped before its first frame is painted (slower under the
# sanitizers): wait for the frame, up to 5 s.
for _ in $(seq 50); do
  shot load
  [ "$(pixel load 300 150)" != "0,0,0" ] && break
  sleep 0.1
done
[ "$(pixel load 300 150)" = "255,255,255" ] && ok "load: white before Start" ||
  fail "load: background $(pixel load 300 150) before Start"

xdotool mousemove $((X + 384)) $((Y + 324)) click 1  # "Start"
started=$(now)
sleep_until "$started" 2000
shot start
check_scene start 002.jpg

# The ramp reaches the rider 7080 ms after Start on the game's clock (which the
# window keeps however late it is woken) and carries it up, 8 pixels per 40 ms,
# for 0.8 s; the descent takes 0.8 s more. The screen must show the climb.
non_sky() {  # non_sky NAME WxH+X+Y: how many pixels of the region are not sky
  convert "$shots/$1.png" -crop "$2" +repage -fuzz 15% -fill black -opaque 'rgb(150,213,255)' \
    -fill white +opaque black -format '%[fx:int(mean*w*h+0.5)]' info:
}
sleep_until "$started" 7700
shot ramp
[ "$(non_sky ramp 114x82+136+100)" -gt 20 ] && ok "the ramp lifted the rider" ||
  fail "the rider is not climbing the ramp 7.7 s after Start"

# R on the way down (from 7920 ms): a backflip needs about a second of flips;
# the ground comes first, at 8680 ms.
sleep_until "$started" 7990
for _ in 1 2 3 4 5; do
  xdotool key r
  sleep 0.04
done
sleep_until "$started" 8400
shot trick

box=
while [ "$(ms_since "$started")" -lt 12000 ]; do
  box=$(xdotool search --onlyvisible --name '^Torvin$' | grep -vx "$window" | head -1)
  [ -n "$box" ] && break
  sleep 0.05
done
[ -n "$box" ] || { fail "no \"Fail!\" after a backflip that could not close"; exit 1; }
ok "a message box after the landing"
# The box is moved off the game so that the fallen rider can be seen.
xdotool windowmove "$box" 600 450
sleep 0.5
shot fail
check_scene fail 000.jpg

xdotool mousemove 650 500 key Return  # OK
sleep 1.6  # the pause, then the next run
shot after
check_scene after 002.jpg
score=$(convert "$shots/after.png" -crop 26x12+499+18 +repage -depth 8 txt:- |
  grep -v '^#' | grep -c '#0000\|#1\|#2\|#3')
[ "$score" -gt 0 ] && ok "the run's score is in the Score list" || fail "the Score list is empty"

# The keys are the game's again once the box is gone, even with the pointer
# outside the window: H lifts the rider off the ground.
xdotool key h
sleep 0.6
shot hop
distance=$(rider_distance hop 002.jpg)
awk -v d="$distance" 'BEGIN { exit !(d >= 0.03) }' && ok "a key after the box makes the rider hop" ||
  fail "H after the box left the rider on the ground (distance $distance)"

kill "$game" 2>/dev/null
wait "$game" 2>/dev/null
game=

# The whole run was recorded as a script: the simulator plays it to the very
# state the window was in when it ended.
# (The pictures folder, appPath, may be written another way.)
"$pictures/torvin-sim" --assets "$pictures" "$work/run.script" >"$work/replayed.json"
no_app_path() { sed 's#"appPath":"[^"]*"##' "$1"; }
if [ -s "$work/exit.json" ] && cmp -s <(no_app_path "$work/exit.json") <(no_app_path "$work/replayed.json"); then
  ok "torvin-sim replays the recording to the window's last state"
else
  fail "the recording does not replay to the window's last state:"
  cat "$work/run.script"
  diff <(no_app_path "$work/exit.json" | tr ',' '\n') <(no_app_path "$work/replayed.json" | tr ',' '\n') |
    head -20
fi

# A game with a picture missing names it, in a box and on standard error, and
# ends with an error once the box is closed.
mkdir -p "$work/broken"
cp -r "$pictures"/01 "$pictures"/02 "$pictures"/03 "$pictures"/bg*.gif "$torvin" "$work/broken/"
rm "$work/broken/02/017.jpg"
"$work/broken/torvin" >"$work/broken.out" 2>"$work/broken.err" &
game=$!
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
[ -n "$box" ] || fail "no message box for a missing picture"
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + 5)) $((Y + 5)) key Return
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
wait "$game"
status=$?
game=
if [ "$status" -ne 0 ] && [ "$status" -lt 124 ] && grep -q '02/017.jpg' "$work/broken.err"; then
  ok "a missing picture is named and the game ends with status $status"
else
  fail "a missing picture: status $status, standard error: $(cat "$work/broken.err")"
fi

[ "$failures" -eq 0 ]
