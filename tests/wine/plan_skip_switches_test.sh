#!/usr/bin/env bash
# The plan is true with every skip switch: only the fixed steps remain, and
# the silent uninstall does exactly what the plan said.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
source "$SV_SRC/scripts/wine/snapshot.sh"
source "$SV_SRC/scripts/wine/plan_check.sh"
sv_sample_tools
sv_sample_stage
sv_plan_check /SILENT /NONETCPL /NOCOPY /NOSHORTCUTS /NOTEXTEDIT
[ -z "$(sv_plan_list "$SV_WORK/plan.json" files_removed)" ] || sv_fail "the plan removes files"
echo "PASS"
