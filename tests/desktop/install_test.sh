#!/usr/bin/env bash
# The installed game: the program, its pictures under share/torvin where it
# finds them, the menu entry and the icon; --help and --version.
#
#   install_test.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL cmake --install"; exit 1; }
for file in bin/torvin share/applications/torvin.desktop share/torvin/bg001.gif \
  share/torvin/01/002.jpg share/torvin/03/031.jpg; do
  [ -f "$prefix/$file" ] && ok "$file" || fail "$file is not installed"
done
grep -q '^Exec=torvin$' "$prefix/share/applications/torvin.desktop" || fail "the menu entry's Exec"
if [ -f "$build/bin/torvin.png" ]; then
  [ -f "$prefix/share/pixmaps/torvin.png" ] && ok "icon" || fail "the icon is not installed"
fi

"$prefix/bin/torvin" --help >"$prefix/out" 2>&1 && grep -q 'Usage: torvin' "$prefix/out" &&
  ok "--help" || fail "--help"
"$prefix/bin/torvin" --version >"$prefix/out" 2>&1 && grep -q '^torvin [0-9]' "$prefix/out" &&
  ok "--version" || fail "--version"

# The installed game finds its pictures: it loads and keeps running.
QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/bin/torvin" >"$prefix/out" 2>&1
status=$?
[ "$status" -eq 124 ] && ok "the installed game runs" ||
  { fail "the installed game ended with status $status:"; cat "$prefix/out"; }

[ "$failures" -eq 0 ]
