#!/usr/bin/env bash
# Checks a replay's intent (its intent.txt) on the trace it wrote. The intent is kept apart from the expected
# trace, so that rewriting expected traces after a change of art cannot erase what the replay is for. Lines:
#   has <text>        some trace line begins with <text> (the millisecond stamp left out)
#   none <text>       no trace line begins with <text>
#   count <n> <text>  exactly n trace lines begin with <text>
#   then <text>       the first line after the last "then" match that begins with <text> exists
#   verdicts          every verdict stamped is the answer the question file gives for the statement shown
#   # ...             what the replay is for, said in words
#   check_intent.sh <trace> <intent.txt> <questions file>
set -euo pipefail
awk -v questionsFile="$3" '
  function fail(what) { print "intent not met: " what; bad = 1 }
  function begins(s, p) { return substr(s, 1, length(p)) == p }
  BEGIN {
    # The question file: the first statement line of each entry and its answer (the last answer line counts).
    statement = ""
    while ((getline line < questionsFile) > 0) {
      sub(/\r$/, "", line)
      upper = toupper(line)
      if (line == "") { statement = ""; continue }
      if (begins(upper, "FALSE") || begins(upper, "TRUE")) {
        if (statement != "") truth[statement] = begins(upper, "FALSE") ? "FALSE" : "TRUE"
        continue
      }
      if (statement == "") statement = line
    }
  }
  FNR == NR {
    text = $0
    sub(/^[0-9]+ /, "", text)
    if (!begins(text, "frame ")) lines[++n] = text
    next
  }
  /^[ \t]*(#|$)/ { next }
  {
    kind = $1
    rest = $0; sub(/^[ \t]*[a-z]+[ \t]*/, "", rest)
    if (kind == "count") { want = rest + 0; sub(/^[0-9]+[ \t]+/, "", rest) }
    if (kind == "has" || kind == "none" || kind == "count") {
      found = 0
      for (i = 1; i <= n; i++) if (begins(lines[i], rest)) found++
      if (kind == "has" && found == 0) fail("has " rest)
      if (kind == "none" && found > 0) fail("none " rest " (" found " lines)")
      if (kind == "count" && found != want) fail("count " want " " rest " (" found " lines)")
    } else if (kind == "then") {
      for (i = cursor + 1; i <= n && !begins(lines[i], rest); i++) {}
      if (i > n) fail("then " rest " (after line " cursor " of the trace without frames)")
      else cursor = i
    } else if (kind == "verdicts") {
      shown = ""; checked = 0
      for (i = 1; i <= n; i++) {
        if (begins(lines[i], "question \"")) {
          shown = substr(lines[i], 11); sub(/ *" (TRUE|FALSE)$/, "", shown)
        } else if (begins(lines[i], "verdict ")) {
          answer = ""
          for (s in truth) if (shown != "" && begins(s, shown)) answer = truth[s]
          if (answer == "") fail("verdicts: \"" shown "\" is not in the question file")
          else if (lines[i] != "verdict " answer) fail("verdicts: \"" shown "\" got " lines[i])
          checked++
        }
      }
      if (checked == 0) fail("verdicts (none was stamped)")
    } else {
      fail("unknown intent line: " $0)
    }
  }
  END { exit bad }
' "$1" "$2"
