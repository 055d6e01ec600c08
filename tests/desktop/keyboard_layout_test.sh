#!/usr/bin/env bash
# The letter keys on a keyboard whose layout writes Cyrillic, on a real X server:
# the keys marked H and A (pressed by their key codes, as a player presses them)
# make the rider hop and start a manual. With Russian and French layouts and
# Russian active, the key at Q's place is the French A: the game asks the
# keyboard's own Latin layout, and sees the new keymap that setxkbmap gave it
# while it ran. On a Turkish layout the dotless i is no letter of the game.
#
#   keyboard_layout_test.sh path/to/torvin [folder for the screenshots]
set -u
torvin=$1
pictures=$(dirname "$torvin")
work=$(mktemp -d)
shots=${2:-$work}
mkdir -p "$shots"
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT

need Xvfb xdotool setxkbmap import convert compare

# XKB key codes (evdev + 8) of keys by their place on the keyboard.
key_h=43
key_a=38
key_q=24
key_i=31
key_apostrophe=48

start_xvfb "$work"
setxkbmap ru || { echo "FAIL setxkbmap ru"; exit 1; }
[ "$(setxkbmap -query | awk '/^layout/ { print $2 }')" = ru ] || { echo "FAIL the layout is not ru"; exit 1; }

# The recording tells exactly which key codes the game got.
"$torvin" --record "$work/run.txt" >"$work/torvin.log" 2>&1 &
game=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
[ -n "$window" ] || { echo "FAIL the window did not open:"; cat "$work/torvin.log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT

shot() { import -window root -crop "531x343+$X+$Y" +repage "$shots/$1.png"; }
# How far the rider's box at (136, 182) is from a pose picture (0 = the same).
rider_distance() {  # rider_distance NAME POSE
  local size
  size=$(identify -format '%wx%h' "$pictures/01/$2")
  convert "$shots/$1.png" -crop "$size+136+182" +repage "$work/rider.png"
  compare -metric RMSE "$work/rider.png" "$pictures/01/$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}
near() { awk -v d="$1" 'BEGIN { exit !(d < 0.03) }'; }
# wait_for NAME POSE [far]: up to 3 s for the rider to stand in POSE at (136, 182)
# (or, with "far", to have left it).
wait_for() {
  local distance
  for _ in $(seq 30); do
    shot "$1"
    distance=$(rider_distance "$1" "$2")
    if [ "${3:-}" = far ]; then ! near "$distance" && return 0; else near "$distance" && return 0; fi
    sleep 0.05
  done
  return 1
}

# The top of the rider's jersey: how high the rider is, whatever passes behind.
jersey_top() {  # jersey_top NAME
  convert "$shots/$1.png" -crop 114x296+136+0 +repage -fuzz 12% -fill black \
    -opaque 'rgb(31,59,115)' -fill white +opaque black -negate -format '%@' info: |
    sed 's/.*+//'
}

# Everything before the first ramp reaches the rider, 6.7 s after Start.
xdotool mousemove $((X + 384)) $((Y + 324)) click 1  # "Start"
wait_for ride 002.jpg || fail "the rider is not riding after Start"
riding_top=$(jersey_top ride)

xdotool key "$key_h"
hopped=
for _ in $(seq 20); do
  shot hop
  [ "$(jersey_top hop)" -lt $((riding_top - 6)) ] && { hopped=yes; break; }
  sleep 0.05
done
if [ -n "$hopped" ]; then ok "ru: the key marked H (Cyrillic er) makes the rider hop"; else
  fail "ru: the key marked H left the rider on the ground"
fi
wait_for landed 002.jpg || fail "the rider did not come down from the hop"

xdotool key "$key_a"
if wait_for manual 009.jpg; then ok "ru: the key marked A (Cyrillic ef) starts a manual"; else
  fail "ru: the key marked A did not start a manual"
fi
wait_for after_manual 002.jpg || fail "the manual did not end"

# Russian, and French as the second layout: the key at Q's place writes
# Cyrillic shorti, and on the French layout it is A (on a US keyboard, Q).
setxkbmap -layout ru,fr
sleep 0.2
xdotool key "$key_q"
if wait_for french 009.jpg; then ok "ru,fr: the key at Q's place is the French A (a manual)"; else
  fail "ru,fr: the key at Q's place did not start a manual"
fi
wait_for after_french 002.jpg || fail "the manual did not end"

# Turkish: the key at I's place writes the dotless i, whose capital is I; it is
# no letter of the game (not I, the tabletop). The dotted i, at the
# apostrophe's place, is the game's I.
setxkbmap tr
sleep 0.2
xdotool key "$key_i"
xdotool key "$key_apostrophe"

kill -TERM "$game"
wait "$game"
game=
# H, A, A again (the French one), no letter (the dotless i) and I, and no
# other key.
keys=$(grep -E '^[0-9]+ key ' "$work/run.txt" | awk '{ print $3 }' | tr '\n' ' ')
[ "$keys" = "72 65 65 0 73 " ] && ok "the recording holds exactly the keys 72 65 65 0 73" ||
  fail "the recording holds the keys '$keys', not 72 65 65 0 73"

[ "$failures" -eq 0 ]
