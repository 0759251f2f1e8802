#!/usr/bin/env bash
# No to the restart question: the program ends without restarting, the log
# ends with 10052, 10053 and 10054, and the held file waits for the next
# restart, which removes it.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage
sv_sample_hold
sv_sample_run /SILENT
sv_check_box "$SV_RESTART_QUESTION" question no
wait "$SV_SAMPLE_PID"
sv_sample_log | tail -n 3 | tr '\n' '|' | grep -qxF "$(tr '\n' '|' <<<"$SV_SAMPLE_LOG_END")" ||
  sv_fail "log end: $(sv_sample_log | tail -n 3)"
sv_sample_log | grep -qF 'Setup will reboot the system.' && sv_fail "10057 logged after No"
[ -n "$(sv_wine_pids HOLDFILE.EXE)" ] || sv_fail "Windows was restarted"
sv_check_file present 'C:\SV32\SVCORE.DLL'

# The user restarts later: the session ends (the agent with it), then the
# queued operations run.
sv_wine wineboot --end-session --kill >/dev/null 2>&1 || true
wine_wait
sv_check_file present 'C:\SV32\SVCORE.DLL'
sv_wine wineboot -r >/dev/null 2>&1
wine_wait
sv_check_file absent 'C:\SV32\SVCORE.DLL'
sv_check_file absent 'C:\SV32'
echo "PASS"
