#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted as .clang-format says,
# with the clang-format the style is pinned to (Debian 12's, version 14):
# another version formats some constructs differently, so without it the
# check is skipped, saying why (exit 77).
#   check-format.sh [ROOT]      lists the files that differ; exit 1 if any
#   check-format.sh --fix ROOT  formats them in place
set -euo pipefail
fix=0
if [ "${1:-}" = --fix ]; then fix=1; shift; fi
root=$(cd "${1:-.}" && pwd)
formatter=$(command -v clang-format-14 || true)
if [ -z "$formatter" ]; then
  echo "test skipped: clang-format-14 (Debian 12's clang-format) is not installed; ./run installs it"
  exit 77
fi
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
fi
if [ "$fix" = 1 ]; then
  "$formatter" -i "${files[@]}"
  exit 0
fi
# One run for all files; each place that differs is a line "FILE:LINE:COL: error: ...".
mapfile -t bad < <("$formatter" --dry-run --Werror "${files[@]}" 2>&1 |
                   sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted as .clang-format says: %s\n' "${bad[@]}"
  echo "fix with: tools/check-format.sh --fix ."
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
