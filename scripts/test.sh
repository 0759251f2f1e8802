#!/usr/bin/env bash
# Every test: the native unit tests with the fault sweep, a fuzz smoke, then
# the 32-bit programs as shipped: their import check, the release archive and
# the Wine tests on 32-bit NT 4.0 prefixes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

# A short smoke of every fuzz target, after the kept crash inputs.
scripts/fuzz.sh "${SV_FUZZ_SMOKE_SECONDS:-5}"

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
ctest --preset win32 -j"$jobs"
