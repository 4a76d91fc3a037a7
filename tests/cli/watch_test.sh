#!/usr/bin/env bash
# quendra-plot --watch on a folder a capture program writes into: the frames already there and
# each new one once complete (one written in two steps is read whole), a summary row appended
# for each while it runs; SIGINT ends it cleanly, SIGTERM in the middle of a frame leaves no
# unfinished file and no row for that frame.
# usage: watch_test.sh QUENDRA_PLOT SAMPLE_LIST
set -u
plot=$(realpath "$1")
sample=$(realpath "$2")
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failed=1; fi
}
rows() { [ -f "$1" ] && grep -c $'\r$' "$1" || echo 0; }
waitFor() {  # waitFor SECONDS CONDITION...
    local until=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $until ] && return 1
        sleep 0.05
    done
}
atLeast() { [ "$(rows "$1")" -ge "$2" ]; }
begun() { compgen -G '.stars-big.csv.*' >/dev/null; }

cd "$work" || exit 1
mkdir frames
cp "$sample" frames/a.txt
printf 'x\r\n2,5,1,1,0,0,1,1,1,1,0,1\r\n' >frames/bad.txt
"$plot" --watch frames --summary night.csv -o 'out-{name}.png' --map 'map-{name}.png' -j 2 \
    2>err.txt &
pid=$!
check "the frames already there, each as soon as it is done" waitFor 20 atLeast night.csv 3
head -c "$(($(stat -c %s "$sample") / 2))" "$sample" >frames/c.txt
sleep 0.6
tail -c "+$(($(stat -c %s "$sample") / 2 + 1))" "$sample" >>frames/c.txt
check "a frame written in two steps" waitFor 20 atLeast night.csv 4
kill -INT "$pid"
wait "$pid"
status=$?
pid=
check "SIGINT ends the watch; the broken frame makes the status 1" [ $status -eq 1 ]
check "the header once, then one row per frame" [ "$(head -c 5 night.csv)" = "file," ]
check "the frame written in steps was read whole" grep -q '^frames/c.txt,completed,,400,400,' night.csv
check "the same counts as the frame that was there" \
    [ "$(grep '^frames/a.txt' night.csv | cut -d, -f2-)" = "$(grep '^frames/c.txt' night.csv | cut -d, -f2-)" ]
check "the plots of the completed frames, none of the broken one" \
    [ -s out-a.png ] && [ -s out-c.png ] && [ ! -e out-bad.png ]
check "the star-shape maps of the completed frames" [ -s map-a.png ] && [ -s map-c.png ]
check "the progress on standard error" grep -q 'frames/c.txt 完了' err.txt

# A frame of many stars, stopped by SIGTERM while it runs: no half-written file, no row.
awk 'BEGIN { print "big"; for (i = 1; i <= 600000; i++) printf "%d,400,%d,%d,0,0,30,30,5,6,45,0.9\r\n", i, i % 3000, i % 2000 }' \
    >big.tmp
"$plot" --watch frames --summary night.csv --stars 'stars-{name}.csv' -j 1 --quiet 2>err2.txt &
pid=$!
waitFor 20 atLeast night.csv 7
mv big.tmp frames/big.txt
check "the big frame has begun" waitFor 20 begun
kill -TERM "$pid"
wait "$pid"
status=$?
pid=
check "SIGTERM in the middle of a frame ends the watch" [ $status -le 1 ]
check "no unfinished file is left" [ -z "$(compgen -G '.stars-*')" ]
check "no row and no file for the stopped frame" \
    [ ! -e stars-big.csv ] && ! grep -q '^frames/big.txt' night.csv
check "the rows before it appended, the header not again" [ "$(grep -c '^file,' night.csv)" -eq 1 ]
check "the summary ends with a whole row" [ "$(tail -c 1 night.csv | od -An -c | tr -d ' ')" = '\n' ]
exit $failed
