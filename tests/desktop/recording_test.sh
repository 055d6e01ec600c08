#!/usr/bin/env bash
# The window's recordings and replays, unattended on Qt's offscreen platform:
# a recording is written as the game goes and torvin-sim plays it to the state
# the window ended in; a replay plays a script as torvin-sim does; a file that
# cannot be written or a script that cannot be read is refused at the start.
#
#   recording_test.sh path/to/torvin
set -u
torvin=$1
bin=$(cd "$(dirname "$torvin")" && pwd)
sim="$bin/torvin-sim"
work=$(mktemp -d)
# shellcheck source=/dev/null
source "$(dirname "$0")/test_lib.sh"
trap finish EXIT
export QT_QPA_PLATFORM=offscreen

# Refused at the start, with exit status 2 and a line saying why.
refused() {  # refused WHAT WORD ARGS...: the game exits 2 naming WORD on stderr
  local what=$1 word=$2
  shift 2
  timeout 20 "$torvin" "$@" >"$work/out" 2>"$work/err"
  local status=$?
  if [ "$status" -eq 2 ] && grep -q -- "$word" "$work/err"; then
    ok "$what: exit 2, $(grep -m1 "^torvin:" "$work/err")"
  else
    fail "$what: status $status, standard error: $(cat "$work/err")"
  fi
}
mkdir "$work/folder"
refused "a recording in a missing folder" "$work/none/run.script" --record "$work/none/run.script"
refused "a recording onto a folder" "$work/folder" --record "$work/folder"
printf '0 click Command1\n100 jump\n' >"$work/bad.script"
refused "a replay with a bad line" "line 2" --replay "$work/bad.script"
printf '200 key H\n100 key A\n' >"$work/backwards.script"
refused "a replay whose times go back" "line 2" --replay "$work/backwards.script"
refused "a replay of a missing script" "$work/none.script" --replay "$work/none.script"
refused "--record with no file" "--record" --record

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
