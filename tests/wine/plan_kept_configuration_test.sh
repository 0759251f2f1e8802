#!/usr/bin/env bash
# The plan is true when a sub-key added to the configuration key keeps the
# product's keys: the plan keeps the configuration key, and the silent
# uninstall then changes exactly what the plan said.
set -euo pipefail
source "$SV_SRC/scripts/wine/plan_check.sh"
sv_wine reg add "HKLM\\$SV_CONFIG\\Plugins" /v Owner /d 'another product' /f >/dev/null
sv_plan_check /SILENT
if sv_plan_list "$SV_WORK/plan.json" keys_removed | grep -qiF "$SV_CONFIG"; then
  sv_fail "the plan removes the configuration key"
fi
echo "PASS"
