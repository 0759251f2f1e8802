#!/usr/bin/env bash
# The configuration names a product directory that cannot be made (its name
# is not a valid one): the welcome page offers Next, and the product-
# directory page shows that directory.  Finish there is refused with 6002;
# Browse offers only directories and drives, and the one picked there goes
# into the edit.  Back is never refused and takes the typed directory, which
# the welcome page then creates without asking and so offers Finish itself.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"

sv_wizard_setup
sv_reg add "$SV_CONFIG_KEY" /v LDID_SV_LONG /d 'C:\SV|32' /f
mkdir -p "$(cpath 'C:\PICKED\DIR')"

sv_sample_run
sv_ui wait-page 101 30000
sv_state 12324 'enabled=1 visible=1'  # Next
sv_ui press next
sv_ui wait-page 134
[ "$(sv_ui text 1011)" = 'text C:\\SV|32' ]
sv_state 12323 'enabled=1'            # Back
sv_state 12325 'enabled=1 visible=1'  # Finish
sv_shot page134_directory

sv_ui press finish
# 6002 with the typed directory, as the box shows it and the log gets it.
invalid=$(printf "$(sv_string 6002)" 'C:\\SV|32')
sv_check_box "$invalid" exclamation ok
sleep 0.5
sv_ui page | grep -q '^page 134 '

# The chooser starts in the program's directory (the recorded one is not a
# valid name); the file-name, file-list, type and read-only controls stay
# hidden.
chooser='SOLVANE 32 Un_install - Specify Directory'
sv_ui click 1009
controls=$(sv_ui controls "$chooser")
echo "$controls"
[ "$(cut -d' ' -f2 <<<"$controls" | tr '\n' ' ')" = '65535 1088 1121 1091 1137 1 2 ' ]
for entry in '[..]' '[picked]' '[dir]'; do sv_ui pick 1121 "$entry" --window "$chooser"; done
sv_ui text 1088 --window "$chooser" | grep -qix 'text c:\\\\picked\\\\dir'
sv_shot page134_chooser
sv_ui click 1 --window "$chooser"
sv_ui wait-gone "$chooser"
[ "$(sv_ui text 1011)" = 'text C:\\PICKED\\DIR' ]

sv_ui settext 1011 'C:\NEWSV\'
sv_ui press back
sv_ui wait-page 101
sv_state 12325 'enabled=1 visible=1'
[ -d "$(cpath 'C:\NEWSV')" ]

sv_ui press cancel
sv_check_box "$(sv_string 5004)" question yes
sv_wait_exit
sv_check_log_bytes 'Command line parameters \r\nRunning on Windows NT build 1381.\r\n'"$invalid"'Destroying setup wizard object.\r\nClosing setup log file.\r\n'
