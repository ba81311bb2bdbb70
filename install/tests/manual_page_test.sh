#!/usr/bin/env bash
# man renders the page, and each command's section holds its --help word for word.
set -euo pipefail
page=$1 quenda=$2
status=0
fail() { echo "FAILED: $*"; status=1; }
rendered=$(LC_ALL=C MANWIDTH=200 man -l "$page" 2>&1 | col -bx | sed 's/^ *//')
[[ $rendered == QUENDA\(1\)* ]] || fail "man shows: ${rendered:0:200}"
[[ $rendered == *"quenda - Headless work on Quenda drawing sequences"* ]] || fail "no NAME line"
for command in sample info analyze paint colors autopaint sheet render flipbook tone comp \
    compose preview mask scan export import farm; do
  help=$("$quenda" "$command" --help | sed 's/^ *//')
  [[ $rendered == *"$help"* ]] || fail "the page differs from 'quenda $command --help'"
done
exit $status
