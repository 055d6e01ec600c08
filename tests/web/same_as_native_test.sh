#!/usr/bin/env bash
# torvin-sim built with emscripten, run under node, against the native one:
# the same output byte for byte on every golden script and every script that
# the scenario and simulator tests play, with and without --trace and
# --every-tick; the same messages and exit statuses for bad command lines and
# scripts, a missing or damaged picture, and output that cannot be written.
#
#   same_as_native_test.sh NATIVE_SIM WEB_SIM ASSETS [TEST_PROGRAM...]
#
# Each test program (GoogleTest) is run with TORVIN_KEEP_SCRIPTS, which makes
# it keep every script it plays.
set -u
native=$1
web=$2
assets=$3
shift 3
tests=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
compared=0

# same NAME ARGS...: both programs with the same arguments and the same
# standard input ($work/stdin) print the same and end the same.
same() {
  local name=$1
  shift
  "$native" "$@" <"$work/stdin" >"$work/native.out" 2>"$work/native.err"
  local native_status=$?
  "$web" "$@" <"$work/stdin" >"$work/web.out" 2>"$work/web.err"
  local web_status=$?
  compared=$((compared + 1))
  if [ "$native_status" -ne "$web_status" ]; then
    fail "$name: exit status $web_status under node, $native_status natively"
    head -n 5 "$work/web.err"
  elif ! cmp -s "$work/native.out" "$work/web.out"; then
    fail "$name: the output differs: $(cmp "$work/native.out" "$work/web.out" 2>&1)"
    diff "$work/native.out" "$work/web.out" | head -n 4 | cut -c 1-300
  elif ! cmp -s "$work/native.err" "$work/web.err"; then
    fail "$name: standard error differs (native <, node >):"
    diff "$work/native.err" "$work/web.err" | head -n 10 | cut -c 1-300
  else
    return 0
  fi
  return 1
}

: >"$work/stdin"
mkdir "$work/scripts"
for program in "$@"; do
  if ! TORVIN_KEEP_SCRIPTS=$work/scripts "$program" >"$work/program.log" 2>&1; then
    fail "$(basename "$program") failed, so its scripts may be missing:"
    tail -n 20 "$work/program.log"
  fi
done
cp "$tests"/golden/*.script "$tests/scenarios/whole_game.script" "$work/scripts/"

for script in "$work"/scripts/*.script; do
  name=$(basename "$script" .script)
  read -r -a options <<<"$(sed -n 's/^# options: //p' "$script")"
  ok=1
  for extra in "" --trace --every-tick "--trace --every-tick"; do
    # shellcheck disable=SC2086 # the options are words
    same "$name $extra" --assets "$assets" $extra "${options[@]}" "$script" || ok=0
  done
  [ "$ok" -eq 1 ] && ok "$name ($(wc -l <"$work/native.out") lines)"
done

# Bad command lines and scripts: the same sentence and status 2.
bad_script() {  # bad_script NAME TEXT
  printf '%b' "$2" >"$work/bad.script"
  same "bad script: $1" --assets "$assets" "$work/bad.script" && ok "bad script: $1"
}
bad_script "an unknown action" '0 click Command1\n5 kick\n'
bad_script "times going back" '10 dump\n5 dump\n'
bad_script "a key code too large" '0 key 65536\n'
bad_script "a time too large" '9007199254740992 dump\n'
bad_script "a control character" '0 dump\001\n'
bad_script "a line too long" "0 dump $(head -c 65536 /dev/zero | tr '\0' ' ')\n"
for args in "--bogus" "--autoclose soon" "--autoclose=" "--assets=" "$work/none.script" "$work"; do
  # shellcheck disable=SC2086 # the arguments are words
  same "command line: $args" $args && ok "command line: $args"
done
same "help" --help && ok "help"
same "version" --version && ok "version"
printf '0 click Command2\n100 dump\n' >"$work/stdin"
same "a script on standard input" --assets "$assets" --autoclose 50 - && ok "standard input"
: >"$work/stdin"

# Pictures: a missing or damaged one fails the run with status 1 and its name.
printf '0 dump\n' >"$work/dump.script"
damaged() {  # damaged FILE HOW
  rm -rf "$work/pictures"
  cp -r "$assets" "$work/pictures"
  case $2 in
    missing) rm "$work/pictures/$1" ;;
    cut) head -c 2000 "$assets/$1" >"$work/pictures/$1" ;;
    wrong) printf 'GIF89a but not really a picture at all' >"$work/pictures/$1" ;;
  esac
  same "picture $2: $1" --assets "$work/pictures" "$work/dump.script" &&
    ok "picture $2: $1"
}
damaged 02/017.jpg missing
damaged 03/000.jpg cut
damaged bg001.gif cut
damaged 01/002.jpg wrong

# Output that cannot be written: status 3 and the same sentence.
"$native" --assets "$assets" "$work/dump.script" >/dev/full 2>"$work/native.err"
native_status=$?
"$web" --assets "$assets" "$work/dump.script" >/dev/full 2>"$work/web.err"
web_status=$?
compared=$((compared + 1))
if [ "$native_status" -eq "$web_status" ] && cmp -s "$work/native.err" "$work/web.err"; then
  ok "a full disk"
else
  fail "a full disk: status $web_status under node, $native_status natively"
  diff "$work/native.err" "$work/web.err"
fi

echo "$((compared - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
