#!/usr/bin/env bash
# Benchmark (not a test) of KITPLAN.EXE /VERIFY and /ROLLUP.
#
# /VERIFY against the uninstall, on the footprint of scripts/bench-uninstall.sh
# (10,000 files in 100 folders, 100 shortcuts, 500 registry values), in one
# fresh Wine prefix, BENCH_ROUNDS times (default 3): each round stages the
# footprint, times KITPLAN.EXE /VERIFY /JSON (start to end), then
# KITPURGE.EXE /SILENT (start to its restart question, as the uninstall
# benchmark does).  Target: the verify under half the uninstall's time.
#
# /ROLLUP over 1,000 documents: the sample workstation's document in four
# verdicts under 1,000 computer names.  Target: under 2 seconds.
#
# Uses the win32 build as it is; BENCH_DIR moves the prefix (e.g. to a tmpfs).
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
rounds=${BENCH_ROUNDS:-3}
export SV_BIN=$src/build/win32/bin SV_SRC=$src
source scripts/wine/lib.sh
source scripts/wine/sample.sh
[ -f "$SV_BIN/KITPLAN.EXE" ] || { echo "build the win32 preset first" >&2; exit 1; }
root=$src/build/win32/wine
work=${BENCH_DIR:-$root/verify-bench}
export WINEPREFIX=$work/prefix SV_WORK=$work
rm -rf "$work"
mkdir -p "$work"
sv_workstation "$root/template"

source scripts/wine/footprint.sh
kit=$(cpath "$SV_KIT")
sv_footprint_kit
cp -- "$SV_BIN/KITPURGE.EXE" "$SV_BIN/KITPLAN.EXE" "$SV_BIN/NETCFG.DLL" "$SV_BIN/SVS2TNST.EXE" "$kit/"
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

sv_wine cmd /c exit >/dev/null 2>&1 || true
verify_times=()
kit_times=()
for round in $(seq 1 "$rounds"); do
  sv_footprint_stage
  start=$(now_ms)
  sv_verify /JSON
  end=$(now_ms)
  verify_times+=($((end - start)))
  traces=$(sv_verify_items "$SV_WORK/verify.out" traces | wc -l)
  start=$(now_ms)
  sv_sample_run /SILENT
  uidriver box 900000 --shown >/dev/null
  end=$(now_ms)
  uidriver answer no 20000 >/dev/null
  wait "$SV_SAMPLE_PID" || true
  kit_times+=($((end - start)))
  printf 'round %d: KITPLAN.EXE /VERIFY %d ms (exit code %s, %d traces), KITPURGE.EXE %d ms\n' "$round" \
    "${verify_times[-1]}" "$SV_VERIFY_RC" "$traces" "${kit_times[-1]}"
done
verify_median=$(median "${verify_times[@]}")
kit_median=$(median "${kit_times[@]}")

# A thousand workstations' documents: the sample's, untouched (traces
# remain), and the three other verdicts, a fleet in mid-rollout.
rm -rf "$(cpath "$SV_PRODUCT")" "$(cpath "$SV_PROGRAMS")/Solvane 32"
sv_sample_stage
sv_verify /JSON
fleet=$(cpath 'C:\FLEET')
mkdir -p "$fleet"
for i in $(seq -w 0 999); do
  case $((10#$i % 4)) in
    0) verdict='traces remain' code=2 ;;
    1) verdict='clean' code=0 ;;
    2) verdict='restart pending' code=1 ;;
    3) verdict='cannot tell' code=3 ;;
  esac
  sed -e "s/^  \"computer\": .*/  \"computer\": \"WS$i\",/" -e "s/^  \"verdict\": .*/  \"verdict\": \"$verdict\",/" \
    -e "s/^  \"exit_code\": .*/  \"exit_code\": $code,/" "$SV_WORK/verify.out" >"$fleet/WS$i.json"
done
start=$(now_ms)
rc=0
(cd "$kit" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /ROLLUP 'C:\FLEET' >"$work/rollup.txt") || rc=$?
end=$(now_ms)
rollup_ms=$((end - start))

echo
echo "10,000 files in 100 folders, 100 shortcuts, 500 registry values; $rounds rounds"
printf 'KITPLAN.EXE /VERIFY /JSON  median %6d ms\n' "$verify_median"
printf 'KITPURGE.EXE /SILENT       median %6d ms\n' "$kit_median"
awk -v a="$verify_median" -v b="$kit_median" 'BEGIN { printf "ratio                      %.2f (target < 0.50)\n", a / b }'
printf 'KITPLAN.EXE /ROLLUP of %d documents: %d ms (target < 2000), exit code %d\n' \
  "$(ls "$fleet" | wc -l)" "$rollup_ms" "$rc"
head -3 "$work/rollup.txt" | tr -d '\r'
