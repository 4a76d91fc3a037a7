#!/usr/bin/env bash
# The Debian package, unpacked into a scratch root: both programs, the menu entry, the icon, the
# software centres' description, the manual pages and the copyright are there, quendra-plot
# answers from there, and the package names its libraries. The package and its root stay in
# BUILD_DIR/package-test for the checks that follow (package_check.sh).
# usage: package_test.sh BUILD_DIR PHOTOGRAPH
set -euo pipefail
build=$1
photo=$2
work=$build/package-test
rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/quendra_*.deb)
dpkg -x "$deb" "$work/root"
for file in usr/bin/quendra usr/bin/quendra-plot \
            usr/share/applications/org.quendra.quendra.desktop \
            usr/share/icons/hicolor/scalable/apps/quendra.svg \
            usr/share/metainfo/org.quendra.quendra.metainfo.xml \
            usr/share/man/man1/quendra.1.gz usr/share/man/man1/quendra-plot.1.gz \
            usr/share/man/ja/man1/quendra.1.gz usr/share/man/ja/man1/quendra-plot.1.gz \
            usr/share/doc/quendra/copyright usr/share/doc/quendra/changelog.gz; do
    [ -e "$work/root/$file" ] || { echo "FAILED: $file is not in the package"; exit 1; }
done
# Taken whole first: grep -q leaving early would end the writer by SIGPIPE, which pipefail reports.
help=$("$work/root/usr/bin/quendra-plot" --help) \
    || { echo "FAILED: quendra-plot --help from the package"; exit 1; }
grep -q "使い方: quendra-plot" <<<"$help" \
    || { echo "FAILED: quendra-plot --help from the package"; exit 1; }
# A photograph and a PNG plot need Qt, CFITSIO and SEP, which the package names.
"$work/root/usr/bin/quendra-plot" --quiet -o "$work/plot.png" "$photo" >/dev/null \
    || { echo "FAILED: quendra-plot from the package on a photograph"; exit 1; }
[ -s "$work/plot.png" ] || { echo "FAILED: no PNG plot from the package"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt6widgets6" <<<"$depends" \
    || { echo "FAILED: the package does not name Qt among its dependencies"; exit 1; }
grep -q "libraw20" <<<"$depends" \
    || { echo "FAILED: the package does not name LibRaw among its dependencies"; exit 1; }
[ "$(dpkg-deb -f "$deb" Package)" = quendra ] || { echo "FAILED: package name"; exit 1; }
echo "ok: $(basename "$deb")"
