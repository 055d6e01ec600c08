#!/usr/bin/env bash
# The real game with one broken picture: missing, empty, cut short, or of
# another kind than its name says. Each time it must name the file on standard
# error and end with status 1 at once, never crash or hang.
#
# It runs unattended on Qt's offscreen platform, where the game leaves out the
# error's message box (nobody could see it to close it).
#
#   bad_pictures_test.sh path/to/torvin
set -u
torvin=$1
pictures=$(dirname "$torvin")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
export QT_QPA_PLATFORM=offscreen

# try NAME FILE BREAK...: a copy of the game whose FILE has been broken by BREAK.
try() {
  local name=$1 file=$2 game="$work/$1"
  shift 2
  mkdir -p "$game"
  cp -r "$pictures"/01 "$pictures"/02 "$pictures"/03 "$pictures"/bg*.gif "$torvin" "$game/"
  (cd "$game" && "$@")
  timeout 20 "$game/torvin" >"$game/out" 2>"$game/err"
  local status=$?
  if [ "$status" -ne 1 ]; then
    echo "FAIL $name: status $status, wanted 1"; cat "$game/err"; failures=$((failures + 1))
  elif ! grep -q "/$file: " "$game/err"; then
    echo "FAIL $name: $file not named:"; cat "$game/err"; failures=$((failures + 1))
  elif grep -qi 'sanitizer\|runtime error' "$game/err"; then
    echo "FAIL $name:"; cat "$game/err"; failures=$((failures + 1))
  else
    echo "ok   $name: $(grep -m1 "/$file: " "$game/err")"
  fi
}

half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.part" && mv "$1.part" "$1"; }
try missing 02/017.jpg rm 02/017.jpg
try empty-pose 03/000.jpg truncate -s 0 03/000.jpg
try empty-background bg004.gif truncate -s 0 bg004.gif
try truncated-pose 01/002.jpg half 01/002.jpg
try truncated-background bg007.gif half bg007.gif
try gif-named-jpg 01/020.jpg cp bg001.gif 01/020.jpg
try program-named-gif bg003.gif cp torvin bg003.gif
try folder-named-jpg 02/005.jpg eval 'rm 02/005.jpg && mkdir 02/005.jpg'

[ "$failures" -eq 0 ]
