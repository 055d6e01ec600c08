#!/usr/bin/env bash
# The game and the simulator on every hostile picture of the table, each in a
# copy of the game: both must take the good ones, refuse every other with exit
# status 1, and say the same whole sentence: the file's name and the table's
# reason. No case may hang (a named pipe) or crash.
#
#   both_programs_test.sh PLANT_TOOL TORVIN_SIM [TORVIN]
set -u
plant=$1
sim=$2
torvin=${3:-}
pictures=$(dirname "$sim")
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'chmod -R u+rwX "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
export QT_QPA_PLATFORM=offscreen

# Root reads any file: the programs run as nobody, so that "no permission" is
# what a player would meet.
as_player=()
if [ "$(id -u)" -eq 0 ]; then
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# run NAME PROGRAM ARGS...: the exit status, and the line naming the file in NAME.err
run() {
  local out=$1
  shift
  timeout 20 "${as_player[@]}" "$@" >"$out.out" 2>"$out.err" </dev/null
}

while read -r name file verdict sentence; do
  game="$work/$name"
  mkdir -p "$game"
  cp -r "$pictures"/01 "$pictures"/02 "$pictures"/03 "$pictures"/bg*.gif "$game/"
  [ -n "$torvin" ] && { ln "$torvin" "$game/torvin" 2>/dev/null || cp "$torvin" "$game/"; }
  "$plant" "$game" "$name" || { fail "$name: cannot plant it"; continue; }
  chmod -R a+rX "$game" 2>/dev/null
  [ "$name" = no-permission ] && chmod 000 "$game/$file"

  printf '0 dump\n' >"$work/$name.script"
  run "$work/$name.sim" "$sim" --assets "$game" "$work/$name.script"
  sim_status=$?
  sim_line=$(grep -F "$game/$file: " "$work/$name.sim.err")
  if [ -n "$torvin" ]; then
    run "$work/$name.torvin" "$game/torvin" --quit-after 1
    torvin_status=$?
    torvin_line=$(grep -F "$game/$file: " "$work/$name.torvin.err")
  else
    torvin_status=$sim_status torvin_line=$sim_line
  fi

  if grep -qi 'sanitizer\|runtime error' "$work/$name".*.err; then
    fail "$name:"; cat "$work/$name".*.err
  elif [ "$verdict" = good ]; then
    [ "$sim_status" -eq 0 ] && [ "$torvin_status" -eq 0 ] && ok "$name: taken by both" ||
      { fail "$name: status $sim_status (sim), $torvin_status (game)"; cat "$work/$name".*.err; }
  elif [ "$sim_status" -ne 1 ] || [ "$torvin_status" -ne 1 ]; then
    fail "$name: status $sim_status (sim), $torvin_status (game), wanted 1"; cat "$work/$name".*.err
  elif [ -z "$sim_line" ] || [ "$sim_line" != "$torvin_line" ]; then
    fail "$name: not the same sentence:"; echo "  sim:  $sim_line"; echo "  game: $torvin_line"
  elif [ "$sim_line" != "$game/$file: $sentence" ]; then
    fail "$name: said '$sim_line', wanted '$game/$file: $sentence'"
  else
    ok "$name: ${sim_line#"$game/"}"
  fi
done < <("$plant" --list)

echo "$failures failed"
[ "$failures" -eq 0 ]
