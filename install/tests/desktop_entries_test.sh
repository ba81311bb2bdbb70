#!/usr/bin/env bash
# The menu entries and file types pass the desktop's own checkers, and a double-click on a
# drawing, a sheet or a composition goes to the program that edits it.
set -euo pipefail
source=$1 quenda=$2
status=0
fail() { echo "FAILED: $*"; status=1; }
for entry in "$source"/install/desktop/*.desktop; do
  desktop-file-validate "$entry" || fail "$(basename "$entry") does not validate"
done
xmllint --noout "$source/install/quenda-mime.xml" || fail "the file types do not parse"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$source"/install/desktop/*.desktop "$scratch"
update-desktop-database "$scratch"
# Each type that several programs could claim lists exactly the one that opens it, so no
# desktop has to choose between them.
expected="application/x-quenda-composition=quenda-composer.desktop;
application/x-quenda-drawing=quenda-painter.desktop;
application/x-quenda-sheet=quenda-dopegrid.desktop;
image/x-tga=quenda-panorama.desktop;"
actual=$(grep -v '^\[' "$scratch/mimeinfo.cache")
[ "$actual" = "$expected" ] || fail "file types go to: $actual"

# Every type a program claims is one the suite defines or the desktop already knows.
mkdir -p "$scratch/mime/packages"
cp "$source/install/quenda-mime.xml" "$scratch/mime/packages/quenda.xml"
cp /usr/share/mime/packages/freedesktop.org.xml "$scratch/mime/packages"
update-mime-database "$scratch/mime" >/dev/null 2>&1
for type in $(sed -n 's/^MimeType=//p' "$source"/install/desktop/*.desktop | tr ';' ' '); do
  grep -qx "$type" "$scratch/mime/types" /usr/share/mime/types || fail "$type is not defined"
done
glob=$(grep -h ':\*\.qds$\|:\*\.dgr$\|:\*\.cmp$' "$scratch/mime/globs" | sort)
[ "$glob" = "application/x-quenda-composition:*.cmp
application/x-quenda-drawing:*.qds
application/x-quenda-sheet:*.dgr" ] || fail "the file names map to: $glob"

# Files without their extension are known by their first bytes: a drawing scan and a colour
# set by theirs, while a colour Targa stays a Targa.
"$quenda" sample "$scratch/walk" --name walk --frames 1 >/dev/null
cp "$scratch/walk/walk1.qds" "$scratch/drawing"
cp "$scratch/walk/walk.col" "$scratch/colors"
printf '\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\40\10\377\0\0\377' >"$scratch/picture"
for row in "drawing application/x-quenda-drawing" "colors application/x-quenda-colors" \
    "picture image/x-tga"; do
  read -r name type <<<"$row"
  found=$(XDG_DATA_HOME="$scratch" XDG_DATA_DIRS="$scratch" \
    gio info -a standard::content-type "$scratch/$name" | sed -n 's/.*content-type: //p')
  [ "$found" = "$type" ] || fail "$name is taken for $found"
done
exit $status
