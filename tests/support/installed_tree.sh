# shellcheck shell=bash disable=SC2154
# Sourced by the install and package tests: checks an installed tree.
#   check_tree ROOT BINDIR   ROOT is the prefix (/usr in a package), BINDIR the
#                            programs' folder in it; needs test_lib.sh, $out (a
#                            scratch file) and $scratch (a scratch folder)
#                            (the sourcing test's: shellcheck does not see them)
need desktop-file-validate appstreamcli groff file dpkg-parsechangelog
licence=$(dirname "${BASH_SOURCE[0]}")/../../LICENSE

# check_tree ROOT BINDIR: everything a desktop expects, under the prefix ROOT.
check_tree() {
  local root=$1 bin=$1/$2 version file size metainfo page program option before
  for file in "$2/torvin" "$2/torvin-sim" share/torvin/bg001.gif share/torvin/01/002.jpg \
    share/torvin/03/031.jpg share/applications/torvin.desktop share/doc/torvin/copyright \
    share/doc/torvin/changelog.gz; do
    [ -f "$root/$file" ] || fail "$file is not installed"
  done
  check_copyright "$root/share/doc/torvin/copyright"
  zcat "$root/share/doc/torvin/changelog.gz" >"$scratch/changelog" 2>/dev/null
  version=$("$bin/torvin" --version | cut -d' ' -f2)
  [ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version 2>&1)" = "$version" ] ||
    fail "the changelog's last entry is not for version $version"

  desktop-file-validate "$root/share/applications/torvin.desktop" >"$out" 2>&1 &&
    ok "the menu entry is valid" || { fail "the menu entry:"; cat "$out"; }
  grep -q '^Exec=torvin$' "$root/share/applications/torvin.desktop" || fail "the menu entry's Exec"
  grep -q '^Icon=torvin$' "$root/share/applications/torvin.desktop" || fail "the menu entry's Icon"

  metainfo=$(find "$root/share/metainfo" -name '*.metainfo.xml' 2>/dev/null | head -1)
  if [ -z "$metainfo" ]; then
    fail "no AppStream metadata in share/metainfo"
  else
    appstreamcli validate --no-net "$metainfo" >"$out" 2>&1 &&
      ok "the AppStream metadata is valid" || { fail "the AppStream metadata:"; cat "$out"; }
    grep -q '<launchable type="desktop-id">torvin.desktop</launchable>' "$metainfo" ||
      fail "the metadata does not launch torvin.desktop"
    grep -q '<screenshot' "$metainfo" && grep -q '<release ' "$metainfo" ||
      fail "the metadata has no screenshot or no release"
    grep -q '<project_license>MIT</project_license>' "$metainfo" ||
      fail "the metadata does not give the licence of LICENSE"
  fi

  before=$failures
  for size in 16 24 32 48 64 128 256; do
    file=$root/share/icons/hicolor/${size}x${size}/apps/torvin.png
    file -b "$file" 2>/dev/null | grep -q "^PNG image data, $size x $size," ||
      fail "no ${size}x${size} PNG icon in the hicolor theme"
  done
  [ "$failures" -eq "$before" ] && ok "icons in every size"

  before=$failures
  for program in torvin torvin-sim; do
    page=$root/share/man/man6/$program.6.gz
    [ -f "$page" ] || { fail "no manual page for $program"; continue; }
    zcat "$page" | groff -man -ww -z -Tutf8 >"$out" 2>&1
    [ -s "$out" ] && { fail "$program.6 has warnings:"; cat "$out"; }
    zcat "$page" | groff -man -Tutf8 -P-cbou >"$scratch/$program.txt" 2>/dev/null
    # Every option the program's help names is in its page.
    for option in $("$bin/$program" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
      grep -q -- "$option" "$scratch/$program.txt" || fail "$program.6 does not name $option"
    done
    grep -q 'EXIT STATUS' "$scratch/$program.txt" || fail "$program.6 gives no exit statuses"
  done
  [ "$failures" -eq "$before" ] && ok "manual pages, with every option and the exit statuses"
}


# check_copyright FILE: the machine-readable copyright file gives every file the
# copyright holders and the licence text of LICENSE.
check_copyright() {
  local file=$1 holders name
  head -1 "$file" 2>/dev/null | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    { fail "$file is not in the machine-readable format"; return; }
  holders=$(awk '/^Files: \*$/ { p = 1 } p && sub(/^Copyright: /, "") { print; exit }' "$file")
  name=$(awk '/^Files: \*$/ { p = 1 } p && sub(/^License: /, "") { print; exit }' "$file")
  grep -qx "Copyright (c) $holders" "$licence" ||
    fail "the copyright file's holders for every file are not those of LICENSE: '$holders'"
  # The licence's own paragraph, its lines unindented and its "." lines blank.
  awk -v head="License: $name" 'prev == "" && $0 == head { text = 1 } { prev = $0 }
    text && sub(/^ /, "") { print ($0 == "." ? "" : $0) } text && /^$/ { exit }' "$file" >"$scratch/licence"
  sed -n '/^Permission/,$p' "$licence" | cmp -s - "$scratch/licence" &&
    ok "the copyright file gives every file the licence of LICENSE ($name)" ||
    fail "the copyright file has not the text of LICENSE for its licence '$name'"
}
