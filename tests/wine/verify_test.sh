#!/usr/bin/env bash
# KITPLAN.EXE /VERIFY on the sample workstation, through the states a fleet
# meets, one after the other on this prefix: untouched; uninstalled while the
# product's agent holds SVCORE.DLL; restarted; installed again and uninstalled
# with the network library refusing a removal; installed again and
# uninstalled with a foreign sub-key under the configuration key.  Each
# state's document is checked whole: verdict, exit code, every trace, what
# waits for the restart, the last run.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"
sv_sample_tools
sv_sample_stage

untouched() { :; }
uninstalled() {
  sv_sample_hold
  sv_sample_run /SILENT
  sv_check_box "$SV_RESTART_QUESTION" question no
  wait "$SV_SAMPLE_PID"
}
restarted() {
  sv_wine wineboot --end-session --kill >/dev/null 2>&1 || true
  wine_wait
  sv_wine wineboot -r >/dev/null 2>&1
  wine_wait
}
network_refused() {
  sv_sample_stage
  sv_sample_run_refused
}
foreign_subkey() {
  sv_wine reg delete 'HKLM\SOFTWARE\NetSetupStandIn\Components\SVRDR' /v RemoveError /f >/dev/null
  sv_sample_stage
  sv_wine reg add "HKLM\\$SV_CONFIG\\Plugins" /v Owner /d 'another product' /f >/dev/null
  sv_sample_run /SILENT
  sv_check_box "$SV_RESTART_QUESTION" question no
  wait "$SV_SAMPLE_PID"
}

# The traces of the sample, by groups ("kind<TAB>where[<TAB>item]").
t() { local IFS=$'\t'; printf '%s\n' "$*"; }
components() { for c in "$@"; do t network-component "$c"; done; }
files_shortcuts_directories() {
  for f in "${SV_SAMPLE_FILES[@]}"; do t file "$f"; done
  for f in "${SV_SAMPLE_SHORTCUTS[@]}"; do [[ $f == *VUDU* ]] || t shortcut "$f"; done  # kept by its marker
  t program-group "$SV_PROGRAMS\\Solvane 32"
  for f in "${SV_SAMPLE_DIRS[@]}"; do t directory "$f"; done
  t line "$SV_WIN\\PROTOCOL.INI" '[TRELLNET]'
  t line "$SV_WIN\\PROTOCOL.INI" 'DriverName=TRLLAT$'
  t line "$SV_SYS\\AUTOEXEC.NT" 'SET KSTA=C:\SV32'
  t line "$SV_SYS\\AUTOEXEC.NT" 'lh C:\SV32\TNP16.EXE /I:TRELLNET'
  t entry "HKLM\\$SV_ENV\\\\Path" "$SV_PRODUCT"
  t entry "HKLM\\$SV_ENV\\\\KSTA" "$SV_PRODUCT"
}
# Sub-keys go with the product's keys; the configuration key is named when
# it cannot go.
keys() {
  for k in 'HKLM\SOFTWARE\OrrisLogicCorporation\SOLVANE' 'HKCU\SOFTWARE\OrrisLogicCorporation\SOLVANE' \
    'HKLM\SYSTEM\CurrentControlSet\Services\RIZUDAV' 'HKLM\SYSTEM\CurrentControlSet\Services\TRLLAT' \
    'HKLM\SYSTEM\CurrentControlSet\Services\RAVEDOZERUZU' "$@"; do
    t key "$k"
  done
}

expect_untouched() {
  components TRELLNET SVRDR SVPRINT
  files_shortcuts_directories
  t value 'HKLM\SYSTEM\CurrentControlSet\Services\E100B1\Parameters\\NetworkAddress'
  keys
}
expect_network_refused() {
  components SVRDR  # TRELLNET and SVPRINT went
  files_shortcuts_directories
}
expect_foreign_subkey() { keys "HKLM\\$SV_CONFIG"; }
expect_at_restart_uninstalled() {
  t file "$SV_PRODUCT\\SVCORE.DLL"
  t directory "$SV_PRODUCT"
}
expect_pending_operations_uninstalled() { printf 'delete %s\n' "$SV_PRODUCT\\SVCORE.DLL" "$SV_PRODUCT"; }
# The run queues the product directory's removal whatever it leaves in it.
expect_pending_operations_foreign_subkey() { printf 'delete %s\n' "$SV_PRODUCT"; }

# state | exit code | verdict | last run: outcome, phase, message
states=(
  'untouched|2|traces remain|none||'
  'uninstalled|1|restart pending|finished||'
  'restarted|0|clean|finished||'
  'network_refused|2|traces remain|stopped|network|The following error occurred while removing SVRDR Error 1205 (Registry call failed)'
  'foreign_subkey|2|traces remain|finished||'
)
doc=$SV_WORK/verify.out
for row in "${states[@]}"; do
  IFS='|' read -r state code verdict outcome phase message <<<"$row"
  echo "== $state"
  "$state"
  sv_verify /JSON
  cat "$doc"
  [ "$SV_VERIFY_RC" = "$code" ] || sv_fail "$state: exit code $SV_VERIFY_RC, expected $code"
  for check in "exit_code=$code" "verdict=$verdict" "outcome=$outcome" "phase=$phase" "message=$message"; do
    [ "$(sv_verify_string "$doc" "${check%%=*}")" = "${check#*=}" ] || sv_fail "$state: ${check%%=*} is not ${check#*=}"
  done
  for list in traces at_restart pending_operations; do
    expected=expect_${list}_$state
    [ "$list" = traces ] && expected=expect_$state
    diff <(if declare -F "$expected" >/dev/null; then "$expected"; fi | tr '[:lower:]' '[:upper:]' | sort) \
      <(sv_verify_items "$doc" "$list" | sort) >&2 ||
      sv_fail "$state: the $list differ (< expected, > found)"
  done
done
echo "PASS"
