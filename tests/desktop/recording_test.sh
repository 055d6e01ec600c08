#!/usr/bin/env bash
# The window's recordings and replays, unattended on Qt's offscreen platform:
# a recording is written as the game goes and torvin-sim plays it to the state
# the window ended in; a replay plays a script as torvin-sim does; a file that
# cannot be written or a script that cannot be read is refused at the start
# (status 2), with the same sentence as torvin-sim's; output that cannot be
# written later (a full disk, a closed pipe) is said and ends with status 3,
# and a recording is still a script up to its last whole line.
#
#   recording_test.sh path/to/torvin
set -u
torvin=$1
bin=$(cd "$(dirname "$torvin")" && pwd)
sim="$bin/torvin-sim"
work=$(mktemp -d)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT
export QT_QPA_PLATFORM=offscreen

# Refused at the start, with exit status 2 and a line saying why.
refused() {  # refused WHAT WORD ARGS...: the game exits 2 naming WORD on stderr
  local what=$1 word=$2
  shift 2
  timeout 20 "$torvin" "$@" >"$work/out" 2>"$work/err"
  local status=$?
  expect "$what: exit 2, $(grep -m1 "^torvin:" "$work/err")" 2 $status "$word"
}
mkdir "$work/folder"
refused "a recording in a missing folder" "$work/none/run.script" --record "$work/none/run.script"
refused "a recording onto a folder" "$work/folder" --record "$work/folder"
refused "a recording onto a full disk" "No space left" --record /dev/full
mkfifo "$work/fifo"
refused "a recording into a named pipe nobody reads" "nobody reads" --record "$work/fifo"
printf '0 click Command1\n100 jump\n' >"$work/bad.script"
refused "a replay with a bad line" "line 2" --replay "$work/bad.script"
printf '200 key H\n100 key A\n' >"$work/backwards.script"
refused "a replay whose times go back" "line 2" --replay "$work/backwards.script"
refused "a replay of a missing script" "$work/none.script" --replay "$work/none.script"
refused "--record with no file" "--record" --record

# A replay is read by torvin-sim's own reader: what it refuses, the window
# refuses with the same sentence. SCRIPT and the standard input of each row.
while IFS='|' read -r what script input; do
  timeout 20 "$torvin" --replay "$script" <"$input" >"$work/out" 2>"$work/err"
  status=$?
  timeout 20 "$sim" "$script" <"$input" >"$work/out" 2>"$work/sim.err"
  said=$(sed -n 's/^torvin-sim: //p' "$work/sim.err")
  expect "a replay of $what: exit 2, as torvin-sim: $said" 2 $status "^torvin: $said$"
done <<TABLE
a folder|$work/folder|/dev/null
/proc/self/mem|/proc/self/mem|/dev/null
/dev/stdin that is a folder|/dev/stdin|$work/folder
an endless line|/dev/zero|/dev/null
TABLE

# A script without a line to play ends at once, as in torvin-sim, with the
# state after the window's load.
printf '# only a comment\n\n' >"$work/comment-only.script"
: >"$work/empty.script"
for script in empty comment-only; do
  timeout 10 "$torvin" --replay "$work/$script.script" --dump-at-exit >"$work/out" 2>"$work/err"
  expect "a replay of the $script script ends at once" 0 $? && [ "$(wc -l <"$work/out")" -eq 1 ] ||
    fail "a replay of the $script script printed $(wc -l <"$work/out") lines, not the last state"
done

# Two games do not record into one file: the second is refused, the first
# records on.
"$torvin" --quit-after 4 --record "$work/two.script" >/dev/null 2>"$work/first.err" &
game=$!
for _ in $(seq 100); do [ -s "$work/two.script" ] && break; sleep 0.05; done
refused "a second game recording into the same file" "another game" --record "$work/two.script"
wait "$game"
expect "the first game records on" 0 $? "" "$work/first.err"
game=
tail -1 "$work/two.script" | grep -q ' dump$' || fail "the first game's recording: $(cat "$work/two.script")"

# Output that goes away while the game runs: it says so, plays on, and ends
# with status 3; what it could write is whole lines. Each row: what, then the
# command line, with OUT for where its standard output goes.
printf '0 click Command1\n' >"$work/keys.script"
for i in $(seq 1 400); do echo "$((100 + i * 2)) key 72"; echo "$((101 + i * 2)) dump"; done >>"$work/keys.script"
lost_output() {  # lost_output WHAT OUT ARGS...: the game's standard output on OUT (- closed)
  local what=$1 out=$2 status
  shift 2
  if [ "$out" = - ]; then
    timeout 20 "$torvin" "$@" >&- 2>"$work/err"
  else
    timeout 20 "$torvin" "$@" >"$out" 2>"$work/err"
  fi
  status=$?
  expect "$what: exit 3, $(grep -m1 '^torvin:' "$work/err")" 3 "$status" "cannot write"
}
lost_output "--stats onto a full disk" /dev/full --quit-after 0.3 --stats
lost_output "--stats into a closed standard output" - --quit-after 0.3 --stats
lost_output "--dump-at-exit into a closed standard output" - --quit-after 0.3 --dump-at-exit
lost_output "a replay's dumps onto a full disk" /dev/full --replay "$work/keys.script"
timeout 20 "$torvin" --quit-after 0.5 --dump-at-exit 2>"$work/err" | true
expect "--dump-at-exit into a pipe whose reader left" 3 "${PIPESTATUS[0]}" "Broken pipe"
timeout 20 "$torvin" --replay "$work/keys.script" 2>"$work/err" | head -c 100 >/dev/null
expect "a replay's dumps into a pipe whose reader left" 3 "${PIPESTATUS[0]}" "Broken pipe"
timeout 20 "$torvin" --replay "$work/keys.script" --record /dev/stdout 2>"$work/err" | head -n 3 >/dev/null
expect "a recording into standard output whose reader left" 3 "${PIPESTATUS[0]}" "Broken pipe"
# A named pipe whose reader leaves: the game plays on to its end and still
# prints its figures.
(head -c 200 "$work/fifo" >/dev/null) &
sleep 0.3
timeout 20 "$torvin" --replay "$work/keys.script" --record "$work/fifo" --stats >"$work/stats" 2>"$work/err"
expect "a recording into a named pipe whose reader left" 3 $? "recording $work/fifo (Broken pipe)" &&
  grep -q '^keys: 400$' "$work/stats" || fail "after the pipe went: $(cat "$work/stats")"

# With standard error closed, what the game and Qt say does not go into the
# recording (which would take standard error's place).
timeout 20 "$torvin" --replay "$work/keys.script" --record "$work/quiet.script" >/dev/null 2>&-
expect "a recording with standard error closed" 0 $? &&
  "$sim" --assets "$bin" "$work/quiet.script" >/dev/null 2>"$work/err"
expect "torvin-sim takes that recording" 0 $?

# A full disk in the middle of a recording: a file system of 64 KiB, all but
# one page of it taken. The recording is cut back to its last whole line and
# torvin-sim takes it.
mkdir "$work/small"
if mount -t tmpfs -o size=64k tmpfs "$work/small" 2>/dev/null; then
  head -c $((15 * 4096)) /dev/zero >"$work/small/filler"
  timeout 30 "$torvin" --replay "$work/keys.script" --record "$work/small/run.script" \
    >/dev/null 2>"$work/err"
  expect "a recording onto a disk that fills up: exit 3" 3 $? "last whole line"
  "$sim" --assets "$bin" "$work/small/run.script" >/dev/null 2>"$work/sim.err"
  expect "torvin-sim takes what was recorded ($(wc -l <"$work/small/run.script") lines)" 0 $? "" \
    "$work/sim.err"
  [ "$(tail -c 1 "$work/small/run.script" | od -An -c | tr -d ' ')" = '\n' ] ||
    fail "the recording does not end with a whole line"
  umount "$work/small"
else
  echo "skip a disk that fills up during a recording: cannot mount a small tmpfs (not root)"
fi

# A replay prints what torvin-sim prints for the same script, at real speed.
cat >"$work/play.script" <<'SCRIPT'
0 click Command1
300 key H
420 key Q
700 dump
800 click Command2
900 close
950 dump
1000 close
1100 close
1200 key A
1500 dump
SCRIPT
"$sim" --assets "$bin" "$work/play.script" >"$work/sim.json"
start=$(date +%s%N)
timeout 20 "$torvin" --replay "$work/play.script" >"$work/replay.json" 2>"$work/err"
status=$?
took=$((($(date +%s%N) - start) / 1000000))
if [ "$status" -eq 124 ]; then
  fail "a replay did not end with its last line (still running after 20 s)"
elif [ "$status" -eq 0 ] && cmp -s "$work/sim.json" "$work/replay.json"; then
  ok "a replay prints torvin-sim's dumps ($took ms for a 1.5 s script)"
else
  fail "a replay: status $status, output differs from torvin-sim's:"
  diff <(tr ',' '\n' <"$work/sim.json") <(tr ',' '\n' <"$work/replay.json") | head
fi
[ "$took" -ge 1500 ] || fail "a replay of 1.5 s took $took ms: not at real speed"

# A recording is on the disk as the game goes (here, while it replays a
# script), so a game killed outright loses nothing it handled.
printf '0 click Command1\n100 key H\n150 key 65\n60000 end\n' >"$work/long.script"
"$torvin" --replay "$work/long.script" --record "$work/killed.script" >/dev/null 2>&1 &
game=$!
sleep 1.5
kill -9 "$game" 2>/dev/null
wait "$game" 2>/dev/null
game=
if grep -q '^0 click Command1$' "$work/killed.script" && grep -q '^100 key 72$' "$work/killed.script" &&
  grep -q '^150 key 65$' "$work/killed.script"; then
  ok "a killed game's recording holds what it handled"
else
  fail "a killed game's recording: $(cat "$work/killed.script")"
fi

# The game's end (--quit-after, SIGTERM): the recording's last dump, played by
# torvin-sim, is the state --dump-at-exit printed.
ends_as_recorded() {  # ends_as_recorded WHAT: after the game in $work/end.*
  local replayed
  replayed=$("$sim" --assets "$bin" "$work/end.script" | tail -1)
  if [ -s "$work/end.json" ] && [ "$replayed" = "$(cat "$work/end.json")" ] &&
    tail -1 "$work/end.script" | grep -q ' dump$'; then
    ok "$1: torvin-sim replays the recording to the last state"
  else
    fail "$1: recording $(cat "$work/end.script"), at exit $(head -c 300 "$work/end.json")"
  fi
}
timeout 20 "$torvin" --quit-after 1.2 --replay "$work/long.script" --record "$work/end.script" \
  --dump-at-exit >"$work/end.json" 2>"$work/err" || fail "--quit-after: status $?"
ends_as_recorded "--quit-after"
"$torvin" --record "$work/end.script" --dump-at-exit >"$work/end.json" 2>"$work/err" &
game=$!
sleep 1
kill -TERM "$game"
wait "$game"
status=$?
game=
[ "$status" -eq 0 ] || fail "SIGTERM: status $status"
ends_as_recorded "SIGTERM"

[ "$failures" -eq 0 ]
