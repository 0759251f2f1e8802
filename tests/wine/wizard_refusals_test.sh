#!/usr/bin/env bash
# KITPURGE.EXE refuses what it must before any log exists: Windows NT 3.51
# (box 1213), and command lines it does not understand (the usage text for
# "/S" and for "/Lxx").  Each run ends with exit code 0 and no setup log.
set -euo pipefail
source "$SV_SRC/scripts/wine/sample.sh"

sv_wizard_setup nt351
sv_sample_run
sv_check_box "$(sv_string 1213)" stop ok
sv_wait_exit
[ ! -e "$SV_LOG" ]

sv_reg add 'HKCU\Software\Wine' /v Version /d nt40 /f
for line in /S /Lxx; do
  sv_sample_run "$line"
  sv_check_box "$(sv_string 10034)" exclamation ok
  sv_wait_exit
  [ ! -e "$SV_LOG" ]
done
