#!/usr/bin/env bash
# Shows that the print output of the working tree is that of another
# version, byte for byte (CreationDate aside): builds that version in a
# temporary worktree, runs tools/print_matrix against both and compares
# every file; where bytes differ, compares the pages rendered at 600 dpi.
# Usage: scripts/compare-print-output.sh [base-commit]   (default HEAD~1)
set -euo pipefail
cd "$(dirname "$0")/.."
base="${1:-HEAD~1}"
work=$(mktemp -d)
trap 'git worktree remove --force "$work/base" >/dev/null 2>&1; rm -rf "$work"' EXIT
git worktree add -q --detach "$work/base" "$base"
# The base may not have the tool yet: it gets this one.
mkdir -p "$work/base/tools/print_matrix"
cp tools/print_matrix/print_matrix.cpp "$work/base/tools/print_matrix/"
grep -q marbelux-print-matrix "$work/base/CMakeLists.txt" ||
  cat >>"$work/base/CMakeLists.txt" <<'CMAKE'
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(marbelux-print-matrix tools/print_matrix/print_matrix.cpp)
target_link_libraries(marbelux-print-matrix PRIVATE mx_app Qt6::Test)
set_target_properties(marbelux-print-matrix PROPERTIES AUTOUIC OFF)
CMAKE
for tree in "$work/base" .; do
  build="$work/build-$(basename "$(realpath "$tree")")"
  [ "$tree" = . ] && build="$work/build-current"
  cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBELUX_TESTS=OFF -DMARBELUX_BENCH=OFF \
    -DMARBELUX_PRINT_MATRIX=ON >/dev/null
  cmake --build "$build" --target marbelux-print-matrix | grep -E ": error|FAILED" || true
  out="$work/out-$([ "$tree" = . ] && echo current || echo base)"
  MARBELUX_MODULE_DIR="$build" "$build/marbelux-print-matrix" "$out"
done
same=0 different=0
for file in "$work"/out-base/*.pdf; do
  name=$(basename "$file")
  other="$work/out-current/$name"
  if cmp -s <(grep -av '/CreationDate' "$file") <(grep -av '/CreationDate' "$other"); then
    same=$((same + 1))
  elif cmp -s <(pdftoppm -r 600 -gray "$file") <(pdftoppm -r 600 -gray "$other"); then
    echo "$name: other bytes, the same pixels at 600 dpi"
    same=$((same + 1))
  else
    echo "$name: DIFFERENT"
    different=$((different + 1))
  fi
done
echo "$same files the same, $different different (base $base)"
[ "$different" -eq 0 ]
