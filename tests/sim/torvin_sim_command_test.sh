#!/usr/bin/env bash
# torvin-sim as a player or a script uses it: options, exit statuses, messages,
# and bad pictures.
set -u
sim=$1
pictures=$(dirname "$sim")
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {  # check NAME EXPECTED_STATUS ACTUAL_STATUS [STDERR_FILE PATTERN]
  local name=$1 want=$2 got=$3
  if [ "$got" != "$want" ]; then
    echo "FAIL $name: exit status $got, wanted $want"; failures=$((failures + 1)); return
  fi
  if [ $# -ge 5 ] && ! grep -q -- "$5" "$4"; then
    echo "FAIL $name: '$5' not in:"; cat "$4"; failures=$((failures + 1)); return
  fi
  echo "ok   $name"
}

"$sim" --help >"$work/out" 2>&1; check help 0 $? "$work/out" "--autoclose"
"$sim" --version >"$work/out" 2>&1; check version 0 $? "$work/out" "torvin-sim"
"$sim" --bogus </dev/null 2>"$work/err"; check unknown-option 2 $? "$work/err" "unknown option"
"$sim" --autoclose soon </dev/null 2>"$work/err"; check bad-autoclose 2 $? "$work/err" "autoclose"
"$sim" "$work/none.script" 2>"$work/err"; check missing-script 2 $?
printf '0 click Command2\n100 dump\n' | "$sim" --autoclose=50 >"$work/out" 2>&1
check option-with-equals 0 $? "$work/out" '"MessageBox":"Manual - A'

# A script that is endless, a folder, or not readable; options with an empty value.
timeout 10 "$sim" /dev/zero >"$work/out" 2>"$work/err"; check endless-line 2 $? "$work/err" "line 1"
"$sim" "$work" >"$work/out" 2>"$work/err"; check folder-script 2 $? "$work/err" "folder"
printf '0 dump\n' >"$work/ok.script"
chmod 755 "$work"; chmod 000 "$work/ok.script"
if [ "$(id -u)" -eq 0 ]; then
  setpriv --reuid=65534 --regid=65534 --clear-groups "$sim" "$work/ok.script" >"$work/out" 2>"$work/err"
else
  "$sim" "$work/ok.script" >"$work/out" 2>"$work/err"
fi
check unreadable-script 2 $? "$work/err" "cannot read the script"
chmod 644 "$work/ok.script"
"$sim" --assets= "$work/ok.script" >"$work/out" 2>"$work/err"; check empty-assets 2 $? "$work/err" "assets needs a value"
"$sim" --autoclose= "$work/ok.script" >"$work/out" 2>"$work/err"; check empty-autoclose 2 $? "$work/err" "autoclose needs a value"
"$sim" --assets "" "$work/ok.script" >"$work/out" 2>"$work/err"; check empty-assets-apart 2 $? "$work/err" "assets needs a value"
"$sim" --autoclose 0009007199254740991 "$work/ok.script" >"$work/out" 2>"$work/err"; check autoclose-largest 0 $?
"$sim" --autoclose 9007199254740992 "$work/ok.script" >"$work/out" 2>"$work/err"; check autoclose-too-large 2 $? "$work/err" "autoclose"

# Output that cannot be written: a full disk, a closed pipe (whether SIGPIPE
# kills or is ignored, the program says so and ends with status 3).
"$sim" "$work/ok.script" >/dev/full 2>"$work/err"; check full-disk 3 $? "$work/err" "cannot write"
for i in $(seq 1 400); do echo "$i dump"; done >"$work/dumps.script"
"$sim" "$work/dumps.script" 2>"$work/err" | head -c1 >/dev/null
check closed-pipe 3 "${PIPESTATUS[0]}" "$work/err" "cannot write"
(trap '' PIPE; "$sim" "$work/dumps.script" 2>"$work/err" | head -c1 >/dev/null; exit "${PIPESTATUS[0]}")
check closed-pipe-sigpipe-ignored 3 $? "$work/err" "cannot write"
"$sim" --help >/dev/full 2>"$work/err"; check help-to-full-disk 3 $? "$work/err" "cannot write"

printf '0 click Command1\n5 kick\n' >"$work/bad.script"
"$sim" "$work/bad.script" >"$work/out" 2>"$work/err"; check bad-script 2 $? "$work/err" "line 2"
[ -s "$work/out" ] && { echo "FAIL bad-script printed output"; failures=$((failures + 1)); }

# The default pictures folder is the program's own; "Start" lays out the scene.
printf '0 click Command1\n0 dump\n' | "$sim" >"$work/out" 2>"$work/err"
check start-and-dump 0 $? "$work/out" '"Image1":{"Left":136,"Top":182,'
grep -q '"Command1":{"Caption":"Start","Enabled":false}' "$work/out" ||
  { echo "FAIL start-and-dump: Command1 still enabled"; failures=$((failures + 1)); }
grep -q '"Image7":{"Left":-580,"Top":296,"Width":600,"Height":284,"Picture":"bg001.gif"}' "$work/out" ||
  { echo "FAIL start-and-dump: ground tile"; failures=$((failures + 1)); }

# Bad pictures: the whole of standard error is the heading and a line naming
# the file and why, and the run fails with status 1 before any output.
damage() {  # damage NAME HOW SENTENCE
  rm -rf "$work/pics"; cp -r "$pictures" "$work/pics"
  case $2 in
    missing) rm -f "$work/pics/$1" ;;
    empty) : >"$work/pics/$1" ;;
    truncated) head -c $(($(stat -c %s "$pictures/$1") / 2)) "$pictures/$1" >"$work/pics/$1" ;;
    wrong) printf 'GIF89a but not really a picture at all' >"$work/pics/$1" ;;
  esac
  printf '0 dump\n' | "$sim" --assets "$work/pics" >"$work/out" 2>"$work/err"
  check "picture-$2-$1" 1 $?
  local wanted
  wanted=$(printf 'torvin-sim: These pictures of the game are missing or unreadable:\n%s: %s' \
    "$work/pics/$1" "$3")
  [ "$(cat "$work/err")" = "$wanted" ] ||
    { echo "FAIL picture-$2-$1 said:"; cat "$work/err"; failures=$((failures + 1)); }
  [ -s "$work/out" ] && { echo "FAIL picture-$2 printed output"; failures=$((failures + 1)); }
}
damage 02/017.jpg missing "the file is missing"
damage bg006.gif empty "the file is empty"
damage 03/000.jpg truncated "the file is cut short"
damage bg001.gif truncated "the file is cut short"
damage 01/002.jpg wrong "a GIF picture, not the JPEG its name says"

echo "$failures failed"
[ "$failures" -eq 0 ]
