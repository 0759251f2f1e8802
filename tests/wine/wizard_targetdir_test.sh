#!/usr/bin/env bash
# The configuration names a product directory that cannot be made (its name
# is not a valid one): the welcome page offers Next, and the product-
# directory page shows that directory.  Finish there is refused with 6002;
# Back is never refused and takes the typed directory, which the welcome
# page then creates without asking and so offers Finish itself.
set -euo pipefail
source "$SV_SRC/tests/wine/wizard_lib.sh"

kp_setup
sv_reg add "$KP_CONFIG" /v LDID_SV_LONG /d 'C:\SV|32' /f

kp_start
kp_ui wait-page 101 30000
kp_state 12324 'enabled=1 visible=1'  # Next
kp_ui press next
kp_ui wait-page 134
[ "$(kp_ui text 1011)" = 'text C:\\SV|32' ]
kp_state 12323 'enabled=1'            # Back
kp_state 12325 'enabled=1 visible=1'  # Finish
kp_shot page134_directory

kp_ui press finish
# 6002 with the typed directory, as the box shows it and the log gets it.
invalid=$(printf "$(kp_string 6002)" 'C:\\SV|32')
kp_box "$invalid" exclamation ok
sleep 0.5
kp_ui page | grep -q '^page 134 '

kp_ui settext 1011 'C:\NEWSV\'
kp_ui press back
kp_ui wait-page 101
kp_state 12325 'enabled=1 visible=1'
[ -d "$(cpath 'C:\NEWSV')" ]

kp_ui press cancel
kp_box "$(kp_string 5004)" question yes
kp_wait_exit
kp_expect_log 'Command line parameters \r\nRunning on Windows NT build 1381.\r\n'"$invalid"'Destroying setup wizard object.\r\nClosing setup log file.\r\n'
