#!/usr/bin/env bash
# The installed game, in a prefix other than the one it was built for (with a
# space in its name): the programs in the build's CMAKE_INSTALL_BINDIR (games
# unless the build chose otherwise), the pictures under share/torvin where they
# find them, the menu entry and the AppStream metadata (valid for the desktop's
# and the software centre's own checkers), the icon in every size of the icon
# theme, manual pages that render cleanly and name every option the programs
# know, the copyright file and the changelog; --help and --version.
#
#   install_test.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/torvin install.XXXXXX")
work=$prefix
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL cmake --install"; exit 1; }
out=$prefix/out
scratch=$prefix
mkdir -p "$prefix/home"
export XDG_CONFIG_HOME=$prefix/home

bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
# shellcheck source=../support/installed_tree.sh
source "$(dirname "$0")/../support/installed_tree.sh"
check_tree "$prefix" "$bindir"

"$prefix/$bindir/torvin" --help >"$out" 2>&1 && grep -q 'Usage: torvin' "$out" &&
  ok "--help" || fail "--help"
"$prefix/$bindir/torvin" --version >"$out" 2>&1 && grep -q '^torvin [0-9]' "$out" &&
  ok "--version" || fail "--version"

# The installed game finds its pictures: it loads and keeps running.
QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/$bindir/torvin" >"$out" 2>&1
status=$?
[ "$status" -eq 124 ] && ok "the installed game runs" ||
  { fail "the installed game ended with status $status:"; cat "$out"; }
echo '0 dump' | "$prefix/$bindir/torvin-sim" >"$out" 2>&1 &&
  grep -q "\"appPath\":\"$prefix/share/torvin\"" "$out" &&
  ok "the installed simulator finds the pictures" ||
  { fail "the installed simulator:"; head -c 300 "$out"; }

[ "$failures" -eq 0 ]
