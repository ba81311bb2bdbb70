#!/usr/bin/env bash
# What Tab offers after a few command lines, from the installed completion script.
set -euo pipefail
script=$1
status=0
fail() { echo "FAILED: $*"; status=1; }
cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
mkdir shots
touch walk.dgr walk1.qds notes.txt

offered() {  # the words of a command line, the last being the one completed
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quenda
           printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' _ "$script" "$@"
}
check() {  # expected, then the command line
  local expected=$1 got
  shift
  got=$(offered "$@")
  [ "$got" = "$expected" ] || fail "quenda ${*:2}: '$got', not '$expected'"
}

check "--help --version analyze autopaint colors comp compose export farm flipbook import info \
mask paint preview render sample scan sheet tone" quenda ""
check "--allow-missing --background --codec --crf --depth --format --frames --help --jobs --levels \
--line-test --movie --name --out --preset --quality --rate --size --sound --sound-start --threads \
--write" \
  quenda render --
check "full half quarter" quenda render walk.dgr --size ""
check "shots walk.dgr" quenda render ""
check "notes.txt shots walk.dgr walk1.qds" quenda render walk.dgr --out ""
check "add-level add-sequence" quenda sheet add
check "--fill --help --list-regions --specks" quenda paint walk1.qds --
exit $status
