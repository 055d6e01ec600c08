#!/usr/bin/env bash
# The game started where it cannot open its window: with no display, with a
# display where no X server runs, with one that refuses the connection, and on
# a window system Qt cannot start. Each time: one line on standard error that
# names the problem, and exit status 1. --help and --version need no display.
#
#   no_display_test.sh path/to/torvin
set -u
torvin=$1
work=$(mktemp -d)
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT

# expect_error NAME PATTERN [VAR=VALUE...] [-- ARGUMENT...]: the game, started
# with these variables and arguments, ends with 1 and one line matching PATTERN.
expect_error() {
  local name=$1 pattern=$2 variables=() arguments=()
  shift 2
  while [ $# -gt 0 ] && [ "$1" != -- ]; do variables+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  arguments=("$@")
  env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u QT_QPA_PLATFORM "${variables[@]}" \
    timeout 20 "$torvin" "${arguments[@]}" >"$work/out" 2>"$work/err"
  local status=$? lines
  lines=$(wc -l <"$work/err")
  if [ "$status" -eq 1 ] && [ "$lines" -eq 1 ] && grep -Eq "$pattern" "$work/err"; then
    ok "$name: $(cat "$work/err")"
  else
    fail "$name: status $status, $lines lines on standard error:"
    cat "$work/err"
  fi
}

expect_error "no DISPLAY" '^torvin: .*DISPLAY is not set'
expect_error "no X server" "^torvin: cannot open display ':97': no X server" DISPLAY=:97
expect_error "not a display name" "^torvin: cannot open display 'nowhere'" DISPLAY=nowhere
expect_error "-display on the command line" "^torvin: cannot open display ':98'" \
  DISPLAY=:0 -- -display :98 --stats
expect_error "no Wayland compositor" '^torvin: the window system could not be started: .*wayland' \
  QT_QPA_PLATFORM=wayland

# An X server that lets in only the holders of its cookie.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
xauth -q -f "$work/auth" add :0 . "$cookie" 2>/dev/null
Xvfb -displayfd 3 -auth "$work/auth" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
display=:$(head -1 "$work/display")
expect_error "a display that refuses" \
  "^torvin: cannot open display '$display': the X server refused the connection: Authorization" \
  DISPLAY="$display" XAUTHORITY="$work/nobody"

for option in --help -h --version -v; do
  env -u DISPLAY "$torvin" "$option" >"$work/out" 2>"$work/err"
  status=$?
  if [ "$status" -eq 0 ] && [ -s "$work/out" ] && [ ! -s "$work/err" ]; then
    ok "$option without a display"
  else
    fail "$option without a display: status $status"
    cat "$work/err"
  fi
done

[ "$failures" -eq 0 ]
