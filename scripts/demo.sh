#!/usr/bin/env bash
# The demo: builds everything, makes a fresh Wine workstation holding a sample
# SOLVANE 32 installation, prints the plan of KITPLAN.EXE (what the uninstall
# will do, and the lint of the kit), runs KITPURGE.EXE /SILENT on it, answers
# Yes to the restart question, and tells what happened: the setup log, the calls the
# network setup library received, and every item of the installation before
# the uninstall, after it and after the restart.
#
# With a usable X display ($DISPLAY) the program's windows appear there;
# without one they go to a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/ensure-tools.sh

jobs=$(nproc)
echo "== Building (native and the 32-bit programs as shipped)"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs" >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs" >/dev/null

source scripts/wine/lib.sh
export SV_BIN=$root/build/win32/bin SV_SRC=$root
source scripts/wine/sample.sh
sv_sample_tools
work=$root/build/demo
export WINEPREFIX=$work/prefix
echo "== A fresh 32-bit Windows NT 4.0 workstation in $WINEPREFIX"
sv_workstation "$root/build/win32/wine/template"
[ -n "$SV_XVFB_PID" ] && echo "   (no usable display: using a private virtual one, $DISPLAY)"

echo "== Installing the sample SOLVANE 32 (kit in C:\\SVKIT, product in C:\\SV32)"
sv_sample_stage
sv_sample_snapshot "$work/before.txt"
echo "   the product's agent holds C:\\SV32\\SVCORE.DLL open"
sv_sample_hold

echo "== The plan first: C:\\SVKIT\\KITPLAN.EXE /SILENT (changes nothing)"
cp -- "$SV_BIN/KITPLAN.EXE" "$(cpath 'C:\SVKIT')/"
(cd "$(cpath 'C:\SVKIT')" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /SILENT) | tr -d '\r' | sed 's/^/   /'
echo "-- and the kit's lint, C:\\SVKIT\\KITPLAN.EXE /LINT:"
(cd "$(cpath 'C:\SVKIT')" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /LINT) | tr -d '\r' | sed 's/^/   /' || true

echo "== Running C:\\SVKIT\\KITPURGE.EXE /SILENT"
start=$(date +%s%N)
sv_sample_run /SILENT
# A silent run that completes asks one question, the restart; the state is
# recorded while it waits for the answer.
echo "-- message box:"
uidriver box 180000 | tr -d '\r' | sed 's/^/   /'
sv_sample_snapshot "$work/after.txt"
uidriver answer yes 20000 >/dev/null
echo "   (answered Yes)"
rc=0
wait "$SV_SAMPLE_PID" || rc=$?
# The program's restart request makes Wine end the session (the agent ends
# and lets go of SVCORE.DLL) and carry out the operations queued for the
# restart, as `wineboot -r` does.
wine_wait
ms=$((($(date +%s%N) - start) / 1000000))
sv_sample_snapshot "$work/restart.txt"

echo "== What happened"
echo "KITPURGE.EXE ended with exit code $rc; uninstall and restart took $((ms / 1000)).$(printf '%03d' $((ms % 1000))) s."
echo "The setup log C:\\SVSETUP.LOG:"
sv_sample_log | sed 's/^/   /'
echo "Calls the network setup library received:"
tr -d '\r' <"$(cpath 'C:\SVKIT\NETCFG.LOG')" | sed 's/^/   /'
echo
echo "Every item of the installation:"
sv_sample_report "$work/before.txt" "$work/after.txt" "$work/restart.txt"
