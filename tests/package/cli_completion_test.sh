#!/bin/bash
# bash completion of varsk-units, driven as the shell drives it, and the man
# page checked against the program's own command and option lists:
#   cli_completion_test.sh COMPLETION_SCRIPT PROGRAM_DIR MAN_PAGE
set -u
completion=$1
export PATH=$(cd "$2" && pwd):$PATH
man_page=$3
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# shellcheck source=/dev/null
source "$completion"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir lists
touch rom.gba

expect() {  # expected completions (space separated, sorted), then the words
  local expected=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _varsk_units
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  [[ $got == "$expected" ]] || fail "[$*] completes to '$got', not '$expected'"
}

expect "diff dump" varsk-units d
expect "auto-modify" varsk-units au
expect "--help --version" varsk-units -
expect "--format" varsk-units dump --fo
expect "--ammo-from-hp" varsk-units auto-modify --am
expect "csv json" varsk-units dump --format ""
expect "csv" varsk-units dump --format = c
expect "csv json text" varsk-units diff --format ""
expect "lists" varsk-units render --names ""
expect "" varsk-units render --entry ""
expect "lists rom.gba" varsk-units import ""
expect "rom.gba" varsk-units patch -o r
expect "render" varsk-units help re
expect "plot" varsk-units pl
expect "--x" varsk-units plot --x
expect "hp" varsk-units plot --y h
expect "move moveType" varsk-units plot -x mov
expect "lists" varsk-units plot --names ""

# Every command has a section in the man page, and every option is named there.
commands=$(varsk-units --help | sed -n '/^Commands:/,/^[^ ]/s/^  \([a-z][a-z-]*\) .*/\1/p')
[[ -n $commands ]] || fail "no commands in varsk-units --help"
for command in $commands; do
  page_name=${command//-/\\-}
  grep -q "^\.SS \"${page_name//\\/\\\\}\b" "$man_page" || fail "man page: no section for $command"
  for option in $(varsk-units "$command" --help | sed -n 's/^ *\(-[a-z], \)\?--\([a-z][a-z-]*\).*/\2/p'); do
    page_option='\-\-'${option//-/\\-}
    grep -qF -- "$page_option" "$man_page" || fail "man page: $command option --$option is missing"
  done
done

if ((failures > 0)); then
  echo "completion: $failures checks failed" >&2
  exit 1
fi
echo "completion: all checks passed"
