#!/usr/bin/env bash
# Every test: the native unit tests, then the 32-bit build (the program as
# shipped) with its import check and Wine tests.  A kernel that runs no 32-bit
# code cannot start 32-bit Wine: the Wine tests then run the 64-bit build.
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

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "32-bit programs cannot run on this machine: the Wine tests run the 64-bit build."
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j"$jobs"
  ctest --preset win64 -j"$jobs"
fi
