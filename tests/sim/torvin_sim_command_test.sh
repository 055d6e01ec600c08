#!/usr/bin/env bash
# torvin-sim as a player or a script uses it: options, exit statuses, messages,
# and bad pictures.
set -u
sim=$1
pictures=$(dirname "$sim")
work=$(mktemp -d)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT


"$sim" --help >"$work/out" 2>&1; expect help 0 $? "--autoclose" "$work/out"
"$sim" --version >"$work/out" 2>&1; expect version 0 $? "torvin-sim" "$work/out"
"$sim" --bogus </dev/null 2>"$work/err"; expect unknown-option 2 $? "unknown option" "$work/err"
"$sim" --autoclose soon </dev/null 2>"$work/err"; expect bad-autoclose 2 $? "autoclose" "$work/err"
"$sim" "$work/none.script" 2>"$work/err"; expect missing-script 2 $?
printf '0 click Command2\n100 dump\n' | "$sim" --autoclose=50 >"$work/out" 2>&1
expect option-with-equals 0 $? '"MessageBox":"Manual - A' "$work/out"

# A script that is endless, a folder, or not readable; options with an empty value.
timeout 10 "$sim" /dev/zero >"$work/out" 2>"$work/err"; expect endless-line 2 $? "line 1" "$work/err"
"$sim" "$work" >"$work/out" 2>"$work/err"; expect folder-script 2 $? "folder" "$work/err"
printf '0 dump\n' >"$work/ok.script"
chmod 755 "$work"; chmod 000 "$work/ok.script"
if [ "$(id -u)" -eq 0 ]; then
  setpriv --reuid=65534 --regid=65534 --clear-groups "$sim" "$work/ok.script" >"$work/out" 2>"$work/err"
else
  "$sim" "$work/ok.script" >"$work/out" 2>"$work/err"
fi
expect unreadable-script 2 $? "cannot read the script" "$work/err"
chmod 644 "$work/ok.script"
"$sim" --assets= "$work/ok.script" >"$work/out" 2>"$work/err"; expect empty-assets 2 $? "assets needs a value" "$work/err"
"$sim" --autoclose= "$work/ok.script" >"$work/out" 2>"$work/err"; expect empty-autoclose 2 $? "autoclose needs a value" "$work/err"
"$sim" --assets "" "$work/ok.script" >"$work/out" 2>"$work/err"; expect empty-assets-apart 2 $? "assets needs a value" "$work/err"
"$sim" --autoclose 0009007199254740991 "$work/ok.script" >"$work/out" 2>"$work/err"; expect autoclose-largest 0 $?
"$sim" --autoclose 9007199254740992 "$work/ok.script" >"$work/out" 2>"$work/err"; expect autoclose-too-large 2 $? "autoclose" "$work/err"

# Output that cannot be written: a full disk, a closed pipe (whether SIGPIPE
# kills or is ignored, the program says so and ends with status 3).
"$sim" "$work/ok.script" >/dev/full 2>"$work/err"; expect full-disk 3 $? "cannot write" "$work/err"
for i in $(seq 1 400); do echo "$i dump"; done >"$work/dumps.script"
"$sim" "$work/dumps.script" 2>"$work/err" | head -c1 >/dev/null
expect closed-pipe 3 "${PIPESTATUS[0]}" "cannot write" "$work/err"
(trap '' PIPE; "$sim" "$work/dumps.script" 2>"$work/err" | head -c1 >/dev/null; exit "${PIPESTATUS[0]}")
expect closed-pipe-sigpipe-ignored 3 $? "cannot write" "$work/err"
"$sim" --help >/dev/full 2>"$work/err"; expect help-to-full-disk 3 $? "cannot write" "$work/err"

printf '0 click Command1\n5 kick\n' >"$work/bad.script"
"$sim" "$work/bad.script" >"$work/out" 2>"$work/err"; expect bad-script 2 $? "line 2" "$work/err"
[ -s "$work/out" ] && fail "bad-script printed output"

# --frames DIR: a folder that cannot take the pictures is a bad command line,
# said before anything runs; a picture that cannot be written is output that
# failed (here a full disk, the frame's name leading to /dev/full).
frames=$work/frames
"$sim" --frames "$work/none" "$work/ok.script" >"$work/out" 2>"$work/err"
expect frames-missing 2 $? "cannot write frames in '$work/none': No such file or directory" "$work/err"
"$sim" --frames "$work/ok.script" "$work/ok.script" >"$work/out" 2>"$work/err"
expect frames-not-a-folder 2 $? "it is not a folder" "$work/err"
"$sim" --frames= "$work/ok.script" >"$work/out" 2>"$work/err"; expect frames-empty 2 $? "frames needs a value" "$work/err"
mkdir -p "$frames" && chmod 555 "$frames"
if [ "$(id -u)" -eq 0 ]; then
  setpriv --reuid=65534 --regid=65534 --clear-groups "$sim" --frames "$frames" "$work/ok.script" >"$work/out" 2>"$work/err"
else
  "$sim" --frames "$frames" "$work/ok.script" >"$work/out" 2>"$work/err"
fi
expect frames-not-writable 2 $? "cannot write frames in '$frames': Permission denied" "$work/err"
[ -s "$work/out" ] && fail "frames-not-writable printed output"
chmod 755 "$frames"
printf '0 click Command1\n100 dump\n200 dump\n' >"$work/two.script"
ln -s /dev/full "$frames/0000000000000200.png"
"$sim" --frames "$frames" "$work/two.script" >"$work/out" 2>"$work/err"
expect frames-full-disk 3 $? "cannot write the frame $frames/0000000000000200.png (No space left on device)" "$work/err"
[ "$(grep -c '"t":' "$work/out")" = 2 ] || fail "frames-full-disk: the dumps before it were not printed"
[ -e "$frames/0000000000000100.png" ] || fail "frames-full-disk: the frame before it is missing"
[ -L "$frames/0000000000000200.png" ] && fail "frames-full-disk: the cut frame is left"
"$sim" "$work/two.script" >"$work/plain" 2>"$work/err"
cmp -s "$work/out" "$work/plain" || fail "frames: the output differs from a run without --frames"

# The default pictures folder is the program's own; "Start" lays out the scene.
printf '0 click Command1\n0 dump\n' | "$sim" >"$work/out" 2>"$work/err"
expect start-and-dump 0 $? '"Image1":{"Left":136,"Top":182,' "$work/out"
grep -q '"Command1":{"Caption":"Start","Enabled":false}' "$work/out" ||
  fail "start-and-dump: Command1 still enabled"
grep -q '"Image7":{"Left":-580,"Top":296,"Width":600,"Height":284,"Picture":"bg001.gif"}' "$work/out" ||
  fail "start-and-dump: ground tile"

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
  expect "picture-$2-$1" 1 $?
  local wanted
  wanted=$(printf 'torvin-sim: These pictures of the game are missing or unreadable:\n%s: %s' \
    "$work/pics/$1" "$3")
  [ "$(cat "$work/err")" = "$wanted" ] || { fail "picture-$2-$1 said:"; cat "$work/err"; }
  [ -s "$work/out" ] && fail "picture-$2 printed output"
}
damage 02/017.jpg missing "the file is missing"
damage bg006.gif empty "the file is empty"
damage 03/000.jpg truncated "the file is cut short"
damage bg001.gif truncated "the file is cut short"
damage 01/002.jpg wrong "a GIF picture, not the JPEG its name says"

echo "$failures failed"
[ "$failures" -eq 0 ]
