#!/usr/bin/env bash
# Checks that the CLI's man page and its own help agree: every long option the
# page's OPTIONS section documents for a command appears in that command's
# --help, and every command the page's COMMANDS section names appears in
# `undelvo-cli --help`.
#
# The page's OPTIONS subsections say whose options they hold by naming the
# commands in their title ("Options of scan, recover and show"); a title that
# names none holds the options of undelvo-cli itself. An option is documented
# where it heads a .TP entry.
# Usage: man-options-in-help.sh UNDELVO_CLI PAGE
set -uo pipefail
cli=${1:?usage: man-options-in-help.sh UNDELVO_CLI PAGE}
page=${2:?usage: man-options-in-help.sh UNDELVO_CLI PAGE}
commands=(drives scan recover show)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
  echo "man-options-in-help: $*" >&2
  failed=1
}

# Prints "TARGET OPTION" for each documented option, TARGET being a command or
# "-" for the program itself, and "COMMAND NAME" lines for the COMMANDS section.
# roff's \- is a plain "-" here.
awk '
  /^\.SH / { section = $0; sub(/^\.SH +"?/, "", section); sub(/"$/, "", section); next }
  /^\.SS / && section == "OPTIONS" {
    title = $0; targets = ""
    n = split("drives scan recover show", known, " ")
    for (i = 1; i <= n; ++i)
      if (title ~ ("(^|[^a-z-])" known[i] "([^a-z-]|$)")) targets = targets " " known[i]
    if (targets == "") targets = " -"
    next
  }
  /^\.TP/ { tag = 1; next }
  tag {
    tag = 0
    line = $0; gsub(/\\-/, "-", line)
    if (section == "COMMANDS" && line ~ /^\.B [a-z]+$/) { print "COMMAND", substr(line, 4); next }
    if (section != "OPTIONS" || targets == "") next
    while (match(line, /--[a-z][a-z-]*/)) {
      m = split(substr(targets, 2), t, " ")
      for (i = 1; i <= m; ++i) print t[i], substr(line, RSTART, RLENGTH)
      line = substr(line, RSTART + RLENGTH)
    }
  }
' "$page" >"$tmp/documented"

# The page itself is read right: each command and the program have options.
for target in - "${commands[@]}"; do
  grep -q "^$target --" "$tmp/documented" || fail "no options of '$target' found in $page"
done
for command in "${commands[@]}"; do
  grep -qx "COMMAND $command" "$tmp/documented" || fail "the COMMANDS section of $page does not list $command"
done

# Each help text: on stdout, with status 0.
for target in - "${commands[@]}"; do
  args=(--help)
  [ "$target" = - ] || args=("$target" --help)
  "$cli" "${args[@]}" >"$tmp/help-$target" 2>/dev/null || fail "'undelvo-cli ${args[*]}' did not end with status 0"
done

while read -r target option; do
  if [ "$target" = COMMAND ]; then
    grep -qE "(^|[^a-z-])$option([^a-z-]|$)" "$tmp/help--" ||
      fail "command $option is not in 'undelvo-cli --help'"
    continue
  fi
  name=$([ "$target" = - ] && echo "undelvo-cli --help" || echo "undelvo-cli $target --help")
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" "$tmp/help-$target" ||
    fail "$option is documented for ${target/#-/undelvo-cli} but not in '$name'"
done <"$tmp/documented"

[ "$failed" -eq 0 ] && echo "man-options-in-help: $(wc -l <"$tmp/documented") documented options and commands are in the help texts"
exit "$failed"
