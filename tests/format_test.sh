#!/usr/bin/env bash
# Every C++ file of the project is formatted as .clang-format says.
set -euo pipefail
cd "$1"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
