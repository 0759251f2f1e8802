#!/usr/bin/env bash
# Installs, from Debian's packages, whatever scripts/tools.list names and this
# machine lacks.  Installs nothing when everything is there.
set -euo pipefail
list=$(dirname "$0")/tools.list

need=()
while read -r what package; do
  case $what in '' | '#'*) continue ;; esac
  if [[ $what == /* ]]; then
    compgen -G "$what" >/dev/null && continue
  else
    command -v "$what" >/dev/null && continue
  fi
  [[ " ${need[*]} " == *" $package "* ]] || need+=("$package")
done <"$list"

if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${need[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
