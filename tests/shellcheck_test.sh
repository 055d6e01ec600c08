#!/usr/bin/env bash
# Every shell script of the project passes shellcheck (its settings in
# .shellcheckrc): the files named *.sh and those that start as a shell script.
set -euo pipefail
cd "$1"
command -v shellcheck >/dev/null || { echo "shellcheck is missing: run scripts/deps.sh"; exit 1; }
scripts=()
while IFS= read -r -d '' file; do
  case $file in
    *.sh) scripts+=("$file") ;;
    *) head -n1 "$file" | grep -qE '^#!.*[/ ](ba)?sh$' && scripts+=("$file") ;;
  esac
done < <(git ls-files -z)
echo "shellcheck: ${#scripts[@]} scripts"
shellcheck "${scripts[@]}"
