#!/usr/bin/env bash
# Plays every script of this folder, and the whole-game script, through
# `torvin-sim --trace` and compares what it prints byte for byte with the
# output kept in expected/. Any change in what the game does, however small,
# shows here. A script's "# options:" line gives its other torvin-sim options.
# The pictures folder (appPath) is left out of the comparison. Each script is
# played twice: as torvin-sim plays it, passing over ticks that would change
# nothing, and with --every-tick, running every tick of every timer.
#
#   golden_test.sh TORVIN_SIM ASSETS            compare
#   golden_test.sh TORVIN_SIM ASSETS --update   write expected/ anew (after a
#                                               change that is meant to show)
set -u
sim=$1
assets=$2
update=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"

for script in "$here"/*.script "$here/../scenarios/whole_game.script"; do
  name=$(basename "$script" .script)
  read -r -a options <<<"$(sed -n 's/^# options: //p' "$script")"
  expected="$here/expected/$name.out.gz"
  "$sim" --assets "$assets" --trace "${options[@]}" "$script" >"$work/raw" 2>"$work/err"
  status=$?
  sed 's#"appPath":"[^"]*"#"appPath":""#' "$work/raw" >"$work/$name.out"
  "$sim" --assets "$assets" --trace --every-tick "${options[@]}" "$script" >"$work/raw" 2>>"$work/err"
  status=$((status + $?))
  sed 's#"appPath":"[^"]*"#"appPath":""#' "$work/raw" >"$work/$name.every-tick"
  if [ "$status" -ne 0 ]; then
    fail "$name: torvin-sim exit status $status"
    cat "$work/err"
  elif [ "$update" = --update ]; then
    mkdir -p "$here/expected"
    gzip -9n <"$work/$name.out" >"$expected"
    echo "wrote $expected"
  elif ! cmp -s "$work/$name.out" "$work/$name.every-tick"; then
    fail "$name: passing over idle ticks changed the output; first differences:"
    diff "$work/$name.every-tick" "$work/$name.out" | head -n 20
  elif ! gzip -dc "$expected" | cmp -s - "$work/$name.out"; then
    fail "$name: the output differs from expected/$name.out.gz; first differences:"
    gzip -dc "$expected" | diff - "$work/$name.out" | head -n 20
  else
    ok "$name ($(wc -l <"$work/$name.out") lines)"
  fi
done
[ "$failures" -eq 0 ]
