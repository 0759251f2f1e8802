# Prints "<file>:<line>: <word>" for every word a bash script runs as a
# command, and "function <name>" for every function it defines.  A reader of
# the shell's grammar as far as our scripts use it: quotes, $(...), <(...),
# $((...)), ${...}, here-documents, arrays, case patterns, [[ ]], comments,
# redirections and the wrappers that run another command (timeout, exec, ...).
# Commands named by a variable or by a path inside the tree cannot be checked
# and are left out.

# Each level of nesting keeps the word it interrupted.
function push(kind) {
  top++; kinds[top] = kind; saved[top] = buf; buf = ""
  depth[top] = 0; atcmd[top] = kind == "C"; wrap[top] = 0; pat[top] = 0; test_[top] = 0; cases[top] = 0
}
function pop() { if (top > 1) { buf = saved[top]; top-- } }

# A word ends: decide whether it was a command.
function word_end(   w) {
  w = buf; buf = ""
  if (w == "" || kinds[top] != "C") return
  if (skipword) { skipword = 0; return }
  if (test_[top]) { if (w == "]]") test_[top] = 0; return }
  if (pat[top]) {
    if (w == "esac") { cases[top]--; pat[top] = 0; atcmd[top] = 0 }
    return
  }
  if (!atcmd[top]) {
    if (w == "in" && pending_case[top]) { pending_case[top] = 0; cases[top]++; pat[top] = 1 }
    return
  }
  if (wrap[top]) {
    if (w ~ /^-/ || w ~ /^[0-9.]+[smhd]?$/ || w ~ /=/ || substr(w, 1, 1) == Q || w ~ /^\$/) return
    wrap[top] = 0
  }
  if (w ~ /^[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=/) return    # an assignment
  if (w in keyword) {
    if (w == "case") { atcmd[top] = 0; pending_case[top] = 1 }
    else if (w == "for" || w == "select" || w == "function") atcmd[top] = 0
    else if (w == "[[") test_[top] = 1
    else if (w == "esac") cases[top]--
    return
  }
  atcmd[top] = 0
  if (w in wrapper) { wrap[top] = 1; atcmd[top] = 1 }
  if (substr(w, 1, 1) == Q || w ~ /^\$/ || (w ~ /\// && w !~ /^\//)) return
  printf "%s:%d: %s\n", FILENAME, start_line, w
}

function separator() { word_end(); atcmd[top] = 1; wrap[top] = 0 }

BEGIN {
  Q = "\034"   # stands for quoted or substituted text inside a word
  split("if then else elif fi do done while until for in case esac function select time ! { } [[ ]]", k, " ")
  for (i in k) keyword[k[i]] = 1
  split("timeout exec command nohup env xargs nice", k, " ")
  for (i in k) wrapper[k[i]] = 1
}

FNR == 1 { top = 0; push("C"); buf = ""; heredoc = ""; squote = 0; skipword = 0 }

{
  line = $0
  if (heredoc != "") {
    t = line; if (heredoc_tabs) sub(/^\t+/, "", t)
    if (t == heredoc) heredoc = ""
    next
  }
  n = length(line)
  if (!squote) start_line = FNR
  for (i = 1; i <= n; i++) {
    c = substr(line, i, 1); c2 = substr(line, i, 2)
    if (squote) { if (c == "'") squote = 0; continue }
    kind = kinds[top]
    if (kind == "B") {                      # ${...}: skipped, braces counted
      if (c == "\\") { i++; continue }
      if (c == "{") depth[top]++
      else if (c == "}") { if (depth[top] == 0) pop(); else depth[top]-- }
      continue
    }
    if (c == "\\") { if (i == n) cont = 1; buf = buf Q; i++; continue }
    if (kind == "D") {                      # "...": only $( and ${ matter
      if (c == "\"") { pop(); continue }
      if (c2 == "$(" && substr(line, i + 2, 1) == "(") { push("A"); i += 2; continue }
      if (c2 == "$(") { push("C"); i++; continue }
      if (c2 == "${") { push("B"); i++; continue }
      continue
    }
    if (kind == "A") {                      # $((...)): only $( matters
      if (c2 == "$(") { push("C"); i++; continue }
      if (c == "(") depth[top]++
      else if (c == ")") { if (depth[top] == 0) { pop(); i++ } else depth[top]-- }
      continue
    }
    # Command context ("C") and array literals ("L": words, but no commands).
    if (c == "'") { squote = 1; buf = buf Q; continue }
    if (c == "\"") { buf = buf Q; push("D"); continue }
    if (c2 == "${") { buf = buf Q; push("B"); i++; continue }
    if (c2 == "$(" && substr(line, i + 2, 1) == "(") { buf = buf Q; push("A"); i += 2; continue }
    if (c2 == "$(") { buf = buf Q; push("C"); i++; continue }
    if (c == "#" && buf == "") break
    if (c == " " || c == "\t") { word_end(); continue }
    if (kind == "L") { if (c == ")") { pop(); buf = "" } else buf = buf c; continue }
    if (c2 == "<(" || c2 == ">(") { word_end(); skipword = 0; push("C"); i++; continue }
    if (c2 == "<<" && substr(line, i + 2, 1) != "<") {
      word_end()
      rest = substr(line, i + 2)
      heredoc_tabs = sub(/^-/, "", rest)
      sub(/^[ \t]*/, "", rest)
      match(rest, /^['"]?[A-Za-z_][A-Za-z0-9_]*/)
      heredoc = substr(rest, 1, RLENGTH); gsub(/['"]/, "", heredoc)
      i += 1 + heredoc_tabs
      skipword = 1
      continue
    }
    if (c == "<" || c == ">") {
      if (buf ~ /^[0-9]+$/) buf = ""
      word_end()
      while (substr(line, i + 1, 1) ~ /[<>&]/) i++
      if (substr(line, i + 1, 1) ~ /[0-9-]/ && substr(line, i, 1) == "&") { i++; continue }
      skipword = 1
      continue
    }
    if (c == "(") {
      if (buf ~ /=$/) { buf = ""; push("L"); continue }
      if (buf != "" && substr(line, i + 1, 1) == ")") { defs[buf] = 1; buf = ""; i++; continue }
      if (c2 == "((") { word_end(); push("A"); i++; continue }
      if (pat[top]) continue
      word_end(); push("C"); continue
    }
    if (c == ")") {
      if (pat[top]) { buf = ""; pat[top] = 0; atcmd[top] = 1; continue }
      word_end(); if (top > 1) pop(); continue
    }
    if (c2 == ";;") { word_end(); i++; pat[top] = cases[top] > 0; atcmd[top] = 1; continue }
    if (c == ";" || c == "|" || c == "&") { separator(); continue }
    buf = buf c
  }
  if (cont) { cont = 0; next }
  if (!squote) { word_end(); if (kinds[top] == "C") { atcmd[top] = 1; wrap[top] = 0 } }
}

END { for (f in defs) print "function " f }
