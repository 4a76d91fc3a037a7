#!/usr/bin/env bash
# The built plotter under the limits a user's shell or disk can set: short memory, a file-size
# limit, a full standard output, an endless stream, names that are not UTF-8, an output that is
# its own input. Every one must end with a message and the right status, losing no file.
# usage: resource_limits_test.sh QUENDRA_PLOT SAMPLE_LIST [memory]
set -u
plot=$1
sample=$2
memory=${3:-memory}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failed=1; fi
}

if [ "$memory" = memory ]; then
    # From the least memory the program loads in upwards, every run either completes or ends
    # with the out-of-memory message and 1: never "terminate called" or a signal.
    least=30000
    until bash -c "ulimit -v $least; exec '$plot' --help" >/dev/null 2>&1; do
        least=$((least + 2000))
    done
    worst=0
    for ((limit = least; limit < least + 60000; limit += 3000)); do
        bash -c "ulimit -v $limit; exec '$plot' '$sample'" >"$work/out" 2>"$work/err"
        status=$?
        if [ $status -eq 1 ] && ! grep -q "メモリが足り" "$work/err"; then status=99; fi
        if [ $status -gt 1 ] || grep -q terminate "$work/err"; then
            worst=$status
            echo "  at ulimit -v $limit: status $status: $(head -c 200 "$work/err")"
        fi
    done
    check "short memory ends with the message and 1, or completes" [ $worst -eq 0 ]
fi

echo "old plot" >"$work/plot.bmp"
bash -c "ulimit -f 100; exec '$plot' -o '$work/plot.bmp' '$sample'" >/dev/null 2>"$work/err"
check "file-size limit ends with 1" [ $? -eq 1 ]
check "file-size limit names the file" grep -q "plot.bmp" "$work/err"
check "file-size limit keeps the old file" grep -q "old plot" "$work/plot.bmp"

"$plot" "$sample" >/dev/full 2>"$work/err"
check "full standard output ends with 1" [ $? -eq 1 ]
check "full standard output says so" grep -q "標準出力" "$work/err"

timeout 20 "$plot" /dev/zero >/dev/null 2>"$work/err"
check "an endless stream ends with 1" [ $? -eq 1 ]

odd=$'\xff'
cp "$sample" "$work/${odd}list.txt"
printf '0 0 0\r\n0 0 0\r\n0 0 0\r\n0 0 0\r\n0 0 0\r\n0 0 0\r\n0 0 0\r\n0 0 0\r\n0 True\r\n' \
    >"$work/${odd}.txt"
"$plot" --thresholds "$work/${odd}.txt" -o "$work/${odd}.bmp" "$work/${odd}list.txt" \
    >/dev/null 2>"$work/err"
check "names that are not UTF-8 are read and written as given" [ $? -eq 0 ]
check "the plot has the very name asked for" [ -s "$work/${odd}.bmp" ]

cp "$sample" "$work/list.txt"
"$plot" --stars "$work/list.txt" "$work/list.txt" >/dev/null 2>"$work/err"
check "an output that is the input is a usage error" [ $? -eq 2 ]
check "the input is untouched" cmp -s "$sample" "$work/list.txt"

# Interrupted in the middle of a run (the list is a pipe that stops giving stars): the old table
# stays and no temporary file is left behind.
mkfifo "$work/pipe"
echo "old table" >"$work/stars.csv"
"$plot" --stars "$work/stars.csv" "$work/pipe" >/dev/null 2>&1 &
pid=$!
exec 3>"$work/pipe"
printf 'h\r\n1,5,1,1,0,0,1,1,1,1,0,1\r\n' >&3
sleep 0.5
kill -INT $pid
wait $pid
status=$?
exec 3>&-
check "an interrupt ends the run" [ $status -ne 0 ]
check "an interrupt keeps the old table" grep -q "old table" "$work/stars.csv"
check "an interrupt leaves no temporary file" [ -z "$(ls -A "$work" | grep '^\.')" ]

exit $failed
