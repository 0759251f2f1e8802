#!/usr/bin/env bash
# run-test.sh <program.exe | script.sh> [args...]
#
# Runs one Wine test on a fresh prefix (a copy of the build tree's template)
# and exits with the test's exit code.
#  - A Windows program is copied to C:\svtest together with the files named in
#    SV_WINE_FILES (paths relative to SV_BIN) and run there.
#  - A shell script runs with WINEPREFIX, DISPLAY, SV_BIN (the bin directory),
#    SV_SRC (the source tree), SV_WORK (a scratch directory of this test) and
#    the functions of scripts/wine/lib.sh.
# A private Xvfb is started when DISPLAY is unset or unusable.  The prefix is
# deleted after a pass and kept (its path printed) after a failure.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

prog=${1:?usage: run-test.sh <program.exe|script.sh> [args...]}
shift
prog=$(readlink -m -- "$prog")
if [ ! -f "$prog" ]; then
  echo "run-test: $prog does not exist (not built yet?)" >&2
  exit 1
fi
name=$(basename "$prog")
name=${name%.*}

export SV_SRC=${SV_SRC:-$(cd "$here/../.." && pwd)}
case $prog in
  *.sh) export SV_BIN=${SV_BIN:-$SV_SRC/build/win32/bin} ;;
  *) export SV_BIN=${SV_BIN:-$(dirname "$prog")} ;;
esac
root=${SV_WINE_ROOT:-$SV_BIN/../wine}
limit=${SV_WINE_TIMEOUT:-300}
# Leave room inside CTest's limit to end Wine and the display cleanly.
limit=$((limit > 40 ? limit - 20 : limit))

run=$root/run/$name
export SV_WORK=$run/work
export WINEPREFIX=$run/prefix
rm -rf "$run"
mkdir -p "$SV_WORK"
if ! sv_new_prefix "$WINEPREFIX" "$root/template"; then
  echo "run-test: no template prefix" >&2
  exit 1
fi

# After a failure nothing of the prefix is worth waiting for.
cleanup() {
  [ "${1:-1}" = 0 ] && wine_wait 20 2>/dev/null
  sv_server_stop
  sv_stop_display
}
trap 'cleanup 1; exit 1' INT TERM

if ! sv_start_display; then
  exit 1
fi
if ! sv_server_start; then
  echo "run-test: the prefix's wineserver did not start" >&2
  cleanup 1
  exit 1
fi

export -f sv_wine sv_wine_pids sv_wine_busy wine_wait sv_server_start sv_server_stop sv_session_end winpath cpath uidriver sv_install sv_reg
# The output goes to a file rather than a pipe: Wine's own processes inherit
# it and may outlive the test.
output=$run/output.txt
case $prog in
  *.sh)
    (cd "$SV_WORK" && timeout --kill-after=10 "$limit" bash "$prog" "$@") >"$output" 2>&1
    rc=$?
    ;;
  *)
    dest=$WINEPREFIX/drive_c/svtest
    mkdir -p "$dest"
    cp -- "$prog" "$dest/"
    for f in ${SV_WINE_FILES:-}; do
      mkdir -p "$dest/$(dirname "$f")"
      cp -- "$SV_BIN/$f" "$dest/$f"
    done
    (cd "$dest" && timeout --kill-after=10 "$limit" "$SV_WINE" "C:\\svtest\\$(basename "$prog")" "$@") \
      >"$output" 2>&1
    rc=$?
    ;;
esac
[ $rc -eq 124 ] && echo "run-test: $name timed out after $limit s" >>"$output"
cleanup $rc
cat "$output"

# A crashed program ends with exit code 0 once Wine's debugger has written
# its report, whose process list marks the crashed one "(D)".  A crash of
# Wine's own programs (C:\windows\...) is reported and leaves the result as it
# is; any other crash, or one without a report, fails the test.
crashes=$(grep -ac 'starting debugger' "$output")
reported=$(grep -aE '^[0-9a-f]{8} \(D\) ' "$output" | sed 's/^[0-9a-f]* (D) //' | tr -d '\r')
ours=$(grep -aviE '^[A-Z]:\\windows\\' <<<"$reported" | grep -v '^$')
if [ "$crashes" -gt 0 ]; then
  if [ -n "$ours" ] || [ "$crashes" -gt "$(grep -c . <<<"$reported")" ]; then
    echo "run-test: $name: a program crashed: ${ours:-no report of the process}" >&2
    [ $rc -eq 0 ] && rc=1
  else
    echo "run-test: $name: Wine's own $(tr '\n' ' ' <<<"$reported")crashed; the result stands" >&2
  fi
fi
if [ $rc -eq 0 ]; then
  rm -rf "$run"
else
  echo "run-test: $name failed ($rc); its prefix is kept in $WINEPREFIX" >&2
fi
exit $rc
