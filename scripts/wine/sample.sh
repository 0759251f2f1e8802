# A sample SOLVANE 32 installation in a Wine prefix, a report of what an
# uninstall did to each of its items, and the checks of the shell tests.
# Sourced by scripts/demo.sh, the benchmark and the shell tests
# (tests/wine/*_test.sh), after lib.sh.
#
#   sv_sample_tools               builds HOLDFILE.EXE into $SV_BIN when missing
#   sv_sample_stage               the kit in C:\SVKIT and the installed product
#   sv_sample_bulk <count>        <count> more files of the product, with their
#                                 DELETE records in the kit
#   sv_sample_hold                starts the product's agent holding SVCORE.DLL
#   sv_sample_release             ends the agent
#   sv_sample_run [switches...]   starts KITPURGE.EXE in the background
#                                 (SV_SAMPLE_PID)
#   sv_sample_run_refused         a silent run the network library fails
#   sv_sample_snapshot <file>     the state of every item, one "item<TAB>state" line
#   sv_sample_report <before> <after> [<restart>]
#                                 the table of items and what happened to them
#   sv_sample_log                 the setup log C:\SVSETUP.LOG as text
#   sv_wizard_setup [version]     the program and the wizard tests' kit in C:\SVKIT
#   sv_wait_exit                  waits for KITPURGE.EXE, checks exit code 0
#   sv_ui <command> ...           UIDRIVER.EXE with plain LF line ends
#   sv_verify [/JSON]             KITPLAN.EXE /VERIFY beside the kit: its output in
#                                 $SV_WORK/verify.out, its exit code in SV_VERIFY_RC
#   sv_verify_items <doc> <list>  a list of the verify document, decoded
#   sv_verify_string <doc> <name> one of its strings or numbers, decoded
#   sv_check_box, sv_check_log, sv_check_log_bytes, sv_state, sv_string,
#   sv_shot, ...                  checks and aids of the tests (below)
#
# Needs WINEPREFIX, SV_BIN and SV_SRC.

SV_KIT='C:\SVKIT'
SV_PRODUCT='C:\SV32'
SV_SYS='C:\windows\system32'
SV_WIN='C:\windows'
SV_PROGRAMS='C:\ProgramData\Microsoft\Windows\Start Menu\Programs'
# The kit names the desktop shortcut's folder as ..\..\Desktop below the
# common programs folder, as the installer created it.
SV_KIT_DESKTOP='C:\ProgramData\Microsoft\Windows\Desktop'
SV_CONFIG='SOFTWARE\OrrisLogicCorporation\SOLVANE\Setup\CurrentConfiguration'
SV_CONFIG_KEY="HKLM\\$SV_CONFIG"
SV_LOG=${WINEPREFIX:+$(cpath 'C:\SVSETUP.LOG')}
SV_SHOTS=${SV_BIN:+$(readlink -m "$SV_BIN/../screenshots")}
SV_ENV='SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
SV_WINE_PATH='%SystemRoot%\system32;%SystemRoot%;%SystemRoot%\system32\wbem;%SystemRoot%\system32\WindowsPowershell\v1.0'

SV_SAMPLE_FILES=(
  "$SV_PRODUCT\\SVREMOTE.EXE" "$SV_PRODUCT\\NXFT.EXE" "$SV_PRODUCT\\EVTVIEW.EXE"
  "$SV_PRODUCT\\SVAGENT.EXE" "$SV_PRODUCT\\SVCORE.DLL" "$SV_PRODUCT\\SVSETUP.HLP"
  "$SV_PRODUCT\\README.TXT" "$SV_PRODUCT\\SOLVANE.INI"
  "$SV_PRODUCT\\PROTOCOL\\TRELLNET\\TRELLNET.INI" "$SV_PRODUCT\\PROTOCOL\\TRELLNET\\TRLCFG.DAT"
  "$SV_PRODUCT\\PROTOCOL\\PROTOCOL.INI"
  "$SV_SYS\\SVNETLIB.DLL" "$SV_SYS\\SVPRINT.DLL" "$SV_SYS\\SVWSOCK.DLL" "$SV_SYS\\TNP16.EXE"
  "$SV_SYS\\OEMNXPTL.INF" "$SV_SYS\\OEMNXRDR.INF" "$SV_SYS\\OEMNXPRT.INF"
  "$SV_SYS\\drivers\\RIZUDAV.SYS" "$SV_SYS\\drivers\\TRLLAT.SYS" "$SV_SYS\\drivers\\RAVEDOZ.SYS"
)
SV_SAMPLE_DIRS=("$SV_PRODUCT\\PROTOCOL\\TRELLNET" "$SV_PRODUCT\\PROTOCOL" "$SV_PRODUCT")
SV_SAMPLE_SHORTCUTS=(
  "$SV_PROGRAMS\\Solvane 32\\SOLVANE 32 Remote.lnk"
  "$SV_PROGRAMS\\Solvane 32\\NXFT File Transfer.lnk"
  "$SV_PROGRAMS\\Solvane 32\\NXFT File Transfer.pif"
  "$SV_PROGRAMS\\Solvane 32\\Event Log Viewer.lnk"
  "$SV_PROGRAMS\\Solvane 32\\Read Me.lnk"
  "$SV_PROGRAMS\\SOLVANE 32.lnk"
  "$SV_KIT_DESKTOP\\SOLVANE 32 Remote.lnk"
  "$SV_PROGRAMS\\Administrative Tools\\VUDU Monitor.lnk"
)
SV_SAMPLE_AUTOEXEC=(
  '@echo off'
  'REM AUTOEXEC.NT is used to initialize the MS-DOS environment.'
  'lh %SystemRoot%\system32\mscdexnt.exe'
  'lh %SystemRoot%\system32\redir'
  'SET KSTA=C:\SV32'
  'lh C:\SV32\TNP16.EXE /I:TRELLNET'
  'lh %SystemRoot%\system32\dosx'
  'SET TEMP=C:\TEMP'
)
SV_SAMPLE_KEYS=(
  "HKLM\\$SV_CONFIG"
  'HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE\Event Logger'
  'HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE\Setup'
  'HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE\NXFT\RemoteHostList'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE\NXFT'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE\Event Log Viewer'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE\SVRemote\Ini'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE\SVRemote'
  'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE'
  'HKLM\SYSTEM\CurrentControlSet\Services\RIZUDAV'
  'HKLM\SYSTEM\CurrentControlSet\Services\RIZUDAV\Parameters'
  'HKLM\SYSTEM\CurrentControlSet\Services\TRLLAT'
  'HKLM\SYSTEM\CurrentControlSet\Services\TRLLAT\Linkage'
  'HKLM\SYSTEM\CurrentControlSet\Services\RAVEDOZERUZU'
  'HKLM\SYSTEM\CurrentControlSet\Services\RAVEDOZERUZU\Parameters\Bindings'
)
# Values: key|name
SV_SAMPLE_VALUES=(
  "HKLM\\$SV_ENV|Path"
  "HKLM\\$SV_ENV|KSTA"
  'HKLM\SYSTEM\CurrentControlSet\Services\E100B1\Parameters|NetworkAddress'
  'HKLM\SYSTEM\CurrentControlSet\Services\NE20002\Parameters|NetworkAddress'
)
SV_SAMPLE_COMPONENTS=(TRELLNET SVRDR SVPRINT)

# The Unix path of a C: path of the prefix, case as written.
sv_upath() { cpath "$1"; }

# HOLDFILE.EXE is built with the win32 preset.
sv_sample_tools() {
  [ -f "$SV_BIN/HOLDFILE.EXE" ] || { echo "HOLDFILE.EXE missing: build the win32 preset" >&2; return 1; }
}

# Wine lists the machine's own interfaces as network cards 1, 2, ... at every
# start; the sample's adapters are numbered after them.
sv_sample_regfile() {
  local path_value="%SystemRoot%\\system32;%SystemRoot%;C:\\SV32;%SystemRoot%\\system32\\wbem;%SystemRoot%\\system32\\WindowsPowershell\\v1.0"
  local hex
  hex=$(printf '%s' "$path_value" | od -An -v -tx1 | tr -s ' \n' ',,' | sed 's/^,//; s/,$//')
  cat <<EOF
REGEDIT4

[HKEY_LOCAL_MACHINE\\$SV_CONFIG]
"LDID_SV"="C:\\\\SV32"
"LDID_SV_LONG"="C:\\\\SV32"
"InstallMode"="Typical"
"Reinstall"="FALSE"
"TRLCORE_Installed"="TRUE"
"VUDU_Installed"="TRUE"
"StartNetwork"="TRUE"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Logger]
"LogFile"="C:\\\\SV32\\\\EVENTS.LOG"
"MaxSize"=dword:00010000

[HKEY_CURRENT_USER\\SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\NXFT\\RemoteHostList]
"Host1"="trellhost1"
"Host2"="trellhost2"

[HKEY_CURRENT_USER\\SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Log Viewer]
"Columns"="Time,Source,Event"

[HKEY_CURRENT_USER\\SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\SVRemote\\Ini]
"Window"="0,0,640,480"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RIZUDAV]
"Type"=dword:00000001
"Start"=dword:00000002
"ErrorControl"=dword:00000001
"ImagePath"="System32\\\\drivers\\\\RIZUDAV.SYS"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RIZUDAV\\Parameters]
"Frames"=dword:00000010

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TRLLAT]
"Type"=dword:00000001
"Start"=dword:00000001
"ImagePath"="System32\\\\drivers\\\\TRLLAT.SYS"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TRLLAT\\Linkage]
"Bind"="\\\\Device\\\\E100B1"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RAVEDOZERUZU]
"Type"=dword:00000002
"Start"=dword:00000002
"ImagePath"="System32\\\\drivers\\\\RAVEDOZ.SYS"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\RAVEDOZERUZU\\Parameters\\Bindings]
"Adapter"="E100B1"

[HKEY_LOCAL_MACHINE\\$SV_ENV]
"Path"=hex(2):$hex,00
"KSTA"="C:\\\\SV32"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\11]
"ServiceName"="E100B1"
"Description"="Intel EtherExpress PRO/100B"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\12]
"ServiceName"="NE20002"
"Description"="Novell NE2000 Adapter"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\E100B1\\Parameters]
"NetworkAddress"="AA0004001C08"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\NE20002\\Parameters]
"NetworkAddress"="02608C123456"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\NetSetupStandIn]
"Journal"="C:\\\\SVKIT\\\\NETCFG.LOG"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\NetSetupStandIn\\Components\\TRELLNET]
"InfName"="oemnxptl.inf"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\NetSetupStandIn\\Components\\SVRDR]
"InfName"="oemnxrdr.inf"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\NetSetupStandIn\\Components\\SVPRINT]
"InfName"="oemnxprt.inf"
EOF
}

sv_sample_stage() {
  local kit
  kit=$(sv_upath "$SV_KIT")
  mkdir -p "$kit"
  cp -- "$SV_BIN/KITPURGE.EXE" "$SV_BIN/NETCFG.DLL" "$SV_BIN/SVS2TNST.EXE" "$kit/"
  cp -- "$SV_SRC/sample/KITPURGE.DAT" "$SV_SRC/sample/KITPURGE.TXT" "$SV_SRC/sample/SVTEXT.CMD" "$kit/"
  cp -- "$SV_BIN/HOLDFILE.EXE" "$(sv_upath "$SV_KIT")/"

  # A desktop that is a link to the Unix home must not receive shortcuts.
  local desktop
  for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$desktop" ]; then rm -f "$desktop" && mkdir -p "$desktop"; fi
  done

  local f u
  for f in "${SV_SAMPLE_FILES[@]}"; do
    u=$(sv_upath "$f")
    mkdir -p "$(dirname "$u")"
    printf 'SOLVANE 32 7.3.026 %s\r\n' "${f##*\\}" >"$u"
  done
  for f in "${SV_SAMPLE_SHORTCUTS[@]}"; do
    u=$(sv_upath "$f")
    mkdir -p "$(dirname "$u")"
    printf '[InternetShortcut]\r\nURL=file:///C:/SV32/\r\n' >"$u"
  done
  printf '[protocol manager]\r\nDriverName=PROTMAN$\r\n\r\n[TRELLNET]\r\nDriverName=TRLLAT$\r\n' \
    >"$(sv_upath "$SV_WIN\\PROTOCOL.INI")"
  printf '[protocol manager]\r\nDriverName=PROTMAN$\r\n' >"$(sv_upath "$SV_WIN\\PROTOCOL.SAV")"
  local line
  : >"$(sv_upath "$SV_SYS\\AUTOEXEC.NT")"
  for line in "${SV_SAMPLE_AUTOEXEC[@]}"; do
    printf '%s\r\n' "$line" >>"$(sv_upath "$SV_SYS\\AUTOEXEC.NT")"
  done

  sv_sample_regfile >"$kit/install.reg"
  sv_wine regedit /S 'C:\SVKIT\install.reg' || return 1
  rm -f "$kit/install.reg"
}

# More of the product, after sv_sample_stage: <count> files in folders of a
# hundred under C:\SV32\BULK, each with its DELETE record at the end of the
# kit (so the file phase takes them first).
sv_sample_bulk() {
  local count=$1 product d i dir file names
  product=$(sv_upath "$SV_PRODUCT")
  for ((i = 0; i < count; i++)); do
    printf 'DELETE,F%04d.DAT,{LDID_SV}\\BULK\\D%02d,_REQUIRED,0,0\r\n' "$i" $((i / 100))
  done >>"$(sv_upath "$SV_KIT\\KITPURGE.DAT")"
  for ((d = 0; d * 100 < count; d++)); do
    printf -v dir '%s/BULK/D%02d' "$product" "$d"
    mkdir -p "$dir"
    names=()
    for ((i = d * 100; i < count && i < (d + 1) * 100; i++)); do
      printf -v file '%s/F%04d.DAT' "$dir" "$i"
      names+=("$file")
    done
    printf 'SOLVANE 32 data\r\n' | tee "${names[@]}" >/dev/null
  done
}

# The product's agent keeps SVCORE.DLL open without sharing until Windows
# ends the session, or sv_sample_release ends it.
sv_sample_hold() {
  sv_wine 'C:\SVKIT\HOLDFILE.EXE' "$SV_PRODUCT\\SVCORE.DLL" &
  SV_SAMPLE_HOLD_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -n "$(sv_wine_pids HOLDFILE.EXE)" ]; then sleep 0.5; return 0; fi
    sleep 0.1
  done
  echo "the agent did not start" >&2
  return 1
}

sv_sample_release() {
  local pids
  pids=$(sv_wine_pids HOLDFILE.EXE)
  [ -z "$pids" ] || kill $pids 2>/dev/null || true
  wait "${SV_SAMPLE_HOLD_PID:-}" 2>/dev/null || true
}

sv_sample_run() {
  (cd "$(sv_upath "$SV_KIT")" && sv_wine 'C:\SVKIT\KITPURGE.EXE' "$@") &
  SV_SAMPLE_PID=$!
}

# The silent uninstall with the network library refusing to remove SVRDR
# (error 1205): its message and the failure message answered, the run ended.
sv_sample_run_refused() {
  sv_reg add 'HKLM\SOFTWARE\NetSetupStandIn\Components\SVRDR' /v RemoveError /t REG_DWORD /d 1205 /f
  sv_sample_run /SILENT
  sv_check_box 'The following error occurred while removing SVRDR\r\nError 1205 (Registry call failed)\n' exclamation ok
  sv_check_box "$SV_FAILED_MESSAGE" exclamation ok
  wait "$SV_SAMPLE_PID"
}

# Waits for the run sv_sample_run started and checks its exit code is 0.
sv_wait_exit() {
  local rc=0
  wait "$SV_SAMPLE_PID" || rc=$?
  echo "KITPURGE.EXE exit code $rc"
  [ "$rc" = 0 ]
}

# The wizard's tests: the program, the library stand-in and their own kit
# (tests/wine/data) in C:\SVKIT, on Windows NT 4.0 or the version given.
sv_wizard_setup() {
  sv_reg add 'HKCU\Software\Wine' /v Version /d "${1:-nt40}" /f
  sv_install SVKIT KITPURGE.EXE NETCFG.DLL
  cp "$SV_SRC/tests/wine/data/KITPURGE.DAT" "$(cpath "$SV_KIT")/"
  mkdir -p "$SV_SHOTS"
}

sv_sample_log() {
  local log
  log=$(sv_upath 'C:\SVSETUP.LOG')
  [ -f "$log" ] && tr -d '\r' <"$log"
}

# reg query output of the sample's keys, normalised: "KEY <path>" and
# "VAL <path>|<name>|<data>" lines.  A probe that did not run to its end
# would show every key as absent: it is run again, and fails loudly after
# three tries.
sv_sample_registry() {
  local bat out="" try
  bat=$(sv_upath "$SV_KIT")/probe.cmd
  mkdir -p "$(dirname "$bat")"
  {
    echo '@echo off'
    local k
    for k in 'HKLM\SOFTWARE\OrrisLogicCorporation' 'HKCU\SOFTWARE\OrrisLogicCorporation' \
      'HKLM\SYSTEM\CurrentControlSet\Services\RIZUDAV' 'HKLM\SYSTEM\CurrentControlSet\Services\TRLLAT' \
      'HKLM\SYSTEM\CurrentControlSet\Services\RAVEDOZERUZU' \
      'HKLM\SYSTEM\CurrentControlSet\Services\E100B1' 'HKLM\SYSTEM\CurrentControlSet\Services\NE20002' \
      "HKLM\\$SV_ENV" 'HKLM\SOFTWARE\NetSetupStandIn' 'HKLM\SOFTWARE\SocketsCleanupStandIn'; do
      printf 'reg query "%s" /s 2>nul\r\n' "$k"
    done
    printf 'echo SV-PROBE-END\r\n'
  } >"$bat"
  for try in 1 2 3; do
    out=$({ sv_wine cmd /c 'C:\SVKIT\probe.cmd' 2>"$bat.err" || true; } | tr -d '\r')
    grep -qx 'SV-PROBE-END' <<<"$out" && break
    echo "registry probe $try did not reach its end: $(head -c 300 "$bat.err")" >&2
    out=""
  done
  rm -f "$bat" "$bat.err"
  [ -n "$out" ] || return 1
  awk '
    /^HKEY_/ {
      key = $0
      sub(/^HKEY_LOCAL_MACHINE/, "HKLM", key); sub(/^HKEY_CURRENT_USER/, "HKCU", key)
      print "KEY " key; next
    }
    /^    / {
      line = substr($0, 5)
      n = split(line, parts, /    /)
      data = ""
      for (i = 3; i <= n; i++) data = data (i > 3 ? "    " : "") parts[i]
      print "VAL " key "|" parts[1] "|" data
    }' <<<"$out"
}

# One "item<TAB>state" line per item of the sample installation.
sv_sample_snapshot() {
  local out=$1 reg f u line
  reg=$(sv_sample_registry)
  {
    for f in "${SV_SAMPLE_FILES[@]}" "$SV_WIN\\PROTOCOL.INI" "$SV_SYS\\AUTOEXEC.SV"; do
      u=$(sv_upath "$f")
      if [ -f "$u" ]; then
        printf 'file %s\tpresent, %s bytes\n' "$f" "$(stat -c %s "$u")"
      else
        printf 'file %s\tabsent\n' "$f"
      fi
    done
    for f in "${SV_SAMPLE_DIRS[@]}" "$SV_PROGRAMS\\Solvane 32"; do
      u=$(sv_upath "$f")
      if [ -d "$u" ]; then printf 'directory %s\tpresent\n' "$f"; else printf 'directory %s\tabsent\n' "$f"; fi
    done
    for f in "${SV_SAMPLE_SHORTCUTS[@]}"; do
      u=$(sv_upath "$f")
      if [ -f "$u" ]; then printf 'shortcut %s\tpresent\n' "$f"; else printf 'shortcut %s\tabsent\n' "$f"; fi
    done
    u=$(sv_upath "$SV_SYS\\AUTOEXEC.NT")
    for line in "${SV_SAMPLE_AUTOEXEC[@]}"; do
      if [ -f "$u" ] && tr -d '\r' <"$u" | grep -qxF -- "$line"; then
        printf 'AUTOEXEC.NT line "%s"\tpresent\n' "$line"
      else
        printf 'AUTOEXEC.NT line "%s"\tabsent\n' "$line"
      fi
    done
    for f in "${SV_SAMPLE_KEYS[@]}"; do
      if grep -qixF -- "KEY $f" <<<"$reg"; then
        printf 'key %s\tpresent\n' "$f"
      else
        printf 'key %s\tabsent\n' "$f"
      fi
    done
    local item key name value
    for item in "${SV_SAMPLE_VALUES[@]}"; do
      key=${item%|*}
      name=${item#*|}
      # awk -v would read the backslashes as escapes; the environment does not.
      if value=$(K="VAL $key" N="$name" awk -F'|' '
          tolower($1) == tolower(ENVIRON["K"]) && tolower($2) == tolower(ENVIRON["N"]) {
            d = $0; sub(/^[^|]*\|[^|]*\|/, "", d); print d; found = 1; exit
          }
          END { exit found ? 0 : 1 }' <<<"$reg"); then
        printf 'value %s\\%s\t"%s"\n' "$key" "$name" "$value"
      else
        printf 'value %s\\%s\tabsent\n' "$key" "$name"
      fi
    done
    for f in "${SV_SAMPLE_COMPONENTS[@]}"; do
      if grep -qixF -- "KEY HKLM\\SOFTWARE\\NetSetupStandIn\\Components\\$f" <<<"$reg"; then
        printf 'network component %s\tregistered\n' "$f"
      else
        printf 'network component %s\tabsent\n' "$f"
      fi
    done
    local runs
    runs=$(grep -i '^VAL HKLM\\SOFTWARE\\SocketsCleanupStandIn|Runs|' <<<"$reg" | sed 's/.*|//' || true)
    printf 'Sockets clean-up program runs\t%s\n' "${runs:-none}"
  } >"$out"
}

# What happened to an item, from its states.
sv_sample_verdict() {
  local before=$1 after=$2 restart=$3
  if [ "$before" = "$after" ] && [ "$after" = "$restart" ]; then
    echo "unchanged"
  elif [ "$before" = absent ] && [ "$restart" != absent ]; then
    echo "created"
  elif [ "$before" != absent ] && [ "$after" != absent ] && [ "$restart" = absent ]; then
    echo "removed at the restart"
  elif [ "$before" != absent ] && [ "$after" = absent ]; then
    echo "removed"
  else
    echo "changed"
  fi
}

sv_sample_report() {
  local before=$1 after=$2 restart=${3:-$2}
  local item state_before state_after state_restart width=64
  printf '%-*s  %-18s  %-18s  %-18s  %s\n' "$width" ITEM BEFORE "AFTER UNINSTALL" "AFTER RESTART" "WHAT HAPPENED"
  while IFS=$'\t' read -r item state_before; do
    state_after=$(I=$item awk -F'\t' '$1 == ENVIRON["I"] { print $2; exit }' "$after")
    state_restart=$(I=$item awk -F'\t' '$1 == ENVIRON["I"] { print $2; exit }' "$restart")
    local verdict
    verdict=$(sv_sample_verdict "$state_before" "$state_after" "$state_restart")
    case $item in
      value*|Sockets*)
        printf '%s\n    before: %s\n    after uninstall: %s\n    after restart: %s\n    => %s\n' \
          "$item" "$state_before" "$state_after" "$state_restart" "$verdict"
        ;;
      *)
        printf '%-*s  %-18s  %-18s  %-18s  %s\n' "$width" "$item" "$state_before" "$state_after" \
          "$state_restart" "$verdict"
        ;;
    esac
  done <"$before"
}

# --- Checks for the end-to-end tests -----------------------------------------

sv_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

sv_check_file() {  # present|absent <C:\path>
  local want=$1 u
  u=$(sv_upath "$2")
  if [ -e "$u" ]; then [ "$want" = present ] || sv_fail "$2 should be gone"
  else [ "$want" = absent ] || sv_fail "$2 should be there"; fi
}

# UIDRIVER with its console's CR LF line ends made plain LF.
sv_ui() { uidriver "$@" | tr -d '\r'; }

# The string-table text of an identifier as UIDRIVER prints texts (the
# table's C escapes are the driver's escapes).
sv_string() {
  sed -n "s/^SVSTR($1, [A-Za-z0-9]*, \"\\(.*\\)\")\$/\\1/p" "$SV_SRC/src/res/strings.inc"
}

# Checks a control's state line, e.g. sv_state 12325 'enabled=1 visible=1'.
sv_state() {
  local state
  state=$(sv_ui state "$1")
  echo "control $1: $state"
  grep -q "$2" <<<"$state"
}

# Screenshot of the display into the build tree, as a .bmp.
sv_shot() {
  sleep 0.5
  sv_ui screenshot "$(winpath "$SV_SHOTS/$1.bmp")"
}

# Waits for the next message box, checks its text (as UIDRIVER prints it,
# with \r and \n) and type, and answers it unless the answer is "-".
sv_check_box() {  # <text> <icon> <answer>
  local text=$1 icon=$2 answer=$3 out
  if [ "$answer" = - ]; then
    out=$(uidriver box 180000 | tr -d '\r') || sv_fail "no message box appeared"
  else
    out=$(uidriver box 180000 --answer "$answer" | tr -d '\r') || sv_fail "no message box appeared"
  fi
  grep -qxF -- "text $text" <<<"$out" || sv_fail "unexpected box: $out"
  grep -qxF -- "icon $icon" <<<"$out" || sv_fail "unexpected icon: $out"
}

SV_RESTART_QUESTION='To complete the uninstall of SOLVANE, Windows NT needs to be restarted.\r\nWould you like to restart your computer now?\n'
SV_FAILED_MESSAGE='The uninstall of SOLVANE 32 for Windows NT has failed.'

# The log with the build number of the Wine at hand replaced by N.
sv_sample_log_normalised() {
  sv_sample_log | sed 's/^Running on Windows NT build [0-9]*\.$/Running on Windows NT build N./'
}

sv_check_log() {  # <expected text>
  local got
  got=$(sv_sample_log_normalised)
  if [ "$got" != "$1" ]; then
    diff <(printf '%s\n' "$1") <(printf '%s\n' "$got") >&2 || true
    sv_fail "the setup log differs (expected -, got +)"
  fi
}

# Checks the setup log's exact bytes against printf's reading of $1.
sv_check_log_bytes() {
  if ! cmp -s <(printf "$1") "$SV_LOG"; then
    echo "setup log differs; expected:" >&2
    printf "$1" | od -c >&2
    echo "found:" >&2
    od -c "$SV_LOG" >&2 || true
    sv_fail "the setup log differs"
  fi
}

# The registry state of the sample's keys (KEY and VAL lines, see
# sv_sample_registry).
sv_check_key() {  # present|absent <key> <registry text>
  if grep -qixF -- "KEY $2" <<<"$3"; then [ "$1" = present ] || sv_fail "key $2 should be gone"
  else [ "$1" = absent ] || sv_fail "key $2 should be there"; fi
}

sv_check_value() {  # <key|name|data> <registry text>
  grep -qixF -- "VAL $1" <<<"$2" || sv_fail "value $1 not found in: $(grep -iF "VAL ${1%%|*}" <<<"$2")"
}

# The log lines of the file phase for the sample kit, in the kit's order.
sv_sample_file_phase_log() {
  local f
  echo 'VcpOpen()'
  for f in 'C:\windows\system32\drivers\RAVEDOZ.SYS' 'C:\windows\system32\drivers\TRLLAT.SYS' \
    'C:\windows\system32\drivers\RIZUDAV.SYS' 'C:\windows\system32\OEMNXPRT.INF' \
    'C:\windows\system32\OEMNXRDR.INF' 'C:\windows\system32\OEMNXPTL.INF' \
    'C:\windows\system32\TNP16.EXE' 'C:\windows\system32\SVWSOCK.DLL' \
    'C:\windows\system32\SVPRINT.DLL' 'C:\windows\system32\SVNETLIB.DLL' \
    'C:\SV32\PROTOCOL\PROTOCOL.INI' 'C:\SV32\PROTOCOL\TRELLNET\TRLCFG.DAT' \
    'C:\SV32\PROTOCOL\TRELLNET\TRELLNET.INI' 'C:\SV32\SOLVANE.INI' 'C:\SV32\README.TXT' \
    'C:\SV32\SVSETUP.HLP' 'C:\SV32\SVCORE.DLL'; do
    echo "SvDeleteFile: $f"
  done
  echo 'SvDeleteFile failed.  File C:\SV32\SVCORE.DLL, Error 20, Sharing violation.'
  echo
  for f in 'C:\SV32\SVAGENT.EXE' 'C:\SV32\EVTVIEW.EXE' 'C:\SV32\NXFT.EXE' 'C:\SV32\SVREMOTE.EXE'; do
    echo "SvDeleteFile: $f"
  done
  echo 'SvCopyFile Src C:\windows\PROTOCOL.SAV Dest C:\windows\PROTOCOL.INI'
  echo 'VcpClose()'
}

SV_SAMPLE_LOG_START='Command line parameters /SILENT
Running on Windows NT build N.
Upgrade detected, old KSTA value = C:\SV32
Starting finish phase
Starting network control panel phase.'
SV_SAMPLE_TEXT_PHASE_LOG='Starting text file processing phase.
Found Section AUTOEXEC
Read Command FILE C:\windows\system32\AUTOEXEC.NT
Read Command DELETEBATCHCOMMAND tnp16,0
Read Command DELETEBATCHCOMMAND SET KSTA,0
Found Section SYSTEMINI
Read Command FILE C:\windows\SYSTEM.INI
Read Command DELETEINIVALUE 386Enh,device,C:\windows\system32\tnp16.386,0
Read Command DELETEINIVALUE Trellnet,,,0
Ending text file processing phase.'
SV_SAMPLE_LOG_END='Ending finish phase.
Destroying setup wizard object.
Closing setup log file.'

# --- KITPLAN.EXE /VERIFY -------------------------------------------------------

sv_verify() {
  local kit
  kit=$(sv_upath "$SV_KIT")
  mkdir -p "$kit"
  cp -- "$SV_BIN/KITPLAN.EXE" "$kit/"
  SV_VERIFY_RC=0
  (cd "$kit" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /VERIFY "$@" </dev/null >"$SV_WORK/verify.raw") ||
    SV_VERIFY_RC=$?
  tr -d '\r' <"$SV_WORK/verify.raw" >"$SV_WORK/verify.out"
}

# JSON strings of the plan's and the verify's documents, decoded: their
# escapes and the \u00XX of the code page's bytes.
SV_JSON_AWK='
  function hex(h,   v, i) {
    v = 0
    for (i = 1; i <= 4; i++) v = v * 16 + index("0123456789abcdef", tolower(substr(h, i, 1))) - 1
    return v
  }
  function decode(s,   out, i, c) {
    out = ""
    for (i = 1; i <= length(s); i++) {
      c = substr(s, i, 1)
      if (c != "\\") { out = out c; continue }
      c = substr(s, ++i, 1)
      if (c == "n") out = out "\n"
      else if (c == "r") out = out "\r"
      else if (c == "t") out = out "\t"
      else if (c == "u") { out = out sprintf("%c", hex(substr(s, i + 1, 4))); i += 4 }
      else out = out c
    }
    return out
  }'
SV_VERIFY_AWK=$SV_JSON_AWK'
  # The string after "name": on a line, or "-" when there is none.
  function field(line, name,   re) {
    re = "\"" name "\": \"([^\"\\\\]|\\\\.)*\""
    if (match(line, re)) return decode(substr(line, RSTART + length(name) + 5, RLENGTH - length(name) - 6))
    re = "\"" name "\": [0-9]+"
    if (match(line, re)) return substr(line, RSTART + length(name) + 4, RLENGTH - length(name) - 4)
    return "-"
  }'

# "traces" and "at_restart": "kind<TAB>where[<TAB>item]" a line;
# "pending_operations": one operation a line; upper case.
sv_verify_items() {  # <document> <list>
  mawk -v want="  \"$2\": [" "$SV_VERIFY_AWK"'
    index($0, want) == 1 { on = 1; if ($0 ~ /\]/) exit; next }
    on && /^  \]/ { exit }
    on && /"kind": / {
      item = field($0, "item")
      print toupper(field($0, "kind") "\t" field($0, "where") (item == "" ? "" : "\t" item))
      next
    }
    on { s = $0; sub(/^ *"/, "", s); sub(/",?$/, "", s); print toupper(decode(s)) }' "$1"
}

sv_verify_string() {  # <document> <name>
  mawk -v name="$2" "$SV_VERIFY_AWK"'
    { v = field($0, name); if (v != "-") { print v; exit } }' "$1"
}
