# shellcheck shell=bash
# Sourced by the shell tests and benchmarks that run the real game: reporting,
# the tools a test needs, an X server of its own and the clean-up.
#
# A test sets $work (its folder) and, while they run, $game, $wm and $xvfb (the
# processes it started); `trap finish EXIT` ends them and removes $work, unless
# a test failed and has $shots (its screenshots) to show.
failures=0
game=
wm=
xvfb=

fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }

# expect WHAT STATUS GOT [PATTERN [FILE]]: ok when a program ended with exit
# status STATUS (it ended with GOT) and FILE (its standard error, $work/err)
# holds PATTERN; fail with what it said otherwise.
expect() {
  local what=$1 want=$2 got=$3 pattern=${4:-} file=${5:-$work/err}
  if [ "$got" != "$want" ]; then
    fail "$what: exit status $got, wanted $want; it said: $(head -c 400 "$file")"
  elif [ -n "$pattern" ] && ! grep -q -- "$pattern" "$file"; then
    fail "$what: '$pattern' not in: $(head -c 400 "$file")"
  else
    ok "$what"
    return 0
  fi
  return 1
}

# need TOOL...: the test cannot run without these.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL $tool is missing: run scripts/deps.sh"; exit 1; }
  done
}

finish() {
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  if [ "$failures" -gt 0 ] && [ -n "${shots:-}" ]; then
    echo "screenshots kept in $shots"
  else
    rm -rf "$work"
  fi
}

# start_xvfb WORK_DIR [WIDTHxHEIGHT]: an X server on a free display; sets $xvfb
# and exports DISPLAY. The server keeps its settings (a keyboard layout set with
# setxkbmap) when its last client leaves, and the game finds no settings kept
# from earlier games: a new user's desktop.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp -noreset \
    3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || { echo "FAIL Xvfb did not start:"; cat "$1/xvfb.log"; exit 1; }
  DISPLAY=:$(head -1 "$1/display")
  export DISPLAY
  export XDG_CONFIG_HOME="$1/config"
  unset QT_QPA_PLATFORM
}

# start_openbox WORK_DIR: the openbox window manager on the X server of
# start_xvfb, ready to manage windows; sets $wm.
start_openbox() {
  openbox >"$1/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.05; done
  wmctrl -m >/dev/null 2>&1 || { echo "FAIL openbox did not start"; cat "$1/openbox.log"; exit 1; }
}

# until_true SECONDS COMMAND...: polls COMMAND until it succeeds.
until_true() {
  local tries=$(($1 * 20))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.05; done
  return 1
}
