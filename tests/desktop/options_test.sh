#!/usr/bin/env bash
# The game's command line and environment: --quit-after takes only a sane
# number of seconds, --option= needs its value, the figures of --stats are the
# same in every locale, and the game finds its pictures in a folder whose name
# is not UTF-8.
#
#   options_test.sh path/to/torvin path/to/torvin-sim
set -u
torvin=$1
sim=$2
pictures=$(dirname "$torvin")
work=$(cd "$(mktemp -d)" && pwd -P)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT
export QT_QPA_PLATFORM=offscreen

# The wrong values end at once with status 2 and a message.
for value in nan inf -inf 1e10 1e3 -1 0 0.0 0.0001 '' ' 5' 1,5 0x10 604801 abc; do
  timeout 10 "$torvin" --quit-after "$value" >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 2 ] && grep -q 'quit-after' "$work/err" && echo "ok   --quit-after '$value' refused" ||
    fail "--quit-after '$value': status $status"
done
for option in --quit-after= --stats= --quit-after; do
  timeout 10 "$torvin" $option >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 2 ] && echo "ok   $option refused" || fail "$option: status $status"
done
timeout 10 "$torvin" --quit-after=0.2 >/dev/null 2>&1
status=$?
[ "$status" -eq 0 ] && echo "ok   --quit-after=0.2" || fail "--quit-after=0.2: status $status"

# --stats under a German locale, whose decimal separator is a comma. The
# locale is made here when the system has not got it.
german=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if localedef -i de_DE -f UTF-8 "$work/$german" 2>/dev/null; then
    export LOCPATH=$work
  else
    german=
  fi
fi
if [ -n "$german" ]; then
  LC_ALL=$german timeout 10 "$torvin" --stats --quit-after 0.3 >"$work/stats" 2>/dev/null
  if grep -q ',' "$work/stats" || ! grep -q '^wall_seconds: [0-9]*\.[0-9]*$' "$work/stats"; then
    fail "--stats under $german:"; cat "$work/stats"
  else
    echo "ok   --stats under $german: $(grep wall_seconds "$work/stats")"
  fi
  unset LOCPATH
else
  echo "skip --stats under a German locale (no de_DE locale, and localedef cannot make one)"
fi

# Run from a folder, and installed under a prefix, whose names are Latin-1.
latin1=$(printf 'caf\351 \377')
game="$work/$latin1"
mkdir -p "$game/bin" "$game/share/torvin"
cp -r "$pictures"/01 "$pictures"/02 "$pictures"/03 "$pictures"/bg*.gif "$game/"
cp -r "$game"/01 "$game"/02 "$game"/03 "$game"/bg*.gif "$game/share/torvin/"
cp "$torvin" "$sim" "$game/"
cp "$torvin" "$game/bin/"
for where in "$game" "$game/bin"; do
  timeout 10 "$where/torvin" --quit-after 0.5 >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 0 ] && echo "ok   the game in a Latin-1 folder ($where)" ||
    { fail "the game in a Latin-1 folder: status $status"; cat "$work/err"; }
done
printf '0 dump\n' | timeout 10 "$game/torvin-sim" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 0 ] && echo "ok   the simulator in a Latin-1 folder" ||
  { fail "the simulator in a Latin-1 folder: status $status"; cat "$work/err"; }

echo "$failures failed"
[ "$failures" -eq 0 ]
