#!/usr/bin/env bash
# Fails when a script under scripts/ or tests/ runs a command, or names a
# system file, that scripts/tools.list does not name: ensure-tools.sh would
# not install it on a fresh machine.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
list=scripts/tools.list

scripts=()
while IFS= read -r f; do
  case $f in
    *.sh) scripts+=("$f") ;;
    *) head -n 1 "$f" | grep -qE '^#!.*\b(ba)?sh\b' && scripts+=("$f") ;;
  esac
done < <(find scripts tests .ci -type f | sort)

found=$(awk -f tests/native/shell_commands.awk "${scripts[@]}")
known=$( {
  compgen -b
  compgen -k
  sed -n 's/^function //p' <<<"$found"
  grep -vE '^[[:space:]]*(#|$)' "$list" | awk '{ print $1 }'
} | sort -u)

calls=$(grep -vc '^function ' <<<"$found" || true)
[ "$calls" -gt 0 ] || { echo "no command found in ${#scripts[@]} scripts"; exit 1; }
unknown=$(awk 'NR == FNR { known[$1] = 1; next } !/^function / && !($2 in known) { print $0 " is not in '"$list"'" }' \
  <(printf '%s\n' "$known") <(printf '%s\n' "$found"))
bad=0
[ -z "$unknown" ] || { echo "$unknown"; bad=1; }

# Programs named by their path (the Wine loaders, the files the build needs).
globs=$(grep -oE '^/[^[:space:]]+' "$list")
while read -r where path; do
  listed=0
  while read -r glob; do
    # shellcheck disable=SC2053
    [[ $path == $glob ]] && listed=1 && break
  done <<<"$globs"
  [ $listed = 1 ] || { echo "$where $path is not in $list"; bad=1; }
done < <(grep -noE '/usr/(bin|sbin|lib/wine|include|src)/[A-Za-z0-9_.+/-]+' "${scripts[@]}" | sed 's/:\(\/usr\)/: \1/')
exit $bad
