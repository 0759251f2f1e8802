#!/usr/bin/env bash
# Every test: the native unit tests, then the Wine tests of KITPURGE.EXE.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

# A short smoke of every fuzz target, after the kept crash inputs.
scripts/fuzz.sh "${SV_FUZZ_SMOKE_SECONDS:-5}"

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"
ctest --preset win64 -j"$jobs"
