# Shared by the Wine scripts and by shell tests (tests/wine/*_test.sh), which
# find these functions already defined when run-test.sh starts them.
#
#   sv_wine <program> [args]  runs a Windows program in $WINEPREFIX
#   wine_wait                 waits until every process of the prefix ended
#   uidriver <command> ...    runs UIDRIVER.EXE (see tools/uidriver)
#   winpath <unix path>       the same path as Windows sees it (Z:\...)
#   cpath <C:\path>           the Unix path of a path on the prefix's C: drive
#   sv_install <dir> <file>.. copies files of $SV_BIN to C:\<dir>
#   sv_reg <reg.exe args>     sv_wine reg ..., quietly
#   sv_start_display / sv_stop_display
#                             a private Xvfb when $DISPLAY is unset or unusable

# SV_WINEARCH=win32 (the program as shipped: 32-bit Wine on a 32-bit-only
# prefix, like NT 4.0) or win64 (the 64-bit test build, for machines that
# cannot run 32-bit code).
SV_WINEARCH=${SV_WINEARCH:-win64}
if [ "$SV_WINEARCH" = win32 ]; then
  SV_WINE=${SV_WINE:-/usr/lib/wine/wine}
else
  SV_WINE=${SV_WINE:-/usr/lib/wine/wine64}
fi
SV_WINESERVER=${SV_WINESERVER:-/usr/lib/wine/wineserver}
export SV_WINEARCH SV_WINE SV_WINESERVER
export WINEARCH=$SV_WINEARCH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts, no menu entries in the user's desktop.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

sv_wine() { "$SV_WINE" "$@"; }
wine_wait() { "$SV_WINESERVER" -w; }

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
