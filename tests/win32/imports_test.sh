#!/usr/bin/env bash
# imports_test.sh <objdump> <imports.txt> <program>...
# Fails on any import of the programs that the list does not name, that the
# list marks as newer than Windows NT 4.0, or that is taken by ordinal; on a
# program that loads a DLL the list does not know (runtime DLLs, api-ms-*);
# and on one that is not a 32-bit image NT 4.0's loader takes (PE32, asking
# for subsystem and system version 4.0 at most).
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
  headers=$("$objdump" -p "$program")
  header=$(awk '
    $1 == "Magic" { magic = $2 }
    $1 == "MajorSubsystemVersion" { sub_major = $2 } $1 == "MinorSubsystemVersion" { sub_minor = $2 }
    $1 == "MajorOSystemVersion" { os_major = $2 } $1 == "MinorOSystemVersion" { os_minor = $2 }
    END {
      if (magic != "010b") print "  not a PE32 image (magic " magic ")"
      if (sub_major > 4 || (sub_major == 4 && sub_minor > 0)) print "  subsystem version " sub_major "." sub_minor
      if (os_major > 4 || (os_major == 4 && os_minor > 0)) print "  system version " os_major "." os_minor
    }' <<<"$headers")
  if [ -n "$header" ]; then
    echo "$(basename "$program"): NT 4.0 does not load it:"
    echo "$header"
    failed=1
    continue
  fi
  imports=$(awk '
    /^[ \t]*DLL Name:/ { dll = toupper($3); next }
    /^[ \t]*vma:/ { next }
    /^[ \t]*$/ { dll = ""; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ { print dll, (NF >= 3 ? $3 : "#" $2) }' <<<"$headers")
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
