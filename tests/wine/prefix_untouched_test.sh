#!/usr/bin/env bash
# Nothing outside the kit: the whole prefix (every file under drive_c with its
# size and time, every key and value of system.reg and user.reg) before a
# silent uninstall of the sample installation, after it and after the
# restart.  Every difference must be one of the items listed below, which the
# kit and the removal sequence name, or Wine's own bookkeeping.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools

# One line per file ("F path<TAB>size<TAB>mtime"), directory ("D path"), key
# ("K file:key") and value ("V file:key|name=data"); key time stamps and the
# #time lines are Wine's and left out; paths in upper case.
snapshot() {
  local out=$1
  sv_session_end
  {
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 \( -type d -printf 'D %P\n' \) -o \
      \( -type f -printf 'F %P\t%s\t%T@\n' \) -o \( -type l -printf 'L %P\n' \))
    local f
    for f in system.reg user.reg; do
      F=$f awk '
        /^#/ || /^;/ || /^WINE REGISTRY/ { next }
        cont { line = line $0; if (!sub(/\\$/, "", line)) { print "V " ENVIRON["F"] ":" key "|" line; cont = 0 }; next }
        /^\[/ {
          key = $0; sub(/\] [0-9]+$/, "]", key)
          # The file lists only keys with values or without sub-keys: name
          # every ancestor too, so a key left empty is no new key.
          path = substr(key, 2, length(key) - 2); up = ""
          n = split(path, parts, /\\\\/)
          for (i = 1; i <= n; i++) { up = up (i > 1 ? "\\\\" : "") parts[i]; print "K " ENVIRON["F"] ":[" up "]" }
          next
        }
        /^$/ { next }
        { line = $0; if (sub(/\\$/, "", line)) { cont = 1; next }; print "V " ENVIRON["F"] ":" key "|" line }
      ' "$WINEPREFIX/$f"
    done
  } | tr '[:lower:]' '[:upper:]' | LC_ALL=C sort -u >"$out"
  sv_server_start
}

# What the kit and the removal sequence name, as extended regular
# expressions over the snapshot's lines (upper case; "/" in file paths).
expected=(
  # The setup log and the backup of AUTOEXEC.NT; the edited system files.
  '^F SVSETUP\.LOG	'
  '^F WINDOWS/SYSTEM32/AUTOEXEC\.(NT|SV)	'
  '^F WINDOWS/(PROTOCOL|SYSTEM)\.INI	'
  # The kit's files and directories, the program group and the desktop link.
  '^[FD] SV32($|/)'
  '^F WINDOWS/SYSTEM32/(SVNETLIB\.DLL|SVPRINT\.DLL|SVWSOCK\.DLL|TNP16\.EXE|OEMNXP?(TL|RDR|RT)\.INF)	'
  '^F WINDOWS/SYSTEM32/DRIVERS/(RIZUDAV|TRLLAT|RAVEDOZ)\.SYS	'
  '^[FD] PROGRAMDATA/MICROSOFT/WINDOWS/START MENU/PROGRAMS/SOLVANE 32($|/)'
  '^F PROGRAMDATA/MICROSOFT/WINDOWS/START MENU/PROGRAMS/SOLVANE 32\.LNK	'
  '^F PROGRAMDATA/MICROSOFT/WINDOWS/DESKTOP/SOLVANE 32 REMOTE\.LNK	'
  # The product's keys (with the configuration key's saved macros) and services.
  '^[KV] (SYSTEM|USER)\.REG:\[(SOFTWARE|MACHINE\\\\SOFTWARE)\\\\ORRISLOGICCORPORATION\\\\SOLVANE[]\\]'
  '^[KV] SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\SERVICES\\\\(RIZUDAV|TRLLAT|RAVEDOZERUZU)[]\\]'
  # Path and KSTA, the protocol's adapter address, the delayed operations.
  '^V SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\CONTROL\\\\SESSION MANAGER\\\\ENVIRONMENT\]\|"(PATH|KSTA)"='
  '^V SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\SERVICES\\\\E100B1\\\\PARAMETERS\]\|"NETWORKADDRESS"='
  '^V SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\CONTROL\\\\SESSION MANAGER\]\|"PENDINGFILERENAMEOPERATIONS"='
  # The test's stand-ins for the network setup library and the Sockets
  # clean-up program keep their journals.
  '^F SVKIT/NETCFG\.LOG	'
  '^[KV] SYSTEM\.REG:\[SOFTWARE\\\\(NETSETUPSTANDIN|SOCKETSCLEANUPSTANDIN)[]\\]'
  # Wine's own bookkeeping: adapters from the host, display keys, its own
  # start-up files and the restart.
  '^[KV] SYSTEM\.REG:\[SOFTWARE\\\\MICROSOFT\\\\WINDOWS NT\\\\CURRENTVERSION\\\\NETWORKCARDS\\\\[0-9]\]'
  '^[KV] SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\(CONTROL\\\\VIDEO|CONTROL\\\\CLASS\\\\\{4D36E96[8E]|HARDWARE PROFILES)'
  '^[KV] SYSTEM\.REG:\[HARDWARE\\\\'
  '^[KV] SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\(ENUM|SERVICES\\\\(WINE|NSI|TCPIP|EVENTLOG))'
  '^[KV] SYSTEM\.REG:\[SOFTWARE\\\\MICROSOFT\\\\(WINDOWS NT\\\\CURRENTVERSION\\\\PERFLIB|RPC|CRYPTOGRAPHY)'
  '^[KV] USER\.REG:\[SOFTWARE\\\\WINE\\\\'
  '^F WINDOWS/(SYSTEM32/)?[^/]*\.LOG	'
  '^F USERS/'
  '^[FD] WINDOWS/(TEMP|INF|LOGS)(/|$)'
)

differences() {  # <before> <after>
  local line bad=0 re ok named=0
  while IFS= read -r line; do
    ok=0
    for re in "${expected[@]}"; do
      if [[ ${line:2} =~ $re ]]; then ok=1; break; fi
    done
    if [ $ok = 0 ]; then echo "  $line"; bad=1; else named=$((named + 1)); fi
  done < <(LC_ALL=C diff "$1" "$2" | grep '^[<>] ' || true)
  echo "  $named differences named by the kit, the sequence or Wine"
  return $bad
}

sv_sample_stage
before=$SV_WORK/before.txt after=$SV_WORK/after.txt restarted=$SV_WORK/restarted.txt
snapshot "$before"
grep -q '^F SV32/SVCORE\.DLL' "$before" || sv_fail "the snapshot does not list the sample's files"
grep -q '^K SYSTEM\.REG:\[SYSTEM\\\\CURRENTCONTROLSET\\\\SERVICES\\\\TRLLAT\]' "$before" ||
  sv_fail "the snapshot does not list the sample's keys"

sv_sample_hold
sv_sample_run /SILENT
# No: the restart comes below, once the state after the run is recorded.
sv_check_box "$SV_RESTART_QUESTION" question no
wait "$SV_SAMPLE_PID"
# The session ends (the agent with it) without the queued operations.
sv_wine wineboot --end-session --kill >/dev/null 2>&1 || true
snapshot "$after"
grep -q '^F SVSETUP\.LOG' "$after" || sv_fail "no setup log"
sv_wine wineboot -r >/dev/null 2>&1
snapshot "$restarted"
grep -q '^F SV32/SVCORE\.DLL' "$restarted" && sv_fail "the restart did not remove SVCORE.DLL"

fail=0
echo "after the uninstall:"
differences "$before" "$after" || fail=1
echo "after the restart:"
differences "$before" "$restarted" || fail=1
[ $fail = 0 ] || sv_fail "the uninstall changed what neither the kit nor the removal sequence names"
echo "PASS"
