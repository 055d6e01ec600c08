# Sourced by the install and package tests: checks an installed tree.
#   check_tree ROOT   ROOT is the prefix (/usr in a package); needs test_lib.sh,
#                     $out (a scratch file) and $scratch (a scratch folder)
need desktop-file-validate appstreamcli groff file

# check_tree ROOT: everything a desktop expects, under the prefix ROOT.
check_tree() {
  local root=$1 file size metainfo page program option before
  for file in bin/torvin bin/torvin-sim share/torvin/bg001.gif share/torvin/01/002.jpg \
    share/torvin/03/031.jpg share/applications/torvin.desktop; do
    [ -f "$root/$file" ] || fail "$file is not installed"
  done

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
    for option in $("$root/bin/$program" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
      grep -q -- "$option" "$scratch/$program.txt" || fail "$program.6 does not name $option"
    done
    grep -q 'EXIT STATUS' "$scratch/$program.txt" || fail "$program.6 gives no exit statuses"
  done
  [ "$failures" -eq "$before" ] && ok "manual pages, with every option and the exit statuses"
}

