#!/usr/bin/env bash
# A network component that the library refuses to remove: message 10025, no
# later phase (not even the Sockets clean-up program), yet the product's keys
# and services are deleted and the run ends with message 10005.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage
sv_sample_run_refused
wine_wait

for f in "${SV_SAMPLE_FILES[@]}" "${SV_SAMPLE_SHORTCUTS[@]}"; do sv_check_file present "$f"; done
reg=$(sv_sample_registry)
sv_check_key absent 'HKLM\SOFTWARE\NetSetupStandIn\Components\TRELLNET' "$reg"
sv_check_key present 'HKLM\SOFTWARE\NetSetupStandIn\Components\SVRDR' "$reg"
grep -qiF 'VAL HKLM\SOFTWARE\SocketsCleanupStandIn|Runs|' <<<"$reg" &&
  sv_fail "the Sockets clean-up program ran"
for k in "${SV_SAMPLE_KEYS[@]}"; do sv_check_key absent "$k" "$reg"; done
sv_check_value "HKLM\\$SV_ENV|KSTA|C:\\SV32" "$reg"
tr -d '\r' <"$(sv_upath 'C:\windows\system32\AUTOEXEC.NT')" | grep -qxF 'SET KSTA=C:\SV32' ||
  sv_fail "AUTOEXEC.NT was cleaned"

sv_check_log "$SV_SAMPLE_LOG_START
The following error occurred while removing SVRDR
Error 1205 (Registry call failed)
Ending network control panel phase.
$SV_SAMPLE_LOG_END"
echo "PASS"
