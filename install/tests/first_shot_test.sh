#!/usr/bin/env bash
# Runs the command blocks of docs/first-shot.md with the built quenda; shows the end of their
# output when one fails.
set -euo pipefail
source=$1
export PATH="$2:$PATH"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/shot"
"$source/scripts/first-shot" --steps-in "$work/shot" >"$work/log" 2>&1 || { tail -40 "$work/log"; exit 1; }
for file in shot/shot0023.tga preview.avi pictures/movie.png; do
  [ -s "$work/shot/$file" ] || { echo "FAILED: the walk-through made no $file"; exit 1; }
done
