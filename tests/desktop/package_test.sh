#!/usr/bin/env bash
# The Debian package that cpack -G DEB makes from the build folder: its name,
# section and dependencies, the programs in /usr/games, no error from lintian
# (Debian's own checker; its warnings are printed), and, unpacked, everything a
# desktop expects under /usr with the copyright file; the game in it finds its
# pictures and runs.
#
#   package_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
work=$scratch
# shellcheck source=../support/test_lib.sh
source "$(dirname "$0")/../support/test_lib.sh"
trap finish EXIT
out=$scratch/out

need cpack dpkg-deb dpkg-shlibdeps lintian
# shellcheck source=../support/installed_tree.sh
source "$(dirname "$0")/../support/installed_tree.sh"

(cd "$build" && cpack -G DEB -B "$scratch/cpack") >"$out" 2>&1 || { echo "FAIL cpack:"; cat "$out"; exit 1; }
deb=$(find "$scratch/cpack" -maxdepth 1 -name 'torvin_*.deb' | head -1)
[ -n "$deb" ] || { echo "FAIL no torvin_*.deb"; exit 1; }
ok "cpack made $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = torvin ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libxkbcommon0 libxkbcommon-x11-0 \
  libjpeg62-turbo libgif7; do
  echo "$depends" | grep -Eq "(^|, )$library( |,|$)" || fail "Depends has no $library: $depends"
done
ok "depends on the libraries the programs link"
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$scratch/contents"
# A build folder configured before games was the default keeps bin in its cache.
grep -qx './usr/games/torvin' "$scratch/contents" ||
  fail "the package has no /usr/games/torvin (configure with -DCMAKE_INSTALL_BINDIR=games)"
if grep -Ev '^\./(usr/((games|share)/.*)?)?$' "$scratch/contents"; then
  fail "files outside /usr/games and /usr/share (above)"
fi

# Errors fail the test; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$out" 2>&1
status=$?
sed -n 's/^W: /note lintian warns: /p' "$out"
[ "$status" -eq 0 ] && ! grep -q '^E: ' "$out" && ok "lintian finds no error" ||
  { fail "lintian (status $status):"; cat "$out"; }

dpkg-deb -x "$deb" "$scratch/root" || { echo "FAIL dpkg-deb -x"; exit 1; }
check_tree "$scratch/root/usr" games
file -b "$scratch/root/usr/games/torvin" | grep -q 'stripped' && ! file -b "$scratch/root/usr/games/torvin" |
  grep -q 'not stripped' || fail "the programs are not stripped"

export XDG_CONFIG_HOME=$scratch/home
"$scratch/root/usr/games/torvin" --version >"$out" 2>&1 && grep -q "^torvin $(field Version)\$" "$out" ||
  fail "the packaged torvin --version: $(cat "$out")"
QT_QPA_PLATFORM=offscreen timeout 2 "$scratch/root/usr/games/torvin" >"$out" 2>&1
status=$?
[ "$status" -eq 124 ] && ok "the packaged game finds its pictures and runs" ||
  { fail "the packaged game ended with status $status:"; cat "$out"; }

[ "$failures" -eq 0 ]
