#!/usr/bin/env bash
# Builds the Debian package from the build, reads its control data and file list, and installs
# it into a scratch root whose package database is a copy of this machine's, so its
# dependencies must be met by what is installed here.
set -euo pipefail
build=$1
status=0
fail() { echo "FAILED: $*"; status=1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
package=$(ls "$scratch"/out/quenda_*_amd64.deb)
[ "$(basename "$package")" = quenda_0.1_amd64.deb ] || fail "the package is named $package"

depends=$(dpkg-deb --field "$package" Depends)
for library in libqt6widgets6 libqt6multimedia6 libqt6printsupport6 libavformat libavcodec \
    libswscale libsane1 libopenimageio libc6; do
  grep -qE "(^|, )$library[0-9.]* " <<<"$depends" || fail "$library is not a dependency: $depends"
done
contents=$(dpkg-deb --contents "$package" | awk '{print $6}')
for file in bin/quenda bin/quenda-scanner bin/quenda-analyzer bin/quenda-painter \
    bin/quenda-dopegrid bin/quenda-composer bin/quenda-panorama bin/quenda-player \
    share/applications/quenda-painter.desktop share/icons/hicolor/scalable/apps/quenda-painter.svg \
    share/icons/hicolor/128x128/apps/quenda-composer.png share/mime/packages/quenda.xml \
    share/man/man1/quenda.1 share/bash-completion/completions/quenda \
    lib/quenda/modules/libquenda_picture_codec.so; do
  grep -qx "./usr/$file" <<<"$contents" || fail "the package lacks /usr/$file"
done

root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
cp /var/lib/dpkg/status "$root/var/lib/dpkg/status"
dpkg --root="$root" -i "$package" >"$scratch/dpkg.log" 2>&1 ||
  { grep -v 'files list file' "$scratch/dpkg.log"; fail "dpkg could not install the package"; }
answer=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/quenda-dopegrid" --version 2>&1) || true
[ "$answer" = "quenda-dopegrid 0.1" ] || fail "the installed quenda-dopegrid said '$answer'"
# The installed tool finds its picture codec: a drawing out as PNG and back in as a drawing.
work=$scratch/work
mkdir "$work"
(cd "$work" && "$root/usr/bin/quenda" sample drawings --name walk --frames 1 --size 64x64 &&
  "$root/usr/bin/quenda" export drawings/walk1.qds --png walk.png &&
  "$root/usr/bin/quenda" import walk.png --out imported --name walk --peg 2 --dpi 150) \
  >"$scratch/pictures.log" 2>&1 || { cat "$scratch/pictures.log"; fail "the installed quenda could not write and read a PNG"; }
exit $status
