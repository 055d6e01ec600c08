# Sourced by the scripts that run the real game: starts Xvfb on a free display.
#   start_xvfb WORK_DIR [WIDTHxHEIGHT]   sets $xvfb (its process) and exports DISPLAY
# The server keeps its settings (a keyboard layout set with setxkbmap) when its
# last client leaves, and the game finds no settings kept from earlier games: a
# new user's desktop.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp -noreset \
    3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || { echo "FAIL Xvfb did not start:"; cat "$1/xvfb.log"; exit 1; }
  export DISPLAY=:$(head -1 "$1/display")
  export XDG_CONFIG_HOME="$1/config"
  unset QT_QPA_PLATFORM
}
