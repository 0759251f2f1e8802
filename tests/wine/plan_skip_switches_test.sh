#!/usr/bin/env bash
# The plan is true with every skip switch: only the fixed steps remain, and
# the silent uninstall does exactly what the plan said.  And the lint of the
# sample kit: one warning, exit code 1.
set -euo pipefail
source "$SV_SRC/scripts/wine/plan_check.sh"
sv_plan_check /SILENT /NONETCPL /NOCOPY /NOSHORTCUTS /NOTEXTEDIT
[ -z "$(sv_plan_list "$SV_WORK/plan.json" files_removed)" ] || sv_fail "the plan removes files"
rc=0
lint=$(cd "$(sv_upath "$SV_KIT")" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /LINT | tr -d '\r') || rc=$?
[ "$rc" = 1 ] || sv_fail "lint exit code $rc: $lint"
[ "$lint" = 'C:\SVKIT\KITPURGE.DAT(58): warning: condition macro IPX_Installed is defined by no table of the program: it is false unless the product'"'"'s configuration key holds it
0 error(s), 1 warning(s)' ] || sv_fail "lint: $lint"
echo "PASS"
