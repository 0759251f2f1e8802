#!/usr/bin/env bash
# The libFuzzer harnesses of tests/fuzz: builds the fuzz preset, replays every
# kept crash input (tests/fuzz/regressions/<target>/), then fuzzes each target
# for the given seconds (default 60) from its seed corpus, one after another.
#   scripts/fuzz.sh [seconds per target] [target...]
# FUZZ_RUNS=N ends a target after N inputs if that comes first (the long
# campaign: FUZZ_RUNS=10000000 scripts/fuzz.sh 3600).
# New corpus entries go to build/fuzz/corpus/<target>; a crash stops the
# script with the input under build/fuzz/crashes/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    targets+=("${n#fuzz_}")
  done
fi

scripts/ensure-tools.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

# Allocation stacks and malloc filling cost a fifth of every input and find
# nothing the shadow memory does not; a caller's ASAN_OPTIONS wins.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=8}

for t in "${targets[@]}"; do
  bin=build/fuzz/fuzz_$t
  regressions=tests/fuzz/regressions/$t
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    "$bin" -runs=0 "$regressions"/* >/dev/null 2>&1 ||
      { echo "fuzz $t: a kept crash input fails again"; "$bin" -runs=0 "$regressions"/*; exit 1; }
  fi
  corpus=build/fuzz/corpus/$t
  crashes=build/fuzz/crashes/$t
  mkdir -p "$corpus" "$crashes"
  log=build/fuzz/$t.log
  if ! "$bin" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$corpus" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz $t: crash, input in $crashes"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  echo "fuzz $t: $runs executions, $cov, no crash"
done
