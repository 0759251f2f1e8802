#!/usr/bin/env bash
# Installs, from Debian's packages, whatever scripts/tools.list names and this
# machine lacks (nothing when everything is there), then makes sure that
# 32-bit Wine runs the project's programs.
#
# 32-bit Wine: a small 32-bit program of the project (tools/wine32_probe) runs
# on an NT 4.0 prefix of its own and must report 4-byte pointers and Windows
# 4.0 build 1381.  A kernel that runs 32-bit code passes as it is.  One that
# does not gets qemu-i386 (at least 8.1; bookworm's 7.2 hangs Wine) from
# the bookworm-backports suite of the machine's own Debian mirror, through a
# private apt list (the system's sources stay as they are), registered with
# binfmt_misc as "qemu-i386".  The registration is machine-wide: every i386
# program started afterwards, by anyone, runs through it, until
# `echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386` or a reboot removes it.
#
# SV_WINE32=qemu registers the emulator even where the kernel runs 32-bit
# code, to try the emulated path on such a machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
list=$here/tools.list

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

# --- 32-bit Wine ----------------------------------------------------------------
qemu=/usr/local/bin/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
probe_dir=$root/build/probe32
probe_exe=$probe_dir/PROBE32.EXE
probe_src=$root/tools/wine32_probe/wine32_probe.cpp
expected='pointer 4, Windows 4.0 build 1381, platform 2, start-up record 68'

build_probe() {
  mkdir -p "$probe_dir"
  if [ ! -f "$probe_exe" ] || [ "$probe_src" -nt "$probe_exe" ]; then
    i686-w64-mingw32-g++-win32 -O2 -s -static -o "$probe_exe" "$probe_src"
  fi
}

# True when the probe prints what a 32-bit program on NT 4.0 must see.  A
# broken emulator hangs instead of failing, hence the time limits.
probe() {
  local out=$probe_dir/probe.txt
  rm -f "$out"
  if ! timeout 300 "$here/wine/make-template.sh" "$probe_dir/prefix" >"$probe_dir/probe.log" 2>&1; then
    return 1
  fi
  (
    source "$here/wine/lib.sh"
    export WINEPREFIX=$probe_dir/prefix
    unset DISPLAY
    timeout 120 "$SV_WINE" "$(winpath "$probe_exe")" >"$out" 2>>"$probe_dir/probe.log" || true
    "$SV_WINESERVER" -k 2>/dev/null || true
  )
  [ -f "$out" ] && [ "$(tr -d '\r' <"$out")" = "$expected" ]
}

probe_failure() {
  echo "32-bit Wine does not run the project's programs here." >&2
  echo "The probe printed: $(tr -d '\r' <"$probe_dir/probe.txt" 2>/dev/null || echo nothing)" >&2
  echo "expected:          $expected" >&2
  tail -n 20 "$probe_dir/probe.log" >&2 || true
}

# Version "major.minor" of an emulator binary, empty when it does not run.
qemu_version() {
  { "$1" --version 2>/dev/null || true; } | sed -n '1s/^qemu-i386 version \([0-9]*\.[0-9]*\).*/\1/p'
}

install_qemu() {
  local version
  version=$(qemu_version "$qemu")
  if [ -n "$version" ] && awk -v v="$version" 'BEGIN { split(v, p, "."); exit !(p[1] > 8 || (p[1] == 8 && p[2] >= 1)) }'; then
    return 0
  fi
  local mirror work
  mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
    awk '$2 == "bookworm" { print $1; exit }')
  mirror=${mirror:-http://deb.debian.org/debian/}
  work=$(mktemp -d)
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"
  echo "deb $mirror bookworm-backports main" >"$work/sources.list"
  local apt=(apt-get -qq -o APT::Sandbox::User=root -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache")
  echo "Fetching qemu-i386 from ${mirror}, bookworm-backports"
  "${apt[@]}" update
  (cd "$work/download" && "${apt[@]}" download qemu-user 2>/dev/null)
  dpkg-deb --fsys-tarfile "$work"/download/qemu-user_*.deb | tar -xO --wildcards '*/bin/qemu-i386' >"$qemu.new"
  chmod 755 "$qemu.new"
  mv "$qemu.new" "$qemu"
  rm -rf "$work"
  echo "qemu-i386 $(qemu_version "$qemu") installed in $qemu"
}

# The ELF header of an i386 executable (class 32-bit, little-endian, type
# EXEC or DYN, machine 3) and the mask of the bytes compared.
register_qemu() {
  [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -f "$binfmt/qemu-i386" ]; then
    if grep -qxF "interpreter $qemu" "$binfmt/qemu-i386"; then
      echo 1 >"$binfmt/qemu-i386"
      return 0
    fi
    # Another emulator under the same name (bookworm's own is too old).
    echo -1 >"$binfmt/qemu-i386"
  fi
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >"$binfmt/register"
  echo "qemu-i386 registered with binfmt_misc (machine-wide)"
}

build_probe
if [ "${SV_WINE32:-}" != qemu ] && probe; then
  if [ -f "$binfmt/qemu-i386" ] && grep -qx enabled "$binfmt/qemu-i386"; then
    echo "32-bit Wine runs here through $(sed -n 's/^interpreter //p' "$binfmt/qemu-i386")."
  else
    echo "32-bit Wine runs here natively."
  fi
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  probe_failure
  echo "Setting up qemu-i386 for it needs root: run scripts/ensure-tools.sh as root once." >&2
  exit 1
fi
install_qemu
register_qemu
if ! probe; then
  probe_failure
  exit 1
fi
echo "32-bit Wine runs here through $qemu $(qemu_version "$qemu")."
