#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root: both programs, the menu entry and the icon
# are there, quendra-plot answers from there, and the package names its libraries.
# usage: package_test.sh BUILD_DIR PHOTOGRAPH
set -euo pipefail
build=$1
photo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/quendra_*.deb)
dpkg -x "$deb" "$work/root"
for file in usr/bin/quendra usr/bin/quendra-plot usr/share/applications/quendra.desktop \
            usr/share/icons/hicolor/scalable/apps/quendra.svg; do
    [ -e "$work/root/$file" ] || { echo "FAILED: $file is not in the package"; exit 1; }
done
"$work/root/usr/bin/quendra-plot" --help | grep -q "使い方: quendra-plot" \
    || { echo "FAILED: quendra-plot --help from the package"; exit 1; }
# A photograph and a PNG plot need the picture module, which the plotter loads from the library
# folder it was installed with.
"$work/root/usr/bin/quendra-plot" --quiet -o "$work/plot.png" "$photo" >/dev/null \
    || { echo "FAILED: quendra-plot from the package on a photograph"; exit 1; }
[ -s "$work/plot.png" ] || { echo "FAILED: no PNG plot from the package"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" \
    || { echo "FAILED: the package does not name Qt among its dependencies"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q "libraw20" \
    || { echo "FAILED: the package does not name LibRaw among its dependencies"; exit 1; }
[ "$(dpkg-deb -f "$deb" Package)" = quendra ] || { echo "FAILED: package name"; exit 1; }
echo "ok: $(basename "$deb")"
