#!/usr/bin/env bash
# The libFuzzer harnesses of tests/fuzz: builds the fuzz preset, replays every
# kept crash input (tests/fuzz/regressions/<target>/), then fuzzes each target
# for the given seconds (default 60) from its seed corpus, one after another.
#   scripts/fuzz.sh [seconds per target] [target...]
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
  if ! "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$corpus" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz $t: crash, input in $crashes"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
  echo "fuzz $t: $runs executions, $cov, no crash"
done
