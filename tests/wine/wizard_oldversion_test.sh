#!/usr/bin/env bash
# An older version's network registration is still there (its NetRules key):
# Next leads from the welcome page to the old-version page, where Cancel is
# disabled and only Back and the page's own Yes remain.  Yes removes the
# registration through the network library and asks to restart; the run
# ends there without the removal sequence.
set -euo pipefail
source "$SV_SRC/tests/wine/wizard_lib.sh"

kp_setup
sv_reg add "$KP_CONFIG" /v LDID_SV_LONG /d 'C:\PRODUCT' /f
mkdir -p "$(cpath 'C:\PRODUCT')"
rules='HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE\CurrentVersion\NetRules'
component='HKLM\SOFTWARE\NetSetupStandIn\Components\SOLVANE'
sv_reg add "$rules" /v InfName /d oemnxpsv.inf /f
sv_reg add "$component" /v InfName /d oemnxpsv.inf /f

kp_start
kp_ui wait-page 101 30000
kp_ui press next
kp_ui wait-page 1546
sleep 0.5
kp_state 2 'enabled=0'      # Cancel
kp_state 12323 'enabled=1'  # Back
kp_state 12325 'enabled=0'  # Finish
kp_shot page1546_oldversion

kp_ui press back
kp_ui wait-page 101
kp_state 2 'enabled=1'
kp_ui press next
kp_ui wait-page 1546

kp_ui click 6
kp_box "$(kp_string 10074)" question yes
kp_wait_exit
if wine reg query "$component" >/dev/null 2>&1; then
  echo "the old registration is still there" >&2
  exit 1
fi
kp_expect_log 'Command line parameters \r\nRunning on Windows NT build 1381.\r\nSetup will reboot the system.\r\nDestroying setup wizard object.\r\nClosing setup log file.\r\n'
