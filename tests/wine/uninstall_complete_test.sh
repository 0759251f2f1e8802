#!/usr/bin/env bash
# A complete silent uninstall of the sample installation: every phase runs,
# the restart question is answered Yes, and after the restart the workstation
# is clean; the file the product's agent held open goes only with the restart.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage
sv_sample_hold
sv_sample_run /SILENT

sv_check_box "$SV_RESTART_QUESTION" question -
# Everything but the held file is gone while the question waits.
sv_check_file present 'C:\SV32\SVCORE.DLL'
sv_check_file absent 'C:\SV32\SVREMOTE.EXE'
sv_check_file absent 'C:\windows\system32\drivers\TRLLAT.SYS'
sv_wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations |
  tr -d '\r' | grep -qF 'C:\SV32\SVCORE.DLL' || sv_fail "no delete of SVCORE.DLL waits for the restart"
uidriver answer yes 20000 >/dev/null
wait "$SV_SAMPLE_PID"
wine_wait

# After the restart.
for f in "${SV_SAMPLE_FILES[@]}" "${SV_SAMPLE_DIRS[@]}" "$SV_PROGRAMS\\Solvane 32"; do
  sv_check_file absent "$f"
done
for f in "${SV_SAMPLE_SHORTCUTS[@]}"; do
  case $f in
    *'VUDU Monitor.lnk') sv_check_file present "$f" ;;  # kept by its marker
    *) sv_check_file absent "$f" ;;
  esac
done
[ "$(cat "$(sv_upath 'C:\windows\PROTOCOL.INI')")" = "$(printf '[protocol manager]\r\nDriverName=PROTMAN$\r')" ] ||
  sv_fail "PROTOCOL.INI was not restored from its copy"
expected_autoexec=$(printf '%s\r\n' '@echo off' \
  'REM AUTOEXEC.NT is used to initialize the MS-DOS environment.' \
  'lh %SystemRoot%\system32\mscdexnt.exe' 'lh %SystemRoot%\system32\redir' \
  'lh %SystemRoot%\system32\dosx' 'SET TEMP=C:\TEMP')
[ "$(cat "$(sv_upath 'C:\windows\system32\AUTOEXEC.NT')")" = "$expected_autoexec" ] ||
  sv_fail "AUTOEXEC.NT: $(cat -A "$(sv_upath 'C:\windows\system32\AUTOEXEC.NT')")"
[ "$(tr -d '\r' <"$(sv_upath 'C:\windows\system32\AUTOEXEC.SV')" | sed -n 5p)" = 'SET KSTA=C:\SV32' ] ||
  sv_fail "AUTOEXEC.SV is not the old AUTOEXEC.NT"

reg=$(sv_sample_registry)
for k in "${SV_SAMPLE_KEYS[@]}"; do sv_check_key absent "$k" "$reg"; done
for c in "${SV_SAMPLE_COMPONENTS[@]}"; do
  sv_check_key absent "HKLM\\SOFTWARE\\NetSetupStandIn\\Components\\$c" "$reg"
done
sv_check_value "HKLM\\$SV_ENV|Path|$SV_WINE_PATH;" "$reg"
sv_check_value "HKLM\\$SV_ENV|KSTA|" "$reg"
sv_check_value 'HKLM\SYSTEM\CurrentControlSet\Services\NE20002\Parameters|NetworkAddress|02608C123456' "$reg"
grep -qiF 'VAL HKLM\SYSTEM\CurrentControlSet\Services\E100B1\Parameters|NetworkAddress|' <<<"$reg" &&
  sv_fail "the protocol's adapter address is still there"
sv_check_value 'HKLM\SOFTWARE\SocketsCleanupStandIn|Runs|0x1' "$reg"
sv_check_value 'HKLM\SOFTWARE\NetSetupStandIn|ReviewCount|0x1' "$reg"

sv_check_log "$SV_SAMPLE_LOG_START
Ending network control panel phase.
$(sv_sample_file_phase_log)
Starting add shortcut phase.
$SV_SAMPLE_TEXT_PHASE_LOG
Setup will reboot the system.
$SV_SAMPLE_LOG_END"

# The verify agrees: nothing is left, and the last run finished.
sv_verify /JSON
[ "$SV_VERIFY_RC" = 0 ] && [ "$(sv_verify_string "$SV_WORK/verify.out" verdict)" = clean ] &&
  [ "$(sv_verify_string "$SV_WORK/verify.out" outcome)" = finished ] ||
  sv_fail "verify: $(cat "$SV_WORK/verify.out")"
echo "PASS"
