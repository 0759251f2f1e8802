# Shared by the wizard's Wine tests (tests/wine/wizard_*_test.sh): a
# workstation with KITPURGE.EXE, the network library stand-in and the test
# kit in C:\UNINST, and helpers to run the program and check what it shows.

KP_SHOTS=$(readlink -m "$SV_BIN/../screenshots")
KP_LOG=$(cpath 'C:\SVSETUP.LOG')
KP_CONFIG='HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE\Setup\CurrentConfiguration'

kp_setup() {
  sv_reg add 'HKCU\Software\Wine' /v Version /d "${1:-nt40}" /f
  # Unmanaged windows: no two-second wait whenever a window closes.
  sv_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  sv_install UNINST KITPURGE.EXE NETCFG.DLL
  cp "$SV_SRC/tests/wine/data/KITPURGE.DAT" "$(cpath 'C:\UNINST')/"
  mkdir -p "$KP_SHOTS"
}

# Starts the program with the given arguments; KP_PID is its process.
kp_start() {
  wine 'C:\UNINST\KITPURGE.EXE' "$@" &
  KP_PID=$!
}

# Waits for the program's end and checks its exit code is 0.
kp_wait_exit() {
  local rc=0
  wait "$KP_PID" || rc=$?
  echo "KITPURGE.EXE exit code $rc"
  [ "$rc" = 0 ]
}

# The string-table text of an identifier as UIDRIVER prints texts (the
# table's C escapes are the driver's escapes).
kp_string() {
  sed -n "s/^SVSTR($1, [A-Za-z0-9]*, \"\\(.*\\)\")\$/\\1/p" "$SV_SRC/src/res/strings.inc"
}

# UIDRIVER with its console's CR LF line ends made plain LF.
kp_ui() { uidriver "$@" | tr -d '\r'; }

# Waits for a box, checks its text and icon, and answers it.
kp_box() {
  local text=$1 icon=$2 answer=$3 box
  box=$(kp_ui box 30000 --answer "$answer")
  echo "$box"
  grep -qxF "text $text" <<<"$box" || { echo "expected text: $text" >&2; return 1; }
  grep -qx "icon $icon" <<<"$box" || { echo "expected icon: $icon" >&2; return 1; }
}

# Checks the setup log's exact bytes against printf's reading of $1.
kp_expect_log() {
  local expected
  expected=$(mktemp)
  printf "$1" >"$expected"
  if ! cmp -s "$expected" "$KP_LOG"; then
    echo "setup log differs; expected:" >&2
    od -c "$expected" >&2
    echo "found:" >&2
    od -c "$KP_LOG" >&2 || true
    rm -f "$expected"
    return 1
  fi
  rm -f "$expected"
}

# Screenshot of the display into the build tree, as a .bmp.
kp_shot() {
  sleep 0.5
  kp_ui screenshot "$(winpath "$KP_SHOTS/$1.bmp")"
}

# Checks a control's state line, e.g. kp_state 12325 'enabled=1 visible=1'.
kp_state() {
  local state
  state=$(kp_ui state "$1")
  echo "control $1: $state"
  grep -q "$2" <<<"$state"
}
