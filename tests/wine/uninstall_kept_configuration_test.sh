#!/usr/bin/env bash
# A sub-key added to the configuration key keeps that key from going, and
# with it every other product key and the three service keys; the run still
# completes and asks to restart.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage
sv_wine reg add "HKLM\\$SV_CONFIG\\Plugins" /v Owner /d 'another product' /f >/dev/null
sv_sample_run /SILENT
sv_check_box "$SV_RESTART_QUESTION" question no
wait "$SV_SAMPLE_PID"
wine_wait

reg=$(sv_sample_registry)
for k in "${SV_SAMPLE_KEYS[@]}"; do sv_check_key present "$k" "$reg"; done
sv_check_key present "HKLM\\$SV_CONFIG\\Plugins" "$reg"
sv_check_value "HKLM\\$SV_CONFIG|StartNetwork|TRUE" "$reg"
sv_check_file absent 'C:\SV32\SVREMOTE.EXE'
echo "PASS"
