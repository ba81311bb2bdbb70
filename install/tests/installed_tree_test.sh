#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the tree from there: every program
# answers --version, finds its libraries, and carries no path of the build or the sources.
set -euo pipefail
build=$1 source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --strip >/dev/null

fail() { echo "FAILED: $*"; status=1; }
status=0
export QT_QPA_PLATFORM=offscreen
for program in quenda quenda-scanner quenda-analyzer quenda-painter quenda-dopegrid \
    quenda-composer quenda-panorama quenda-player; do
  binary=$prefix/bin/$program
  [ -x "$binary" ] || { fail "$program is not installed"; continue; }
  answer=$(cd / && "$binary" --version 2>&1) || fail "$program --version exited $?"
  [ "$answer" = "$program 0.1" ] || fail "$program --version said '$answer'"
  libraries=$(ldd "$binary")
  grep -q 'not found' <<<"$libraries" && fail "$program misses libraries: $libraries"
  for tree in "$build" "$source"; do
    grep -qF "$tree" <<<"$libraries" && fail "$program loads from $tree"
    grep -qF "$tree" < <(strings "$binary") && fail "$program holds the path $tree"
  done
  grep -qE 'RPATH|RUNPATH' < <(readelf -d "$binary") && fail "$program has a library path"
done

for file in share/applications/quenda-painter.desktop share/applications/quenda-dopegrid.desktop \
    share/applications/quenda-composer.desktop share/icons/hicolor/scalable/apps/quenda-panorama.svg \
    share/icons/hicolor/48x48/apps/quenda-scanner.png share/mime/packages/quenda.xml \
    share/man/man1/quenda.1 share/bash-completion/completions/quenda; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
size=$(file -b "$prefix/share/icons/hicolor/256x256/apps/quenda-analyzer.png")
[[ $size == "PNG image data, 256 x 256,"* ]] || fail "the 256 icon is: $size"
exit $status
