# Sourced by the scripts that run the real game: starts Xvfb on a free display.
#   start_xvfb WORK_DIR   sets $xvfb (its process) and exports DISPLAY
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || { echo "FAIL Xvfb did not start:"; cat "$1/xvfb.log"; exit 1; }
  export DISPLAY=:$(head -1 "$1/display")
  unset QT_QPA_PLATFORM
}
