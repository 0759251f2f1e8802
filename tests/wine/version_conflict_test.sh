#!/usr/bin/env bash
# The "Version Conflict" dialog: a file being restored is older than the one
# on the workstation.  Yes keeps the existing file; No to All copies this one
# and every later one without asking again.
set -euo pipefail
export TZ=UTC
source "$SV_SRC/scripts/wine/sample.sh"

kit=$(cpath 'C:\SVKIT')
mkdir -p "$kit/NEW" "$(cpath 'C:\SV32')"
cp -- "$SV_BIN/KITPURGE.EXE" "$SV_BIN/NETCFG.DLL" "$SV_BIN/SVS2TNST.EXE" "$kit/"
printf '%s\r\n' 'VERSION,0x1000048' \
  'COPY,SVCOMM.DLL,SVCOMM.DLL,{LDID_KITROOT}\NEW,{LDID_SV},_REQUIRED,1,0' \
  'COPY,SVNEXT.DLL,SVNEXT.DLL,{LDID_KITROOT}\NEW,{LDID_SV},_REQUIRED,1,0' \
  'COPY,SVLAST.DLL,SVLAST.DLL,{LDID_KITROOT}\NEW,{LDID_SV},_REQUIRED,1,0' >"$kit/KITPURGE.DAT"
for f in SVCOMM.DLL SVNEXT.DLL SVLAST.DLL; do
  echo "older $f" >"$kit/NEW/$f"
  touch -d '2001-01-01 00:00:00 UTC' "$kit/NEW/$f"
  echo "newer $f" >"$(cpath "C:\\SV32\\$f")"
  touch -d '2002-03-05 14:03:11 UTC' "$(cpath "C:\\SV32\\$f")"
done
sv_wine reg add "HKLM\\$SV_CONFIG" /v LDID_SV /d 'C:\SV32' /f >/dev/null
sv_wine reg add "HKLM\\$SV_CONFIG" /v LDID_SV_LONG /d 'C:\SV32' /f >/dev/null

sv_sample_run /SILENT /NONETCPL /NOSHORTCUTS /NOTEXTEDIT

# The dialog's controls as the user sees them.
check_dialog() {  # <file name>
  uidriver wait-window 'Version Conflict' 120000 >/dev/null || sv_fail "no Version Conflict dialog"
  # The next dialog may follow the last one at once: wait for its file.
  local i id want got
  for i in $(seq 1 100); do
    got=$(uidriver text 1035 --window 'Version Conflict' | tr -d '\r' || true)
    [ "$got" = "text C:\\\\SV32\\\\$1" ] && break
    sleep 0.2
  done
  for id in 1035 1037 1040 1018; do
    case $id in
      1035) want="C:\\\\SV32\\\\$1" ;;
      1037) want='' ;;
      1040) want='File date:' ;;
      1018) want='14:03:10, Tue, Mar 05, 2002' ;;
    esac
    got=$(uidriver text "$id" --window 'Version Conflict' | tr -d '\r')
    [ "$got" = "text $want" ] || sv_fail "control $id: $got (expected: $want)"
  done
}

check_dialog SVCOMM.DLL
uidriver screenshot "$(winpath "$SV_WORK/version-conflict.bmp")" >/dev/null
uidriver click 6 --window 'Version Conflict' >/dev/null           # Yes: keep mine
check_dialog SVNEXT.DLL
uidriver click 1039 --window 'Version Conflict' >/dev/null        # No to All
# SVLAST.DLL is copied without a question.
sv_check_box "$SV_RESTART_QUESTION" question no
wait "$SV_SAMPLE_PID"

[ "$(cat "$(cpath 'C:\SV32\SVCOMM.DLL')")" = 'newer SVCOMM.DLL' ] || sv_fail "SVCOMM.DLL was replaced"
[ "$(cat "$(cpath 'C:\SV32\SVNEXT.DLL')")" = 'older SVNEXT.DLL' ] || sv_fail "SVNEXT.DLL was kept"
[ "$(cat "$(cpath 'C:\SV32\SVLAST.DLL')")" = 'older SVLAST.DLL' ] || sv_fail "SVLAST.DLL was kept"
# A copy takes the source's time.
[ "$(stat -c %Y "$(cpath 'C:\SV32\SVNEXT.DLL')")" = "$(date -d '2001-01-01 UTC' +%s)" ] ||
  sv_fail "SVNEXT.DLL has not the source's time"
sv_sample_log | grep -qxF 'SvCopyFile Src C:\SVKIT\NEW\SVLAST.DLL Dest C:\SV32\SVLAST.DLL' ||
  sv_fail "log: $(sv_sample_log)"
echo "PASS"
