#!/usr/bin/env bash
# Builds and runs every fault sweep (the ctest cases fault_sweeps.FaultSweep.*), by default under
# AddressSanitizer + UndefinedBehaviorSanitizer, as CI runs them, and prints the faults tried and
# survived per operation with the totals, as a Markdown table, and the time the sweeps took.
#   tools/fault-sweep.sh [preset]      preset: linux-sanitize (default), linux, windows, ...
# Extra arguments after the preset go to the sweep executable, e.g. --gtest_filter='*Loading*'.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-linux-sanitize}
shift || true
cmake --preset "$preset" > /dev/null
cmake --build --preset "$preset" --target fault_sweeps
run=()
[ "$preset" = windows ] && run=("$PWD/cmake/wine-run.sh") exe=.exe
log=$(mktemp)
start=$(date +%s%N)
status=0
(cd "build/$preset/bin" && "${run[@]}" "./fault_sweeps${exe:-}" "$@") | tee "$log" || status=$?
tenths=$(( ($(date +%s%N) - start) / 100000000 ))
echo
echo "| operation | operations | faults tried | survived |"
echo "|---|---:|---:|---:|"
grep -a '^fault sweep: .*faults tried' "$log" | sed -E 's/^fault sweep: (.*): ([0-9]+) operations, ([0-9]+) faults tried, ([0-9]+) survived.*/\1|\2|\3|\4/' |
  awk -F'|' '{ printf "| %s | %d | %d | %d |\n", $1, $2, $3, $4; o += $2; t += $3; s += $4 }
             END { printf "| **all** | %d | %d | %d |\n", o, t, s }'
printf '\n%s: %d.%d s\n' "$preset" $((tenths / 10)) $((tenths % 10))
rm -f "$log"
exit "$status"
