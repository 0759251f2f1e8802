#!/usr/bin/env bash
# The release: builds the 32-bit programs, checks the archive (its contents,
# the NT 4.0 import check of its programs) and puts into dist/ the archive
# and the three files it holds, KITPURGE.EXE, KITPLAN.EXE and README.TXT
# (the administrators' text).  No stand-in and no test tool is among them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target release >/dev/null
ctest --preset win32 -R '^release\.archive$' >/dev/null ||
  { ctest --preset win32 -R '^release\.archive$' --output-on-failure; exit 1; }
archive=$(ls build/win32/release/kitpurge-*.zip)
rm -rf dist
mkdir dist
cp -- "$archive" dist/
(cd dist && cmake -E tar xf "$(basename "$archive")")
echo "dist/:"
ls -l dist
