#!/usr/bin/env bash
# The plan is true on the sample workstation while the product's agent holds
# SVCORE.DLL: planning changes nothing in the whole prefix, and the silent
# uninstall then changes exactly what the plan said, the delete that waits
# for the restart included.
set -euo pipefail
source "$SV_SRC/scripts/wine/plan_check.sh"
SV_PLAN_HOLD=1 sv_plan_check /SILENT
sv_plan_list "$SV_WORK/plan.json" pending_operations | grep -qxF 'DELETE C:\SV32\SVCORE.DLL' ||
  sv_fail "the plan does not delete SVCORE.DLL at the restart"
echo "PASS"
