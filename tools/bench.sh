#!/usr/bin/env bash
# Builds the benchmarks (preset linux-bench, Release) and runs them. Extra arguments go to every
# benchmark executable, e.g. --benchmark_filter=Render or --benchmark_min_time=0.05.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux-bench > /dev/null
cmake --build --preset linux-bench
for bench in build/linux-bench/bin/bench_*; do
  echo "=== $(basename "$bench")"
  "$bench" "$@"
done
