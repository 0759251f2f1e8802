#!/usr/bin/env bash
# imports_test.sh <objdump> <imports.txt> <program>...
# Fails on any import of the programs that the list does not name, that the
# list marks as newer than Windows NT 4.0, or that is taken by ordinal; and on
# a program that loads a DLL the list does not know (runtime DLLs, api-ms-*).
set -euo pipefail
objdump=${1:?usage: imports_test.sh <objdump> <imports.txt> <program>...}
list=${2:?usage: imports_test.sh <objdump> <imports.txt> <program>...}
shift 2
[ $# -gt 0 ] || { echo "no programs given" >&2; exit 2; }

failed=0
for program in "$@"; do
  if [ ! -f "$program" ]; then
    echo "$program: missing" >&2
    failed=1
    continue
  fi
  imports=$("$objdump" -p "$program" | awk '
    /^[ \t]*DLL Name:/ { dll = toupper($3); next }
    /^[ \t]*vma:/ { next }
    /^[ \t]*$/ { dll = ""; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ { print dll, (NF >= 3 ? $3 : "#" $2) }')
  if [ -z "$imports" ]; then
    echo "$(basename "$program"): no import table read" >&2
    failed=1
    continue
  fi
  report=$(awk '
    NR == FNR {
      if ($0 ~ /^[ \t]*(#|$)/) next
      version[toupper($1) " " $2] = $3
      next
    }
    {
      key = $1 " " $2
      if (!(key in version)) { print "  not on the list: " key; next }
      v = version[key]
      if (v != "NT3.1" && v != "NT3.5" && v != "NT3.51" && v != "NT4.0")
        print "  newer than NT 4.0 (" v "): " key
    }' "$list" - <<<"$imports")
  count=$(wc -l <<<"$imports")
  if [ -n "$report" ]; then
    echo "$(basename "$program"): $count imports, not all on NT 4.0:"
    echo "$report"
    failed=1
  else
    dlls=$(awk '{ print $1 }' <<<"$imports" | sort -u | tr '\n' ' ')
    echo "$(basename "$program"): $count imports from ${dlls% }"
  fi
done
exit $failed
