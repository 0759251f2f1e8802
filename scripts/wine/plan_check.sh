# The plan must be true: on a staged sample workstation, KITPLAN.EXE /JSON
# changes nothing in the whole prefix, and KITPURGE.EXE /SILENT with the same
# switches then changes exactly what the plan said.  Sourced by the Wine
# tests; it brings sample.sh and snapshot.sh, and stages the workstation.
#
#   sv_plan_check [switches...]   runs both programs and compares; the
#                                 restart question is answered No, as the
#                                 plan answers it.  SV_PLAN_HOLD=1 keeps
#                                 SVCORE.DLL open (the product's agent) while
#                                 both run.  Leaves the plan in $SV_WORK/plan.json.

source "$SV_SRC/scripts/wine/sample.sh"
source "$SV_SRC/scripts/wine/snapshot.sh"
sv_sample_tools
sv_sample_stage

# The items of one list of the plan's "effect", one per line, unescaped and
# upper case.
sv_plan_list() {  # <plan.json> <name>
  mawk -v want="\"$2\": [" '
    index($0, want) { on = 1; if ($0 ~ /\]/) exit; next }
    on && /^ *\]/ { exit }
    on {
      s = $0; sub(/^ *"/, "", s); sub(/",?$/, "", s)
      gsub(/\\\\/, "\\", s); gsub(/\\"/, "\"", s)
      print toupper(s)
    }' "$1"
}

# A top-level string of the plan, decoded.
sv_plan_string() {  # <plan.json> <name>
  mawk -v want="  \"$2\": \"" "$SV_JSON_AWK"'
    index($0, want) == 1 {
      s = substr($0, length(want) + 1); sub(/",?$/, "", s)
      printf "%s", decode(s)
      exit
    }' "$1"
}

# The stand-in network library's journal of calls.
sv_plan_journal() {
  local log
  log=$(sv_upath "$SV_KIT\\NETCFG.LOG")
  if [ -f "$log" ]; then tr -d '\r' <"$log"; fi
}

# Stops the agent that holds SVCORE.DLL, if it runs.
sv_plan_release() {
  if [ -n "${SV_SAMPLE_HOLD_PID:-}" ]; then
    sv_sample_release
    SV_SAMPLE_HOLD_PID=
  fi
}

sv_plan_check() {
  local work=$SV_WORK kit
  kit=$(sv_upath "$SV_KIT")
  cp -- "$SV_BIN/KITPLAN.EXE" "$kit/"
  sv_prefix_snapshot "$work/before.txt"

  [ "${SV_PLAN_HOLD:-0}" = 1 ] && sv_sample_hold
  (cd "$kit" && sv_wine 'C:\SVKIT\KITPLAN.EXE' /JSON "$@") | tr -d '\r' >"$work/plan.json" ||
    sv_fail "KITPLAN.EXE failed"
  grep -q '"effect"' "$work/plan.json" || sv_fail "no plan: $(head -c 2000 "$work/plan.json")"
  sv_plan_release
  sv_prefix_snapshot "$work/planned.txt"
  # The stand-in library journals lookups too: planning may only have
  # looked components up.
  if sv_plan_journal | grep -v '^NetSetupFindSoftwareComponent ' | grep -q .; then
    sv_fail "planning called the network library: $(sv_plan_journal)"
  fi
  sv_prefix_diff "$work/before.txt" "$work/planned.txt" |
    grep -vxF '+ F C:\SVKIT\NETCFG.LOG' >"$work/plan-changes.txt" || true
  # KITPLAN.EXE itself was copied in before the first snapshot.
  [ ! -s "$work/plan-changes.txt" ] ||
    sv_fail "planning changed the workstation: $(head -40 "$work/plan-changes.txt")"

  [ "${SV_PLAN_HOLD:-0}" = 1 ] && sv_sample_hold
  sv_sample_run "$@"
  sv_check_box "$SV_RESTART_QUESTION" question no
  wait "$SV_SAMPLE_PID"
  sv_plan_release
  sv_prefix_snapshot "$work/after.txt"
  sv_prefix_diff "$work/planned.txt" "$work/after.txt" >"$work/changes.txt"

  # What the plan says, as the snapshot's items.
  local p=$work/plan.json
  {
    sv_plan_list "$p" files_removed | sed 's/^/- F /'
    sv_plan_list "$p" directories_removed | sed 's/^/- D /'
    sv_plan_list "$p" files_created | sed 's/^/+ F /'
    sv_plan_list "$p" directories_created | sed 's/^/+ D /'
    sv_plan_list "$p" files_changed | sed 's/^/~ F /'
    sv_plan_list "$p" keys_removed | sed 's/^/- K /'
    sv_plan_list "$p" keys_created | sed 's/^/+ K /'
    sv_plan_list "$p" values_removed | sed 's/^/- V /'
    # Set values: new ones appear, others change.
    sv_plan_list "$p" values_set | sed 's/=.*//' | while read -r v; do
      if grep -qxF "V $v" <(cut -f1 "$work/planned.txt"); then echo "~ V $v"; else echo "+ V $v"; fi
    done
    if [ -n "$(sv_plan_list "$p" pending_operations)" ]; then
      local pending='V HKLM\SYSTEM\CURRENTCONTROLSET\CONTROL\SESSION MANAGER\\PENDINGFILERENAMEOPERATIONS'
      if grep -qxF "$pending" <(cut -f1 "$work/planned.txt"); then echo "~ $pending"; else echo "+ $pending"; fi
    fi
  } | sort >"$work/expected.txt"

  # What really changed, less what went with a removed key (its values and
  # sub-keys' items) and what the stand-ins of the network library and the
  # Sockets clean-up program do in their own processes (checked below).
  local removed_keys
  removed_keys=$(sv_plan_list "$p" keys_removed)
  mawk -v keys="$removed_keys" '
    BEGIN { n = split(keys, k, "\n"); for (i = 1; i <= n; i++) gone[k[i]] = 1 }
    /^- V / { s = substr($0, 5); sub(/\\\\.*/, "", s); if (s in gone) next }
    { print }' "$work/changes.txt" |
    grep -v -e 'NETSETUPSTANDIN' -e 'SOCKETSCLEANUPSTANDIN' -e '^[+~] F C:\\SVKIT\\NETCFG.LOG$' |
    sort >"$work/actual.txt"
  diff -u "$work/expected.txt" "$work/actual.txt" >"$work/mismatch.txt" ||
    sv_fail "the uninstall did not change what the plan said (- planned only, + done only):
$(cat "$work/mismatch.txt")"

  # The library's journal: the removals the plan lists, in its order.
  local planned_calls actual_calls
  planned_calls=$(mawk '/"kind": "net-remove"/ { sub(/.*"target": "/, ""); sub(/".*/, ""); print "remove " $0 }
                        /"kind": "net-review-bindings"/ { print "review" }' "$p")
  actual_calls=$(sv_plan_journal |
    mawk '/^NetSetupComponentRemove/ { print "remove " $2 } /^NetSetupReviewBindings/ { print "review" }')
  [ "$planned_calls" = "$actual_calls" ] ||
    sv_fail "network library calls: planned [$planned_calls], made [$actual_calls]"
  # The Sockets clean-up program runs exactly when the plan starts it.
  local planned_start=0
  grep -q '"kind": "start-process", "target": "svs2tnst.exe", "detail": "0x80", "result": 0' "$p" &&
    planned_start=1
  local ran=0
  grep -qF 'V HKLM\SOFTWARE\SOCKETSCLEANUPSTANDIN\\RUNS' <(cut -f1 "$work/after.txt") && ran=1
  [ "$planned_start" = "$ran" ] || sv_fail "Sockets clean-up: planned $planned_start, ran $ran"
  # The plan shows the log the run wrote.
  local planned_log
  planned_log=$(sv_plan_string "$p" log | tr -d '\r')
  [ "$planned_log" = "$(sv_sample_log)" ] ||
    sv_fail "the log differs: $(diff <(echo "$planned_log") <(sv_sample_log) | head -20)"
}
