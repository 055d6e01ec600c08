#!/usr/bin/env bash
# The real game with one broken picture: missing, empty, cut short, or of
# another kind than its name says. Each time it must say on standard error,
# under its heading, the file and why, and end with status 1 at once, never
# crash or hang.
#
# It runs unattended on Qt's offscreen platform, where the game leaves out the
# error's message box (nobody could see it to close it).
#
#   bad_pictures_test.sh path/to/torvin
set -u
torvin=$1
pictures=$(dirname "$torvin")
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
export QT_QPA_PLATFORM=offscreen

# try NAME FILE SENTENCE BREAK...: a copy of the game whose FILE has been broken
# by BREAK. The game says, right under its heading, FILE's path and SENTENCE.
try() {
  local name=$1 file=$2 sentence=$3 game="$work/$1"
  shift 3
  mkdir -p "$game"
  cp -r "$pictures"/01 "$pictures"/02 "$pictures"/03 "$pictures"/bg*.gif "$torvin" "$game/"
  (cd "$game" && "$@")
  timeout 20 "$game/torvin" >"$game/out" 2>"$game/err"
  local status=$?
  local said
  said=$(sed -n '/^torvin: These pictures of the game are missing or unreadable:$/{n;p;q}' "$game/err")
  if [ "$status" -ne 1 ]; then
    fail "$name: status $status, wanted 1"; cat "$game/err"
  elif [ "$said" != "$game/$file: $sentence" ]; then
    fail "$name: under the heading '$said', not '$game/$file: $sentence':"; cat "$game/err"
  elif grep -qi 'sanitizer\|runtime error' "$game/err"; then
    fail "$name:"; cat "$game/err"
  else
    ok "$name: $said"
  fi
}

half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.part" && mv "$1.part" "$1"; }
try missing 02/017.jpg "the file is missing" rm 02/017.jpg
try empty-pose 03/000.jpg "the file is empty" truncate -s 0 03/000.jpg
try empty-background bg004.gif "the file is empty" truncate -s 0 bg004.gif
try truncated-pose 01/002.jpg "the file is cut short" half 01/002.jpg
try truncated-background bg007.gif "the file is cut short" half bg007.gif
try gif-named-jpg 01/020.jpg "a GIF picture, not the JPEG its name says" cp bg001.gif 01/020.jpg
# The program's first 64 KiB: the whole program may be larger than any picture
# may be (a sanitizer build is), and then the size would be refused first.
try program-named-gif bg003.gif "not a GIF picture, though its name says so" \
  eval 'head -c 65536 torvin >bg003.gif'
try folder-named-jpg 02/005.jpg "not a picture file but a folder" \
  eval 'rm 02/005.jpg && mkdir 02/005.jpg'

[ "$failures" -eq 0 ]
