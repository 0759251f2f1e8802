#!/usr/bin/env bash
# KITPURGE.EXE on a workstation without the network setup library: the user
# sees box 1212 with a stop icon, and the program ends with exit code 0 once
# it is answered.
set -euo pipefail

sv_install UNINST KITPURGE.EXE
sv_wine 'C:\UNINST\KITPURGE.EXE' &
program=$!

box=$(uidriver box 30000)
echo "$box"
grep -q '^box 0x[0-9a-f]* owner 0x0 caption SOLVANE 32 for Windows NT Setup$' <<<"$box"
grep -qx 'text Load NETCFG.DLL failed.' <<<"$box"
grep -qx 'icon stop' <<<"$box"
[ "$(grep -c '^button ' <<<"$box")" = 1 ]
grep -qx 'button 1 OK' <<<"$box"

uidriver answer ok
rc=0
wait "$program" || rc=$?
echo "KITPURGE.EXE exit code $rc"
[ "$rc" = 0 ]

# Without the library the verify cannot tell, and says why.
source "$SV_SRC/scripts/wine/sample.sh"
sv_verify
[ "$SV_VERIFY_RC" = 3 ] && grep -qF 'cannot tell: Load NETCFG.DLL failed. (exit code 3)' "$SV_WORK/verify.out" ||
  sv_fail "verify: $(cat "$SV_WORK/verify.out")"
