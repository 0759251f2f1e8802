#!/usr/bin/env bash
# An older version's network registration is still there (its NetRules key):
# Next leads from the welcome page to the old-version page, where Cancel is
# disabled and only Back and the page's own Yes remain.  Yes removes the
# registration through the network library and asks to restart; the run
# ends there without the removal sequence.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"

sv_wizard_setup
sv_reg add "$SV_CONFIG_KEY" /v LDID_SV_LONG /d 'C:\PRODUCT' /f
mkdir -p "$(cpath 'C:\PRODUCT')"
rules='HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE\CurrentVersion\NetRules'
component='HKLM\SOFTWARE\NetSetupStandIn\Components\SOLVANE'
sv_reg add "$rules" /v InfName /d oemnxpsv.inf /f
sv_reg add "$component" /v InfName /d oemnxpsv.inf /f

sv_sample_run
sv_ui wait-page 101 30000
sv_ui press next
sv_ui wait-page 1546
sleep 0.5
sv_state 2 'enabled=0'      # Cancel
sv_state 12323 'enabled=1'  # Back
sv_state 12325 'enabled=0'  # Finish
sv_shot page1546_oldversion

sv_ui press back
sv_ui wait-page 101
sv_state 2 'enabled=1'
sv_ui press next
sv_ui wait-page 1546

sv_ui click 6
sv_check_box "$(sv_string 10074)" question yes
sv_wait_exit
if sv_wine reg query "$component" >/dev/null 2>&1; then
  echo "the old registration is still there" >&2
  exit 1
fi
sv_check_log_bytes 'Command line parameters \r\nRunning on Windows NT build 1381.\r\nSetup will reboot the system.\r\nDestroying setup wizard object.\r\nClosing setup log file.\r\n'
