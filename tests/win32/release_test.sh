#!/usr/bin/env bash
# release_test.sh <cmake> <objdump> <imports.txt> <archive> <KITPURGE.EXE> <KITPLAN.EXE>
# The release archive holds the two programs as built and the administrators'
# text, and nothing else; both programs pass the NT 4.0 import check.
set -euo pipefail
cmake=$1 objdump=$2 list=$3 archive=$4 kitpurge=$5 kitplan=$6
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=$("$cmake" -E tar tf "$archive" | sort | tr '\n' ' ')
[ "$names" = "KITPLAN.EXE KITPURGE.EXE README.TXT " ] || { echo "the archive holds: $names"; exit 1; }
(cd "$work" && "$cmake" -E tar xf "$archive")
cmp "$work/KITPURGE.EXE" "$kitpurge" && cmp "$work/KITPLAN.EXE" "$kitplan" ||
  { echo "the archive's programs are not the ones built"; exit 1; }
# A text for Notepad: every line ends in CR LF.
if tr -d '\r' <"$work/README.TXT" | cmp -s - "$work/README.TXT" ||
  [ "$(grep -c $'\r$' "$work/README.TXT")" != "$(wc -l <"$work/README.TXT")" ]; then
  echo "README.TXT does not end its lines in CR LF"
  exit 1
fi
"$here/imports_test.sh" "$objdump" "$list" "$work/KITPURGE.EXE" "$work/KITPLAN.EXE"
echo "release: $(basename "$archive") holds $names"
