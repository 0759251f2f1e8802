# The benchmarks' product: 10,000 files in 100 folders, 100 shortcuts and
# 500 registry values in five of the product's keys.  Sourced after lib.sh
# and sample.sh, with WINEPREFIX set.
#
#   sv_footprint_kit     the kit for it in C:\SVKIT: KITPURGE.DAT (10,000
#                        DELETE records and 100 shortcuts), bench.reg (the
#                        values) and files.txt (every file and shortcut, the
#                        plain delete loop's list)
#   sv_footprint_stage   the files, shortcuts and values on the workstation
#   sv_footprint_left    how many of its files and shortcuts are still there

sv_footprint_kit() {
  local kit d f s key v
  kit=$(cpath "$SV_KIT")
  mkdir -p "$kit"
  {
    printf 'VERSION,0x1000048\r\n'
    for d in $(seq -w 0 99); do
      for f in $(seq -w 0 99); do printf 'DELETE,F%s.DAT,{LDID_SV}\\D%s,_REQUIRED,0,0\r\n' "$f" "$d"; done
    done
    for s in $(seq -w 0 99); do printf 'SHORTCUT,TRLCORE_Installed,tools,Solvane 32,Tool %s,,,,\r\n' "$s"; done
  } >"$kit/KITPURGE.DAT"
  {
    for d in $(seq -w 0 99); do
      for f in $(seq -w 0 99); do printf 'C:\\SV32\\D%s\\F%s.DAT\r\n' "$d" "$f"; done
    done
    for s in $(seq -w 0 99); do printf '%s\\Solvane 32\\Tool %s.lnk\r\n' "$SV_PROGRAMS" "$s"; done
  } >"$kit/files.txt"
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n' "${SV_CONFIG//\\/\\\\}"
    printf '"LDID_SV"="C:\\\\SV32"\r\n"LDID_SV_LONG"="C:\\\\SV32"\r\n"TRLCORE_Installed"="TRUE"\r\n'
    for key in 'HKEY_LOCAL_MACHINE\SOFTWARE\OrrisLogicCorporation\SOLVANE\Event Logger' \
      'HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\RIZUDAV\Parameters' \
      'HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\TRLLAT\Parameters' \
      'HKEY_CURRENT_USER\SOFTWARE\OrrisLogicCorporation\SOLVANE\NXFT\RemoteHostList' \
      'HKEY_CURRENT_USER\SOFTWARE\OrrisLogicCorporation\SOLVANE\SVRemote\Ini'; do
      printf '\r\n[%s]\r\n' "$key"
      for v in $(seq -w 0 99); do printf '"Value%s"="SOLVANE 32 setting %s"\r\n' "$v" "$v"; done
    done
  } >"$kit/bench.reg"
}

sv_footprint_stage() {
  local product programs d f s names
  product=$(cpath "$SV_PRODUCT")
  programs=$(cpath "$SV_PROGRAMS")
  for d in $(seq -w 0 99); do
    mkdir -p "$product/D$d"
    names=()
    for f in $(seq -w 0 99); do names+=("$product/D$d/F$f.DAT"); done
    head -c 1024 /dev/zero | tee "${names[@]}" >/dev/null
  done
  mkdir -p "$programs/Solvane 32"
  names=()
  for s in $(seq -w 0 99); do names+=("$programs/Solvane 32/Tool $s.lnk"); done
  printf '[InternetShortcut]\r\n' | tee "${names[@]}" >/dev/null
  sv_wine regedit /S "$SV_KIT\\bench.reg"
}

sv_footprint_left() {
  { find "$(cpath "$SV_PRODUCT")" "$(cpath "$SV_PROGRAMS")/Solvane 32" -type f 2>/dev/null || true; } | wc -l
}
