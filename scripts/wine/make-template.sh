#!/usr/bin/env bash
# make-template.sh <dir>: the Wine prefix that every test copies, made once
# per build tree (and again when Wine changes): 32-bit, Windows version NT 4.0.  Safe to call from tests that
# run at the same time: the first one makes it, the others wait.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

dir=$(readlink -m -- "${1:?usage: make-template.sh <dir>}")
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9

# Adding or removing a Wine package (wine32, wine64) leaves the version as it
# was, but a prefix made before it updates itself slowly at every start.
want="$("$SV_WINE" --version) $(dpkg-query -W -f '${Package}=${Version} ' wine32 wine64 libwine 2>/dev/null) win32 nt40 template 4"
if [ -f "$dir/.sv-template" ] && [ "$(cat "$dir/.sv-template")" = "$want" ]; then
  exit 0
fi

start=$(date +%s%N)
tmp=$dir.new
rm -rf "$dir" "$tmp"
export WINEPREFIX=$tmp
# No display: nothing needs one, and wineboot's progress window stays away.
(
  unset DISPLAY
  if ! "$SV_WINE" wineboot -i >"$tmp.log" 2>&1; then
    cat "$tmp.log" >&2
    echo "32-bit Wine does not run here: scripts/ensure-tools.sh sets it up" >&2
    exit 1
  fi
  # The workstation the program is for.
  "$SV_WINE" reg add 'HKCU\Software\Wine' /v Version /d nt40 /f >/dev/null
  # Windows without a window manager close at once instead of after 2 s.
  "$SV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # A crash prints the debugger's report (process, backtrace) on the crashed
  # program's stderr instead of opening a dialog that waits for a click.
  "$SV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
  "$SV_WINE" reg add 'HKCU\Software\Wine\DllOverrides' /v mscoree /d '' /f >/dev/null
  "$SV_WINE" reg add 'HKCU\Software\Wine\DllOverrides' /v mshtml /d '' /f >/dev/null
  "$SV_WINE" reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null
  "$SV_WINESERVER" -w
)
echo "$want" >"$tmp/.sv-template"
mv "$tmp" "$dir"
ms=$((($(date +%s%N) - start) / 1000000))
printf 'Wine template prefix made in %d.%03d s: %s\n' $((ms / 1000)) $((ms % 1000)) "$dir"
