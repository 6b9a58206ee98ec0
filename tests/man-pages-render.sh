#!/usr/bin/env bash
# Renders the man pages in DIR with man -l as a reader would see them and
# checks that groff warns about nothing, that no roff markup leaks into the
# text and that every page holds its key sections.
# Usage: man-pages-render.sh DIR
set -uo pipefail
export LC_ALL=C.UTF-8  # the pages hold UTF-8 text; ${#line} counts characters
dir=${1:?usage: man-pages-render.sh DIR}

if ! command -v man >/dev/null || ! command -v groff >/dev/null; then
  echo "man-pages-render: needs man (man-db) and groff (groff-base); scripts/setup installs them" >&2
  exit 1
fi

# The sections each page must hold, one a line, as the rendered page heads them.
declare -A sections
sections[undelvo-cli.1]='NAME
SYNOPSIS
DESCRIPTION
COMMANDS
OPTIONS
EXIT STATUS
JSON OUTPUT
FILES
EXAMPLES
NOTES
SEE ALSO'
sections[undelvo.1]='NAME
SYNOPSIS
DESCRIPTION
OPTIONS
THE WINDOW
KEYBOARD
FILES
SEE ALSO'

# Texts the rendered pages must show: references and the characters that
# need a roff escape to come out right.
declare -A texts
texts[undelvo-cli.1]='UNDELVO-CLI(1)
undelvo-cli drives [--image FILE]... [--images-only] [--json]
--keep-folders
docs/undelvo-cli.schema.json
shows "õ" in its place
C:\docs\plan.txt
undelvo(1), fls(1), icat(1), ntfsundelete(8), photorec(8)'
texts[undelvo.1]='UNDELVO(1)
undelvo [--image FILE]... [/UNINSTALL]
undelvo-cli(1)'

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
  echo "man-pages-render: $*" >&2
  failed=1
}

for page in "${!sections[@]}"; do
  file=$dir/$page
  if [ ! -f "$file" ]; then
    fail "$file is missing"
    continue
  fi
  # stdout is a file, not a terminal: man writes plain text and starts no pager.
  env -u MANOPT -u MANPAGER -u PAGER MANWIDTH=80 \
    man --warnings=all -l "$file" >"$tmp/out" 2>"$tmp/err"
  rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$page: man -l ended with status $rc"
  fi
  if [ -s "$tmp/err" ]; then
    fail "$page: warnings while rendering:"
    sed 's/^/    /' "$tmp/err" >&2
  fi
  if [ ! -s "$tmp/out" ]; then
    fail "$page: rendered nothing"
    continue
  fi
  while IFS= read -r heading; do
    grep -qxF -- "$heading" "$tmp/out" || fail "$page: no section '$heading'"
  done <<<"${sections[$page]}"
  while IFS= read -r text; do
    grep -qF -- "$text" "$tmp/out" || fail "$page: the rendered page does not show '$text'"
  done <<<"${texts[$page]}"
  # Font changes, named characters or requests shown as text are markup gone wrong.
  if grep -nE '\\f[BIRP]|\\\(|\\-|^\.[A-Za-z]' "$tmp/out" >"$tmp/leaks"; then
    fail "$page: roff markup in the rendered text:"
    sed 's/^/    /' "$tmp/leaks" >&2
  fi
  # Wider lines than MANWIDTH mean a long unbreakable token or a layout fault.
  n=0
  : >"$tmp/wide"
  while IFS= read -r line; do
    n=$((n + 1))
    ((${#line} > 80)) && echo "$n: $line" >>"$tmp/wide"
  done <"$tmp/out"
  if [ -s "$tmp/wide" ]; then
    fail "$page: lines wider than 80 columns:"
    sed 's/^/    /' "$tmp/wide" >&2
  fi
done

[ "$failed" -eq 0 ] && echo "man-pages-render: ${!sections[*]} render cleanly"
exit "$failed"
