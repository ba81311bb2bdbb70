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
# The picture codec is a module the programs load when they first need it: the tool itself does
# not link the picture library, yet writes and reads pictures through the installed module.
module=$prefix/lib/quenda/modules/libquenda_picture_codec.so
[ -s "$module" ] || fail "the picture codec is not installed at $module"
ldd "$prefix/bin/quenda" | grep -q libOpenImageIO && fail "quenda links the picture library itself"
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
(cd "$work" && "$prefix/bin/quenda" sample drawings --name walk --frames 1 --size 64x64 >/dev/null &&
  "$prefix/bin/quenda" export drawings/walk1.qds --png walk.png >/dev/null &&
  "$prefix/bin/quenda" import walk.png --out imported --name walk --peg 2 --dpi 150 >/dev/null) ||
  fail "the installed quenda could not write and read a PNG"
[ -s "$work/imported/walk1.qds" ] || fail "the installed quenda imported no drawing from its PNG"
# A program copied away from its module says what is missing, for writing and for reading.
mkdir "$work/alone"
cp "$prefix/bin/quenda" "$work/alone/quenda"
missing="the picture codec libquenda_picture_codec.so is not installed beside the program"
said=$(cd "$work" && alone/quenda export drawings/walk1.qds --png alone.png 2>&1) &&
  fail "a lone quenda exported without its codec"
[[ $said == *"Could not write alone.png: $missing"* ]] || fail "a lone quenda's export said: $said"
said=$(cd "$work" && alone/quenda import walk.png --out alone --name walk --peg 2 --dpi 150 2>&1) &&
  fail "a lone quenda imported without its codec"
[[ $said == *"Cannot read picture walk.png: $missing"* ]] || fail "a lone quenda's import said: $said"

size=$(file -b "$prefix/share/icons/hicolor/256x256/apps/quenda-analyzer.png")
[[ $size == "PNG image data, 256 x 256,"* ]] || fail "the 256 icon is: $size"
exit $status
