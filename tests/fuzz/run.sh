#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", clang++-14) and runs each for the
# given number of seconds (default 300), one after the other. The seeds in
# corpus/<target>/ and the former crashes in regressions/<target>/ are read;
# what a run learns goes to a scratch corpus under the build folder, so the
# committed seeds stay small. Exits non-zero on the first finding; the
# crashing input is then in build-fuzz/findings/<target>/.
#
#   tests/fuzz/run.sh [seconds-per-target] [target...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-300}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(profile_file spin_parse html_color gif jpeg backdrop area_sets)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}abort_on_error=0"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-}${UBSAN_OPTIONS:+:}print_stacktrace=1:halt_on_error=1"
here=tests/fuzz
out=build-fuzz/fuzz-runs
for t in "${targets[@]}"; do
  work="$out/corpus/$t"
  findings="build-fuzz/findings/$t"
  mkdir -p "$work" "$findings" "$out"
  # Former crashes first: each must now run clean.
  if compgen -G "$here/regressions/$t/*" >/dev/null &&
     ! "build-fuzz/tests/fuzz/fuzz_$t" "$here/regressions/$t"/* >"$out/$t.regressions.log" 2>&1; then
    echo "fuzz_$t: a former crash is back, see $out/$t.regressions.log" >&2
    tail -40 "$out/$t.regressions.log" >&2
    exit 1
  fi
  echo "== fuzz_$t: ${seconds}s"
  status=0
  "build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
    -max_len=8192 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" \
    "$work" "$here/corpus/$t" >"$out/$t.log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$out/$t.log" || true
  if ((status != 0)); then
    echo "fuzz_$t: finding (exit $status), see $out/$t.log and $findings/" >&2
    tail -40 "$out/$t.log" >&2
    exit 1
  fi
done
echo "fuzz: all targets clean"
