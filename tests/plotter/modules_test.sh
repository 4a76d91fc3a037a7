#!/usr/bin/env bash
# quendra-plot starts without Qt, CFITSIO, LibRaw or SEP and loads each module only when a file needs it:
# the program names none of them, a star list plots without the modules, and a photograph or an
# image file without its module fails with a message naming the module.
# usage: modules_test.sh QUENDRA_PLOT STAR_LIST PHOTOGRAPH
set -euo pipefail
plot=$1
list=$2
photo=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

if readelf -d "$plot" | grep NEEDED | grep -E -i 'qt6|cfitsio|libraw|sep'; then
    fail "quendra-plot itself needs the libraries the modules are for"
fi
# With its modules beside it, as built.
"$plot" --quiet -o "$work/plot.png" "$photo" >/dev/null || fail "photograph to PNG"
[ -s "$work/plot.png" ] || fail "no PNG"
# A batch saving images on two threads: the modules are loaded on the main thread, which Qt takes
# for its own; loaded on a run's thread, which ends first, the process failed at its exit.
for n in 1 2 3 4 5 6; do cp "$list" "$work/frame_$n.txt"; done
for round in 1 2 3 4 5 6 7 8 9 10; do
    "$plot" --quiet -j 2 -o "$work/{name}.png" "$work"/frame_*.txt >/dev/null 2>"$work/err" \
        || fail "batch into images, round $round: $(cat "$work/err")"
done
# Alone, without them.
cp "$plot" "$work/quendra-plot"
"$work/quendra-plot" "$list" >/dev/null || fail "a star list needs no module"
status=0
"$work/quendra-plot" -o "$work/alone.bmp" "$list" >/dev/null 2>"$work/err" || status=$?
[ "$status" = 1 ] && grep -q "画像ファイルを書くための部品「.*quendra-images.so」を読み込めません" "$work/err" \
    || fail "image without its module: status $status, $(cat "$work/err")"
[ ! -e "$work/alone.bmp" ] || fail "a half-written image was left"
status=0
"$work/quendra-plot" "$photo" >/dev/null 2>"$work/err" || status=$?
[ "$status" = 1 ] && grep -q "写真を読むための部品「.*quendra-photos.so」を読み込めません" "$work/err" \
    || fail "photograph without its module: status $status, $(cat "$work/err")"
echo ok
