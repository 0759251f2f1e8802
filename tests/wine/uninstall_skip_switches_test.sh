#!/usr/bin/env bash
# Every skip switch at once: the network, file, shortcut and text phases only
# log that they were skipped; the Sockets clean-up program still runs, and the
# fixed clean-up, the registry clean-up and the restart question follow.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage
sv_sample_run /SILENT /NONETCPL /NOCOPY /NOSHORTCUTS /NOTEXTEDIT
sv_check_box "$SV_RESTART_QUESTION" question no
wait "$SV_SAMPLE_PID"
wine_wait

for f in "${SV_SAMPLE_FILES[@]}" "${SV_SAMPLE_SHORTCUTS[@]}"; do sv_check_file present "$f"; done
reg=$(sv_sample_registry)
for c in "${SV_SAMPLE_COMPONENTS[@]}"; do
  sv_check_key present "HKLM\\SOFTWARE\\NetSetupStandIn\\Components\\$c" "$reg"
done
grep -qiF 'VAL HKLM\SOFTWARE\NetSetupStandIn|ReviewCount|' <<<"$reg" &&
  sv_fail "the bindings were reviewed"
sv_check_value 'HKLM\SOFTWARE\SocketsCleanupStandIn|Runs|0x1' "$reg"
for k in "${SV_SAMPLE_KEYS[@]}"; do sv_check_key absent "$k" "$reg"; done
sv_check_value "HKLM\\$SV_ENV|Path|$SV_WINE_PATH;" "$reg"
tr -d '\r' <"$(sv_upath 'C:\windows\system32\AUTOEXEC.NT')" | grep -qF 'KSTA' &&
  sv_fail "AUTOEXEC.NT still names KSTA"

sv_check_log 'Command line parameters /SILENT /NONETCPL /NOCOPY /NOSHORTCUTS /NOTEXTEDIT
Running on Windows NT build N.
Upgrade detected, old KSTA value = C:\SV32
Starting finish phase
Starting network control panel phase.
Network control panel processing skipped due to command line switch.
Copy phase skipped due to command line switch.
VcpClose()
Starting add shortcut phase.
Shortcut processing skipped due to command line switch.
Text file processing skipped due to command line switch.
'"$SV_SAMPLE_LOG_END"

# The verify names what the skipped phases left: the components, the files,
# the shortcuts and their group; the fixed clean-up took the rest.
sv_verify /JSON
[ "$SV_VERIFY_RC" = 2 ] || sv_fail "verify exit code $SV_VERIFY_RC"
kinds=$(sv_verify_items "$SV_WORK/verify.out" traces |
  mawk -F'\t' '{ n[$1]++ } END { for (k in n) print k, n[k] }' | LC_ALL=C sort | tr '\n' ,)
[ "$kinds" = 'DIRECTORY 3,FILE 21,LINE 2,NETWORK-COMPONENT 3,PROGRAM-GROUP 1,SHORTCUT 7,' ] ||
  sv_fail "verify: $(cat "$SV_WORK/verify.out")"
echo "PASS"
