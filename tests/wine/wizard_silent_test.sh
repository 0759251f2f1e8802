#!/usr/bin/env bash
# Runs without the user: /SILENT presses Finish itself on a visible wizard,
# and /AUTOSETUP= also reads its answer file into the configuration key and
# keeps the wizard hidden.  The only question left is the final one.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"

sv_wizard_setup
sv_install SVKIT SVS2TNST.EXE
product='C:\PRODUCT'

# The head and the tail of the log are this run's own; the phases' lines in
# between are theirs.
check_log() {
  local head=$1 tail='Ending finish phase.\r\nDestroying setup wizard object.\r\nClosing setup log file.\r\n'
  local h t
  h=$(printf "$head" | od -c)
  t=$(printf "$tail" | od -c)
  [ "$(head -c "$(printf "$head" | wc -c)" "$SV_LOG" | od -c)" = "$h" ] || { od -c "$SV_LOG" >&2; return 1; }
  [ "$(tail -c "$(printf "$tail" | wc -c)" "$SV_LOG" | od -c)" = "$t" ] || { od -c "$SV_LOG" >&2; return 1; }
}

# --- /SILENT ------------------------------------------------------------------
sv_reg add "$SV_CONFIG_KEY" /v LDID_SV_LONG /d "$product" /f
mkdir -p "$(cpath "$product")"
sv_sample_run /SILENT
box=$(sv_ui box 60000)
echo "$box"
grep -qxF "text $(sv_string 10006)" <<<"$box"
sv_ui list | grep -q ' SOLVANE 32  Uninstall - Deleting Files$'  # the sheet is shown
sv_shot silent_final_question
sv_ui answer no
sv_wait_exit
check_log 'Command line parameters /SILENT\r\nRunning on Windows NT build 1381.\r\nStarting finish phase\r\n'

# --- /AUTOSETUP= ---------------------------------------------------------------
rm -f "$SV_LOG"
sv_reg add "$SV_CONFIG_KEY" /v LDID_SV_LONG /d "$product" /f
# A sub-key keeps the configuration key from being deleted at the end, so
# what the answer file wrote can be read back afterwards.
sv_reg add "$SV_CONFIG_KEY\\Keep" /f
printf '// answers of the Wine test\r\nInstallMode=Custom\r\nAnswerTest=Hello World\r\nx\r\nno equals sign\r\n' \
  >"$(cpath 'C:\ANS.TXT')"
sv_sample_run '/AUTOSETUP=C:\ANS.TXT'
box=$(sv_ui box 60000)
echo "$box"
grep -qxF "text $(sv_string 10006)" <<<"$box"
if sv_ui list | grep -q ' SOLVANE 32 .*Uninstall'; then
  echo "the wizard is shown in an automatic setup" >&2
  exit 1
fi
sv_ui answer no
sv_wait_exit
check_log 'Command line parameters /AUTOSETUP=C:\\ANS.TXT\r\nRunning on Windows NT build 1381.\r\nStarting finish phase\r\n'
query=$(sv_wine reg query "$SV_CONFIG_KEY" | tr -d '\r')
echo "$query"
grep -qE '^ +AnswerTest +REG_SZ +Hello World$' <<<"$query"
grep -qE '^ +InstallMode +REG_SZ +Custom$' <<<"$query"
if grep -q 'no equals' <<<"$query"; then exit 1; fi
