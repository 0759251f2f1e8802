#!/usr/bin/env bash
# KITPURGE.EXE refuses what it must before any log exists: Windows NT 3.51
# (box 1213), and command lines it does not understand (the usage text for
# "/S" and for "/Lxx").  Each run ends with exit code 0 and no setup log.
set -euo pipefail
source "$SV_SRC/tests/wine/wizard_lib.sh"

kp_setup nt351
kp_start
kp_box "$(kp_string 1213)" stop ok
kp_wait_exit
[ ! -e "$KP_LOG" ]

sv_reg add 'HKCU\Software\Wine' /v Version /d nt40 /f
for line in /S /Lxx; do
  kp_start "$line"
  kp_box "$(kp_string 10034)" exclamation ok
  kp_wait_exit
  [ ! -e "$KP_LOG" ]
done
