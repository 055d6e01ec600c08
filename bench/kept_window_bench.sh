#!/usr/bin/env bash
# The start after a torvin.conf that could hurt it, on this machine: for each
# case, the time to the first painted frame and the peak memory that
# `torvin --stats` counts, three runs each. Given two programs (an earlier
# build and this one), their runs are interleaved, on a 1280 x 1024 Xvfb.
#
#   bench/kept_window_bench.sh TORVIN [OTHER_TORVIN]
#
# The cases: no torvin.conf; the start after the player made the window
# 20000 x 20000 and closed it; a torvin.conf of 100 MB.
set -u
programs=("$@")
[ ${#programs[@]} -gt 0 ] || { echo "usage: $0 TORVIN [OTHER_TORVIN]" >&2; exit 2; }
work=$(mktemp -d)
# shellcheck source=../tests/support/test_lib.sh
source "$(dirname "$0")/../tests/support/test_lib.sh"
trap finish EXIT
need Xvfb xdotool
start_xvfb "$work" 1280x1024

prepare() {  # prepare TORVIN CASE: $XDG_CONFIG_HOME as the case leaves it
  rm -rf "$XDG_CONFIG_HOME"
  mkdir -p "$XDG_CONFIG_HOME/torvin"
  case $2 in
    resized)
      "$1" >/dev/null 2>&1 &
      game=$!
      local window
      window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Torvin$' | head -1)
      xdotool windowsize "$window" 20000 20000
      sleep 1
      kill "$game"
      wait "$game"
      game=
      ;;
    huge) head -c 100000000 /dev/zero | tr '\0' '#' >"$XDG_CONFIG_HOME/torvin/torvin.conf" ;;
  esac
}
for case in none resized huge; do
  for run in 1 2 3; do
    for torvin in "${programs[@]}"; do
      prepare "$torvin" "$case"
      timeout 60 "$torvin" --quit-after 1.5 --stats >"$work/stats" 2>/dev/null
      echo "$case, run $run, $torvin: exit $?," \
        "$(grep -E '^(first_frame_ms|peak_memory_mb):' "$work/stats" | tr '\n' ' ')"
    done
  done
done
