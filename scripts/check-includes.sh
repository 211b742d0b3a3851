#!/usr/bin/env bash
# Every include of the program runs downward: a folder includes only
# folders below it in this order (and itself). Counts the include lines
# between folders and fails on any that runs upward.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(platform controls settings geometry scan ocr print backdrop sheetscan calibration coverage areas app sheet style)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
declare -A arrows
upward=0
while IFS= read -r file; do
  from=${file%%/*}
  [ -n "${rank[$from]+x}" ] || continue
  while IFS= read -r to; do
    [ "$to" = "$from" ] && continue
    [ -n "${rank[$to]+x}" ] || continue
    arrows["$from -> $to"]=$((${arrows["$from -> $to"]:-0} + 1))
    if ((rank[$to] > rank[$from])); then
      echo "upward: $file includes $to/" >&2
      upward=$((upward + 1))
    fi
  done < <(sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h' | grep -v -E '^(tests|bench|tools)/')
for arrow in "${!arrows[@]}"; do echo "${arrows[$arrow]} $arrow"; done | sort -k2
echo "$upward include lines run upward (order: ${layers[*]})"
[ "$upward" -eq 0 ]
