#!/usr/bin/env bash
# Benchmark (not a test): KITPURGE.EXE /SILENT removing a product of 10,000
# files in 100 folders, 100 shortcuts and 500 registry values, side by side
# with BENCHLOOP.EXE, a minimal Win32 loop that deletes the same files and
# writes one flushed log line per file.  Both run in the same fresh Wine
# prefix, alternately, BENCH_ROUNDS times (default 3); the report gives every
# time, the medians and their ratio (target: at most 1.3).  BENCH_DIR moves
# the prefix (see below).
#
# Each round first times KITPLAN.EXE planning the same uninstall (start to
# end; it changes nothing).  KITPURGE.EXE is timed from its start to the
# restart question, which it asks once everything is removed; BENCHLOOP.EXE
# from its start to its end.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
rounds=${BENCH_ROUNDS:-3}

scripts/ensure-tools.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" >/dev/null

export SV_BIN=$src/build/win32/bin SV_SRC=$src
source scripts/wine/lib.sh
source scripts/wine/sample.sh
root=$src/build/win32/wine
# BENCH_DIR puts the prefix elsewhere, e.g. on a tmpfs to leave the disk's
# flush time out and compare the programs' own work.
work=${BENCH_DIR:-$root/bench}
export WINEPREFIX=$work/prefix
rm -rf "$work"
mkdir -p "$work"
sv_workstation "$root/template"

source scripts/wine/footprint.sh
kit=$(cpath "$SV_KIT")
sv_footprint_kit
cp -- "$SV_BIN/KITPURGE.EXE" "$SV_BIN/NETCFG.DLL" "$SV_BIN/SVS2TNST.EXE" "$SV_BIN/BENCHLOOP.EXE" \
  "$SV_BIN/KITPLAN.EXE" "$kit/"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Wine's own start-up costs are paid once before the first measurement.
sv_wine cmd /c exit >/dev/null 2>&1 || true

kit_times=()
loop_times=()
plan_times=()
for round in $(seq 1 "$rounds"); do
  sv_footprint_stage
  # The plan of the same uninstall, first: it changes nothing.
  start=$(now_ms)
  (cd "$kit" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /SILENT >"$work/plan.txt")
  end=$(now_ms)
  plan_times+=($((end - start)))
  start=$(now_ms)
  sv_sample_run /SILENT
  uidriver box 900000 --shown >/dev/null
  end=$(now_ms)
  uidriver answer no 20000 >/dev/null
  wait "$SV_SAMPLE_PID" || true
  left=$(sv_footprint_left)
  [ "$left" -eq 0 ] || echo "warning: KITPURGE.EXE left $left files" >&2
  kit_times+=($((end - start)))

  sv_footprint_stage
  start=$(now_ms)
  sv_wine 'C:\SVKIT\BENCHLOOP.EXE' 'C:\SVKIT\files.txt' 'C:\SVKIT\loop.log'
  end=$(now_ms)
  left=$(sv_footprint_left)
  [ "$left" -eq 0 ] || echo "warning: BENCHLOOP.EXE left $left files" >&2
  loop_times+=($((end - start)))
  printf 'round %d: KITPLAN.EXE %d ms, KITPURGE.EXE %d ms, loop %d ms\n' "$round" \
    "${plan_times[-1]}" "${kit_times[-1]}" "${loop_times[-1]}"
done

median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
kit_median=$(median "${kit_times[@]}")
loop_median=$(median "${loop_times[@]}")
plan_median=$(median "${plan_times[@]}")
lines=$(tr -d '\r' <"$(cpath 'C:\SVSETUP.LOG')" | wc -l)
echo
echo "10,000 files in 100 folders, 100 shortcuts, 500 registry values; $rounds rounds"
printf 'KITPURGE.EXE /SILENT  median %6d ms   (setup log: %d lines)\n' "$kit_median" "$lines"
printf 'BENCHLOOP.EXE         median %6d ms\n' "$loop_median"
printf 'KITPLAN.EXE (plan)    median %6d ms   (%d plan lines)\n' "$plan_median" "$(wc -l <"$work/plan.txt")"
awk -v a="$kit_median" -v b="$loop_median" 'BEGIN { printf "ratio                 %.2fx (target <= 1.30x)\n", a / b }'
