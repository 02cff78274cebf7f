#!/usr/bin/env bash
# Runs every fuzz target of the linux-fuzz build for a bounded time, each on a scratch copy of
# its seed corpus (tests/fuzz/corpus/<target>), and fails on any crash, sanitizer report, leak,
# memory limit or slow input. Inputs that failed are kept in <build>/fuzz-findings/<target>.
#
#   tools/run-fuzzers.sh [seconds per target (60)] [build folder (build/linux-fuzz)]
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$(cd "${2:-$root/build/linux-fuzz}" && pwd) || exit 2
findings=$build/fuzz-findings
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Stack traces for undefined behaviour; leaks are detected by default and checked per input.
export UBSAN_OPTIONS=print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1

status=0
for seeds in "$root"/tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    fuzzer=$build/bin/fuzz_$name
    if [ ! -x "$fuzzer" ]; then
        echo "FAIL fuzz_$name: $fuzzer is missing (build the linux-fuzz preset)" >&2
        status=1
        continue
    fi
    work=$scratch/$name
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$seeds"* "$work/corpus/"
    # The targets' scratch files go to the temporary folder: keep them in the scratch copy too.
    if (cd "$work" && TMPDIR=$work "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
            -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$work/artifacts/" corpus >"$work/log" 2>&1); then
        result=ok
    else
        result=FAIL
        status=1
    fi
    stats=$(grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/log" | tr '\n' ' ')
    coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/log" | tail -1)
    echo "$result fuzz_$name: $coverage $stats"
    if [ "$result" = FAIL ]; then
        tail -n 60 "$work/log"
        if [ -n "$(ls -A "$work/artifacts")" ]; then
            mkdir -p "$findings/$name"
            cp "$work/artifacts/"* "$findings/$name/"
            echo "failing inputs copied to $findings/$name"
        fi
    fi
done
exit $status
