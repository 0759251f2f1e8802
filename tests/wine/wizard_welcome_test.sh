#!/usr/bin/env bash
# The everyday run: the configuration names an existing product directory,
# so the welcome page is the only page and offers Finish.  A second instance
# started meanwhile is turned away with 10007 and changes nothing.  Cancel
# answered No keeps the wizard; answered Yes ends the run, removing the empty
# product directory.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"

sv_wizard_setup
sv_reg add "$SV_CONFIG_KEY" /v LDID_SV_LONG /d 'C:\PRODUCT' /f
mkdir -p "$(cpath 'C:\PRODUCT')"

sv_sample_run
sv_ui wait-page 101 30000
[ "$(sv_ui text 1018)" = 'text 7.3.026' ]
sv_state 12325 'enabled=1 visible=1'  # Finish
sv_state 12323 'enabled=0'            # Back
sv_state 2 'enabled=1'                # Cancel
sv_shot page101_welcome

log_before=$(od -c "$SV_LOG")
sv_wine 'C:\SVKIT\KITPURGE.EXE' /SILENT &
second=$!
sv_check_box 'A version of SOLVANE 32 setup is currently running.' exclamation ok
rc=0
wait "$second" || rc=$?
[ "$rc" = 0 ]
[ "$log_before" = "$(od -c "$SV_LOG")" ]

sv_ui press cancel
sv_check_box "$(sv_string 5004)" question no
sleep 0.5
sv_ui page | grep -q '^page 101 '

sv_ui press cancel
sv_check_box "$(sv_string 5004)" question yes
sv_wait_exit
[ ! -d "$(cpath 'C:\PRODUCT')" ]
sv_check_log_bytes 'Command line parameters \r\nRunning on Windows NT build 1381.\r\nDestroying setup wizard object.\r\nClosing setup log file.\r\n'
