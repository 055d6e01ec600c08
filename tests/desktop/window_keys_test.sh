#!/usr/bin/env bash
# The window's own keys as a player uses them, under a window manager
# (openbox): P pauses (the game's clock stands still for two seconds and more),
# Ctrl+Q quits with the last state and no Q in the recording; another program
# taking the focus pauses, P resumes, and the recording across the pause plays
# in torvin-sim to the state the window ended in; Escape leaves full screen, F1
# opens the first help box, F2 shows the points over the top left of the scene
# as they change, and they are there again when the game starts next time.
#
#   window_keys_test.sh path/to/torvin
set -u
torvin=$1
bin=$(cd "$(dirname "$torvin")" && pwd)
sim="$bin/torvin-sim"
work=$(mktemp -d)
shots="$work/shots"
mkdir "$shots"
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
other=
trap '[ -n "$other" ] && kill "$other" 2>/dev/null; finish' EXIT

need Xvfb xdotool xwininfo openbox wmctrl import convert compare xmessage
start_xvfb "$work"
start_openbox "$work"

# start_game: the game recording, its window mapped and active;
# sets $window and the client area's place on the screen, X and Y.
start_game() {
  launched=$(date +%s%N)
  "$torvin" --record "$work/run.script" --dump-at-exit >"$work/exit.json" 2>"$work/err" &
  game=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
  [ -n "$window" ] || { echo "FAIL the window did not open"; cat "$work/err"; exit 1; }
  xdotool windowactivate --sync "$window" 2>/dev/null
  place
}
place() {
  X=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
  Y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
  WIDTH=$(xwininfo -id "$window" | sed -n 's/.*Width: *//p')
}
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
recorded() { grep -q "$1" "$work/run.script" 2>/dev/null; }
# The time of the first line of the recording that matches PATTERN.
time_of() { sed -n "/$1/{s/ .*//p;q}" "$work/run.script"; }
pixel() {  # pixel X Y -> R,G,B of the client area
  import -window root -crop "1x1+$((X + $1))+$((Y + $2))" +repage -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -1
}
# The sky once "Start" has been clicked, in the open (away from the points and
# the pictures that drift in from the right).
sky() { [ "$(pixel 60 100)" = 150,213,255 ]; }
# The empty Score list, white, or darker under the veil of "Paused" (it is
# where no help box covers the window).
unveiled() { [ "$(pixel 510 250)" = 255,255,255 ]; }
veiled() { [ "$(pixel 510 250 | cut -d, -f3)" -lt 200 ]; }
shot() { import -window root -crop "${WIDTH}x343+$X+$Y" +repage "$shots/$1.png"; }
corner() { import -window root -crop "160x24+$X+$Y" +repage "$shots/$1.png"; }
same() { [ "$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1)" = 0 ]; }
# ended WHAT: the game has ended by itself, with status 0.
ended() {
  until_true 10 eval '! kill -0 "$game" 2>/dev/null'
  if kill -0 "$game" 2>/dev/null; then
    fail "$1: the game still runs"
    kill -9 "$game"
  fi
  wait "$game"
  local status=$?
  game=
  expect "$1: the game ended with status 0" 0 "$status"
}
exit_time() { sed -n 's/^{"t":\([0-9]*\),.*/\1/p' "$work/exit.json"; }
replays_to_exit() {
  local replayed
  replayed=$("$sim" --assets "$bin" "$work/run.script" | tail -1)
  [ -s "$work/exit.json" ] && [ "$replayed" = "$(cat "$work/exit.json")" ] &&
    ok "$1: torvin-sim replays the recording to the window's last state" ||
    fail "$1: recording $(cat "$work/run.script"), at exit $(head -c 300 "$work/exit.json")"
}

# P pauses: two seconds later the game's clock is where the P left it, and
# Ctrl+Q ends the game there.
start_game
click_at 384 324  # "Start"
until_true 5 sky || fail "no sky after Start"
sleep 0.5
xdotool key h
until_true 5 recorded ' key 72$' || fail "the H did not reach the game"
xdotool key p
until_true 5 recorded ' key 80$' || fail "the P did not reach the game"
until_true 5 veiled && ok "P shows the veil of \"Paused\"" || fail "no veil after P: $(pixel 510 250)"
sleep 2
shot paused
xdotool key ctrl+q
ended "Ctrl+Q while paused"
paused_at=$(time_of ' key 80$')
at_exit=$(exit_time)
[ -n "$at_exit" ] && [ "$at_exit" -ge "$paused_at" ] && [ "$at_exit" -le $((paused_at + 5)) ] &&
  ok "the clock stood still while paused: P at $paused_at ms, the end 2 s later at $at_exit ms" ||
  fail "P at $paused_at ms, the end 2 s later at ${at_exit:-?} ms"
recorded ' key 81$' && fail "Ctrl+Q reached the game as Q: $(cat "$work/run.script")"
replays_to_exit "paused and quit"

# Another program taking the focus pauses, its leaving does not resume, P does
# (unplayed); Ctrl+Q while riding holds no Q either.
start_game
click_at 384 324
until_true 5 sky || fail "no sky after Start"
xdotool key a
until_true 5 recorded ' key 65$' || fail "the A did not reach the game"
xmessage -geometry +600+500 "another program" 2>/dev/null &
other=$!
until_true 5 veiled && ok "another program taking the focus pauses" ||
  fail "no pause when another program took the focus: $(pixel 510 250)"
sleep 1.5
kill "$other"
wait "$other" 2>/dev/null
other=
xdotool windowactivate --sync "$window" 2>/dev/null
sleep 0.5
veiled && ok "the focus coming back does not resume" || fail "the focus coming back resumed the game"
xdotool key p
until_true 5 unveiled && ok "P resumes" || fail "P did not resume: $(pixel 510 250)"
sleep 0.3
xdotool key h
until_true 5 recorded ' key 72$' || fail "the H after the pause did not reach the game"
xdotool key ctrl+q
ended "Ctrl+Q while riding"
took=$((($(date +%s%N) - launched) / 1000000))
at_exit=$(exit_time)
[ -n "$at_exit" ] && [ $((at_exit + 1500)) -le "$took" ] &&
  ok "the pause is absent from the game's clock: $at_exit ms of $took ms" ||
  fail "the game's clock at the end: ${at_exit:-?} ms of $took ms"
recorded ' key 80$' && fail "the resuming P was played: $(cat "$work/run.script")"
recorded ' key 81$' && fail "Ctrl+Q reached the game as Q: $(cat "$work/run.script")"
recorded ' key 17$' || fail "Ctrl alone did not reach the game: $(cat "$work/run.script")"
replays_to_exit "across a pause"

# Escape leaves full screen, F2 shows the points as they change, F1 opens the
# first help box.
start_game
click_at 384 324
until_true 5 sky || fail "no sky after Start"
# shellcheck disable=SC2034 # read by the tries below
screen=$(xwininfo -root | sed -n 's/.*Width: *//p')
xdotool key F11
until_true 5 eval 'place; [ "$WIDTH" = "$screen" ]' || fail "F11 did not make the window full screen"
xdotool key Escape
until_true 5 eval 'place; [ "$WIDTH" != "$screen" ]' && ok "Escape leaves full screen" ||
  fail "still $WIDTH wide after Escape"
# The window manager may put the window back at its place a moment after its
# size (a slow build paints later too): the corner is read where the scene
# shows again.
until_true 5 eval 'place; sky' || fail "no sky where the window is after full screen"
sleep 0.3
place
corner plain
xdotool key F2
until_true 5 eval 'corner points; ! same plain points' && ok "F2 shows the points" ||
  fail "F2 changed nothing at the top left"
xdotool key a
until_true 5 eval 'corner scored; ! same points scored' &&
  ok "the points at the top left change with the run's points" ||
  fail "the top left did not change with the run's points"
xdotool key F1
until_true 5 eval '[ -n "$(xdotool search --onlyvisible --name "^Torvin$" | grep -vx "$window")" ]' ||
  fail "no help box after F1"
sleep 0.5
unveiled && ok "the game's own help box does not pause it" || fail "the help box paused the game"
xdotool key ctrl+q
ended "Ctrl+Q with a help box open"
grep -q '"MessageBox":"Trick list: Bunny hop - H;' "$work/exit.json" &&
  ok "F1 opened the first help box" || fail "at the end: $(head -c 300 "$work/exit.json")"
recorded ' click Command2$' || fail "F1 was not recorded as How to: $(cat "$work/run.script")"
recorded ' key 11[23]$' && fail "F1 or F2 reached the game as a key: $(cat "$work/run.script")"
recorded ' key 27$' || fail "Escape did not reach the game"
replays_to_exit "with the keys of the window"

# The points are there again at the next start.
start_game
click_at 384 324
until_true 5 sky || fail "no sky after Start"
sleep 0.3
corner again
! same plain again && ok "the points stay shown at the next start" ||
  fail "no points at the next start"
xdotool key ctrl+q
ended "the next start"
grep -q 'showPoints=true' "$XDG_CONFIG_HOME/torvin/torvin.conf" ||
  fail "torvin.conf: $(cat "$XDG_CONFIG_HOME/torvin/torvin.conf")"

[ "$failures" -eq 0 ]
