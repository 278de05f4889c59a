#!/usr/bin/env bash
# Checks the product's layering by its includes: each folder under src/ may
# include only itself and the folders src/layers.txt lists for it (the table
# CMake links by), the portable files only their own folder, and no file a
# path with "..".
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../src"
declare -A may=()
while IFS=: read -r folder uses; do
  case "$folder" in '' | '#'*) continue ;; esac
  read -ra words <<<"$folder $uses"
  may[$folder]="${words[*]}"
done <layers.txt
bad=0
for file in $(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort); do
  folder=${file%%/*}
  allowed=${may[$folder]:-}
  # The portable core builds for the host without Windows: its own folder only.
  case "$file" in *_win.cpp | *_win.h | win/*) ;; *) allowed=$folder ;; esac
  while IFS= read -r included; do
    target=${included%%/*}
    if [[ "$included" == *..* ]] || [[ "$included" != */* ]] || [[ " $allowed " != *" $target "* ]]; then
      echo "src/$file includes \"$included\" (it may include: $allowed)"
      bad=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done
[ "$bad" -eq 0 ] && echo "layering: every include is allowed"
exit "$bad"
