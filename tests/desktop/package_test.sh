#!/usr/bin/env bash
# The Debian package that cpack -G DEB makes from the build folder: its name,
# section and dependencies, and, unpacked, everything a desktop expects under
# /usr; the game in it finds its pictures and runs.
#
#   package_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
work=$scratch
# shellcheck source=/dev/null
source "$(dirname "$0")/test_lib.sh"
trap finish EXIT
out=$scratch/out

need cpack dpkg-deb dpkg-shlibdeps
# shellcheck source=/dev/null
source "$(dirname "$0")/installed_tree.sh"

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
grep -qx './usr/bin/torvin' "$scratch/contents" || fail "the package has no /usr/bin/torvin"
if grep -Ev '^\./(usr/((bin|share)/.*)?)?$' "$scratch/contents"; then
  fail "files outside /usr/bin and /usr/share (above)"
fi

dpkg-deb -x "$deb" "$scratch/root" || { echo "FAIL dpkg-deb -x"; exit 1; }
check_tree "$scratch/root/usr"
file -b "$scratch/root/usr/bin/torvin" | grep -q 'stripped' && ! file -b "$scratch/root/usr/bin/torvin" |
  grep -q 'not stripped' || fail "the programs are not stripped"

export XDG_CONFIG_HOME=$scratch/home
"$scratch/root/usr/bin/torvin" --version >"$out" 2>&1 && grep -q "^torvin $(field Version)\$" "$out" ||
  fail "the packaged torvin --version: $(cat "$out")"
QT_QPA_PLATFORM=offscreen timeout 2 "$scratch/root/usr/bin/torvin" >"$out" 2>&1
status=$?
[ "$status" -eq 124 ] && ok "the packaged game finds its pictures and runs" ||
  { fail "the packaged game ended with status $status:"; cat "$out"; }

[ "$failures" -eq 0 ]
