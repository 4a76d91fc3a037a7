#!/usr/bin/env bash
# Runs every fuzz target for a bounded time: run.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
# The working corpus grows in BUILD_DIR/corpus; the seeds and the kept regression inputs are read
# but never written. Any crash, leak, sanitizer report or timeout fails the run and leaves its
# input in BUILD_DIR/artifacts, to be kept in tests/fuzz/regressions/TARGET once fixed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
seconds="$2"
shift 2
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(star_list parse_number threshold_file catalog fits_tiles picture)

declare -A max_len=([star_list]=1048576 [parse_number]=8192 [threshold_file]=65536 [catalog]=262144 [fits_tiles]=262144
             [picture]=262144)
failed=0
mkdir -p "$build/artifacts"
# The libraries' own leaks, which no caller can mend (tests/sep-leaks.supp says which).
export LSAN_OPTIONS="suppressions=$here/../sep-leaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# An allocation beyond what any machine has fails as the C library's would (a null pointer, which
# CFITSIO and the readers report as a memory fault), instead of ending the run.
export ASAN_OPTIONS="allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    log="$build/$target.log"
    mkdir -p "$corpus"
    # A folder without a kept input is not in a fresh clone: git keeps no empty folders.
    seeds=()
    for folder in "$here/corpus/$target" "$here/regressions/$target"; do
        [ -d "$folder" ] && seeds+=("$folder")
    done
    dict=()
    [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
    "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="${max_len[$target]}" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" "${dict[@]}" \
        "$corpus" "${seeds[@]}" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ $status -ne 0 ]; then
        failed=1
        echo "fuzz $target: FAILED after ${runs:-?} executions (see $log)"
        grep -E 'ERROR|check failed|runtime error|Test unit written' "$log" | head -5
    else
        echo "fuzz $target: ${runs:-?} executions in ${seconds} s, nothing found"
    fi
done
exit $failed
