#!/usr/bin/env bash
# The everyday run: the configuration names an existing product directory,
# so the welcome page is the only page and offers Finish.  A second instance
# started meanwhile is turned away with 10007 and changes nothing.  Cancel
# answered No keeps the wizard; answered Yes ends the run, removing the empty
# product directory.
set -euo pipefail
source "$SV_SRC/tests/wine/wizard_lib.sh"

kp_setup
sv_reg add "$KP_CONFIG" /v LDID_SV_LONG /d 'C:\PRODUCT' /f
mkdir -p "$(cpath 'C:\PRODUCT')"

kp_start
kp_ui wait-page 101 30000
[ "$(kp_ui text 1018)" = 'text 7.3.026' ]
kp_state 12325 'enabled=1 visible=1'  # Finish
kp_state 12323 'enabled=0'            # Back
kp_state 2 'enabled=1'                # Cancel
kp_shot page101_welcome

log_before=$(od -c "$KP_LOG")
wine 'C:\UNINST\KITPURGE.EXE' /SILENT &
second=$!
kp_box 'A version of SOLVANE 32 setup is currently running.' exclamation ok
rc=0
wait "$second" || rc=$?
[ "$rc" = 0 ]
[ "$log_before" = "$(od -c "$KP_LOG")" ]

kp_ui press cancel
kp_box "$(kp_string 5004)" question no
sleep 0.5
kp_ui page | grep -q '^page 101 '

kp_ui press cancel
kp_box "$(kp_string 5004)" question yes
kp_wait_exit
[ ! -d "$(cpath 'C:\PRODUCT')" ]
kp_expect_log 'Command line parameters \r\nRunning on Windows NT build 1381.\r\nDestroying setup wizard object.\r\nClosing setup log file.\r\n'
