# Shared by the Wine scripts and by shell tests (tests/wine/*_test.sh), which
# find these functions already defined when run-test.sh starts them.
#
#   sv_wine <program> [args]  runs a Windows program in $WINEPREFIX
#   wine_wait                 waits until every program started in the prefix
#                             ended (Wine's resident services aside)
#   sv_server_start / sv_server_stop
#                             the prefix's one persistent wineserver; stopping
#                             it ends the session and saves the registry files
#   uidriver <command> ...    runs UIDRIVER.EXE (see tools/uidriver)
#   winpath <unix path>       the same path as Windows sees it (Z:\...)
#   cpath <C:\path>           the Unix path of a path on the prefix's C: drive
#   sv_install <dir> <file>.. copies files of $SV_BIN to C:\<dir>
#   sv_reg <reg.exe args>     sv_wine reg ..., quietly
#   sv_start_display / sv_stop_display
#                             a private Xvfb when $DISPLAY is unset or unusable
#   sv_workstation <template> a fresh $WINEPREFIX from the template, with a
#                             display and its server, ended when the script exits

# The program as shipped runs on 32-bit Wine with a 32-bit-only prefix, like
# NT 4.0: no syswow64, no registry redirection.
SV_WINE=${SV_WINE:-/usr/lib/wine/wine}
SV_WINESERVER=${SV_WINESERVER:-/usr/lib/wine/wineserver}
export SV_WINE SV_WINESERVER
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts, no menu entries in the user's desktop.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

sv_wine() { "$SV_WINE" "$@"; }

# The process ids of this prefix's programs whose command line holds $1
# (every program when empty), the services Wine keeps resident beside a
# persistent server aside.  A Wine process is the 32-bit loader, or the
# emulator that binfmt_misc runs it with where the kernel runs no 32-bit
# code; its command line names the Windows program.
sv_wine_pids() {
  local pattern=${1:-} p exe cmd
  for p in /proc/[0-9]*; do
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null || continue
    exe=$(readlink "$p/exe" 2>/dev/null) || continue
    case $exe in "$SV_WINE" | */qemu-i386*) ;; *) continue ;; esac
    cmd=$(tr '\0' ' ' <"$p/cmdline" 2>/dev/null) || continue
    case ${cmd,,} in
      '' | *'\system32\services.exe'* | *'\system32\winedevice.exe'* | *'\system32\plugplay.exe'* | \
        *'\system32\svchost.exe'* | *'\system32\rpcss.exe'* | *'\explorer.exe'*) continue ;;
    esac
    [[ ${cmd,,} == *"${pattern,,}"* ]] && echo "${p#/proc/}"
  done
  return 0
}

sv_wine_busy() { [ -n "$(sv_wine_pids)" ]; }

# Waits (at most $1 seconds, default 120) until no program of the prefix
# runs; without a persistent server, until the server ended.
wine_wait() {
  local limit=${1:-120} i
  if [ -z "${SV_SERVER_PERSISTENT:-}" ]; then
    timeout "$limit" "$SV_WINESERVER" -w
    return
  fi
  for ((i = 0; i < limit * 10; i++)); do
    sv_wine_busy || return 0
    sleep 0.1
  done
  echo "wine_wait: programs of the prefix still run after $limit s" >&2
  return 1
}

# One server for the prefix's whole life: without it each program start
# races the shutdown of the server the last one left, which emulation makes
# slow.  The resident services start here, their output going nowhere, so
# that a later $(...) around a Wine program does not wait for them.
sv_server_start() {
  "$SV_WINESERVER" -p </dev/null >/dev/null 2>&1 || return 1
  SV_SERVER_PERSISTENT=1
  export SV_SERVER_PERSISTENT
  "$SV_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Ends the session: every program, the services and the server, which saves
# the registry to the prefix's .reg files on the way out.  A program may
# still run: it ends with the session, as at a restart.
sv_server_stop() {
  "$SV_WINESERVER" -k 2>/dev/null
  local i
  for ((i = 0; i < 300; i++)); do
    "$SV_WINESERVER" -k0 2>/dev/null || break
    sleep 0.1
  done
  SV_SERVER_PERSISTENT=
}

# Ends the session once the programs ended (or after $1 seconds, default
# 30): the prefix's system.reg and user.reg then hold the registry.  The
# caller reads them and starts the next session with sv_server_start.
sv_session_end() {
  wine_wait "${1:-30}" 2>/dev/null || true
  sv_server_stop
}

winpath() {
  local p
  p=$(readlink -m -- "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

cpath() {
  local p=${1#[Cc]:}
  p=${p//\\//}
  printf '%s/drive_c%s\n' "$WINEPREFIX" "$p"
}

uidriver() { "$SV_WINE" "$(winpath "$SV_BIN/UIDRIVER.EXE")" "$@"; }

sv_install() {
  local dir=$1
  shift
  local target
  target=$(cpath "C:\\$dir")
  mkdir -p "$target"
  local f
  for f in "$@"; do cp -- "$SV_BIN/$f" "$target/"; done
}

sv_reg() { "$SV_WINE" reg "$@" >/dev/null; }

sv_display_usable() {
  [ -n "${DISPLAY:-}" ] && timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1
}

# Sets DISPLAY; SV_XVFB_PID is the private server's process, if one started.
sv_start_display() {
  SV_XVFB_PID=
  if [ "${SV_PRIVATE_DISPLAY:-0}" != 1 ] && sv_display_usable; then
    return 0
  fi
  local fdfile
  fdfile=$(mktemp)
  # Xvfb picks a free display number itself and writes it once it accepts
  # connections, so parallel tests never collide.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
  SV_XVFB_PID=$!
  local i
  for i in $(seq 1 200); do
    if [ -s "$fdfile" ]; then break; fi
    if ! kill -0 "$SV_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  local n
  n=$(tr -d '[:space:]' <"$fdfile")
  rm -f "$fdfile"
  if [ -z "$n" ]; then
    echo "could not start Xvfb" >&2
    kill "$SV_XVFB_PID" 2>/dev/null
    SV_XVFB_PID=
    return 1
  fi
  export DISPLAY=:$n
}

sv_stop_display() {
  if [ -n "${SV_XVFB_PID:-}" ]; then
    kill "$SV_XVFB_PID" 2>/dev/null
    wait "$SV_XVFB_PID" 2>/dev/null
    SV_XVFB_PID=
  fi
}

# A fresh prefix at $1, copied from the template at $2 (made when missing).
sv_new_prefix() {
  local prefix=$1 template=$2
  "$(dirname "${BASH_SOURCE[0]}")/make-template.sh" "$template" || return 1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  cp -a "$template" "$prefix"
  rm -f "$prefix/.sv-template"
}

# For scripts that run outside run-test.sh (the demo, the benchmarks).
sv_workstation() {
  sv_new_prefix "$WINEPREFIX" "$1" >/dev/null || return 1
  sv_start_display || return 1
  trap sv_workstation_end EXIT
  sv_server_start
}

sv_workstation_end() {
  wine_wait 20 2>/dev/null || true
  sv_server_stop
  sv_stop_display
}
