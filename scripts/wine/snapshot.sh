# Whole-prefix snapshots: every file (with its checksum) and directory of
# drive C:, every registry key and value, for "what did this run change?".
# Sourced after lib.sh.
#
#   sv_prefix_snapshot <file>       writes the snapshot of $WINEPREFIX (ends
#                                   the session first, so that the registry
#                                   is saved, and starts a new one after)
#   sv_prefix_diff <before> <after> "- item", "+ item" and "~ item" lines
#
# Items: "F C:\PATH", "D C:\PATH", "K HKLM\KEY", "V HKLM\KEY\\NAME", upper
# case (names on this system compare without case); a changed file or value
# is "~".  Items Wine itself changes on every start are left out.

# Registry text of one .reg file: "K <root>\key" and "V <root>\key\\name<TAB>data".
sv_prefix_reg() {  # <file> <root name>
  mawk -v root="$2" '
    function unescape(s,   out, i, c) {
      out = ""
      for (i = 1; i <= length(s); i++) {
        c = substr(s, i, 1)
        if (c == "\\") { i++; c = substr(s, i, 1) }
        out = out c
      }
      return out
    }
    function flush() {
      if (name != "") print "V " key "\\\\" name "\t" data
      name = ""
    }
    /^\[/ {
      flush()
      k = substr($0, 2)
      sub(/\] [0-9]+$/, "", k); sub(/\]$/, "", k)
      key = root "\\" unescape(k)
      # A key without values is written only through its sub-keys.
      for (i = length(root) + 2; i <= length(key); i++)
        if (substr(key, i, 1) == "\\") print "K " substr(key, 1, i - 1)
      print "K " key
      next
    }
    cont { data = data $0; cont = sub(/\\$/, "", data); if (!cont) flush(); next }
    /^"/ || /^@=/ {
      flush()
      if (substr($0, 1, 1) == "@") { name = "@"; rest = substr($0, 3) }
      else {
        for (i = 2; i <= length($0); i++) {
          c = substr($0, i, 1)
          if (c == "\\") { i++; continue }
          if (c == "\"") break
        }
        name = unescape(substr($0, 2, i - 2)); rest = substr($0, i + 2)
      }
      data = rest
      cont = sub(/\\$/, "", data)
      if (!cont) flush()
      next
    }
    END { flush() }
  ' "$1"
}

sv_prefix_snapshot() {  # <file>
  local out=$1
  sv_session_end 30
  {
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -type d -printf 'D %p\n' &&
      find . -type f -print0 | xargs -0 -r sha1sum | mawk '{ print "F " substr($0, 43) "\t" $1 }') |
      sed 's|^\([DF]\) \./|\1 C:\\|; s|/|\\|g'
    sv_prefix_reg "$WINEPREFIX/system.reg" HKLM
    sv_prefix_reg "$WINEPREFIX/user.reg" HKCU
  } | mawk -F'\t' '{ $1 = toupper($1); print }' OFS='\t' |
    # Wine's own bookkeeping when programs start: its own keys, the font
    # cache, the temporary directory, the hardware, device, adapter and
    # display keys its services refresh.
    grep -v -e '^[KV] HKCU\\SOFTWARE\\WINE' -e '^[FD] C:\\WINDOWS\\TEMP' \
      -e '^[KV] HKLM\\HARDWARE' \
      -e '^[KV] HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\\(CLASS\|VIDEO\)' \
      -e '^[KV] HKLM\\SYSTEM\\CURRENTCONTROLSET\\ENUM' \
      -e '^[KV] HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\\(WINE\|NSI\|TCPIP\|EVENTLOG\)' \
      -e '^[KV] HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\\(PERFLIB\|NETWORKCARDS\)' \
      -e '^[KV] HKLM\\SOFTWARE\\MICROSOFT\\\(RPC\|CRYPTOGRAPHY\)' |
    sort -u >"$out"
  sv_server_start
}

sv_prefix_diff() {  # <before> <after>
  mawk -F'\t' '
    NR == FNR { before[$1] = $2; next }
    { after[$1] = $2 }
    END {
      for (i in before) if (!(i in after)) print "- " i
      for (i in after) if (!(i in before)) print "+ " i
      for (i in after) if ((i in before) && before[i] != after[i]) print "~ " i
    }
  ' "$1" "$2" | sort
}
