#!/usr/bin/env bash
# The uninstall ended for real in the middle of its file phase: KITPURGE.EXE
# /SILENT removes the sample installation grown by 5,000 files, is ended with
# TerminateProcess once it is deleting them, and a second /SILENT run
# finishes the job and restarts Windows.  The prefix then holds what a clean
# run leaves on a copy of the same installation.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
source "$SV_SRC/scripts/wine/snapshot.sh"

bulk=5000
sv_sample_stage
sv_sample_bulk "$bulk"
# The copy needs the staged registry in the prefix's files.
sv_session_end
clean=$SV_WORK/clean
cp -a "$WINEPREFIX" "$clean"
sv_server_start
crashed=$WINEPREFIX
# The test's runner ends the Wine of its own prefix only.
trap 'WINEPREFIX=$clean sv_server_stop' EXIT

remaining() { find "$(sv_upath "$SV_PRODUCT\\BULK")" -type f | wc -l; }

# The first run, ended once it has deleted a hundred files.
started=$(date +%s)
sv_sample_run /SILENT
deleted=0
for _ in $(seq 1 1200); do
  deleted=$(sv_sample_log | grep -c '^SvDeleteFile: C:\\SV32\\BULK\\' || true)
  [ "$deleted" -ge 100 ] && break
  sleep 0.1
done
[ "$deleted" -ge 100 ] || sv_fail "the file phase did not start (log: $(sv_sample_log | tail -n 3))"
uidriver kill KITPURGE.EXE 20000 >/dev/null || sv_fail "KITPURGE.EXE could not be ended"
wait "$SV_SAMPLE_PID" || true
left=$(remaining)
echo "ended after $(($(date +%s) - started)) s with $((bulk - left)) of $bulk files deleted;" \
  "the log's last line: $(sv_sample_log | tail -n 1)"
[ "$left" -gt 0 ] && [ "$left" -lt "$bulk" ] || sv_fail "not ended in the file phase: $left files left"
sv_sample_log | grep -qxF 'VcpClose()' && sv_fail "the file phase had ended"

# The administrator runs it again; it ends with the restart question.
started=$(date +%s)
sv_sample_run /SILENT
sv_check_box "$SV_RESTART_QUESTION" question yes
wait "$SV_SAMPLE_PID"
wine_wait
echo "second run and restart: $(($(date +%s) - started)) s"
sv_prefix_snapshot "$SV_WORK/crashed.txt"

# A clean run on the copy.
export WINEPREFIX=$clean
sv_server_start
started=$(date +%s)
sv_sample_run /SILENT
sv_check_box "$SV_RESTART_QUESTION" question yes
wait "$SV_SAMPLE_PID"
wine_wait
echo "clean run and restart: $(($(date +%s) - started)) s"
sv_prefix_snapshot "$SV_WORK/clean.txt"
export WINEPREFIX=$crashed

# Only the runs' own records may differ: the setup log (each run writes its
# own) and the stand-ins' journals of the calls they received (the first run
# called them too).
sv_prefix_diff "$SV_WORK/clean.txt" "$SV_WORK/crashed.txt" >"$SV_WORK/diff.txt"
echo "the prefixes differ in $(wc -l <"$SV_WORK/diff.txt") item(s):"
cat "$SV_WORK/diff.txt"
differences=$(grep -v -e '^~ F C:\\SVSETUP\.LOG$' -e '^~ F C:\\SVKIT\\NETCFG\.LOG$' \
    -e '^~ V HKLM\\SOFTWARE\\SOCKETSCLEANUPSTANDIN\\\\RUNS$' \
    -e '^~ V HKLM\\SOFTWARE\\NETSETUPSTANDIN\\\\REVIEWCOUNT$' "$SV_WORK/diff.txt" || true)
[ -z "$differences" ] || sv_fail "the resumed uninstall left otherwise than a clean one:
$differences"
grep -q '^F C:\\SV32\\BULK' "$SV_WORK/clean.txt" && sv_fail "the clean run left files of the kit"
grep -q 'PENDINGFILERENAMEOPERATIONS' "$SV_WORK/crashed.txt" && sv_fail "Windows did not restart"
echo "PASS"
