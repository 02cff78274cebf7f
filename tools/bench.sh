#!/usr/bin/env bash
# Builds the benchmarks (preset linux-bench, Release) and runs them: each row beside its floor,
# the parameter rows over the do-nothing runtime (bin/do-nothing/) and, for information, over the
# stand-in runtime, with the heap allocations per iteration as the counter "allocs"; then the
# Python rows (bench/python_bench.py) where the build has the Python package. Extra arguments go to every
# benchmark executable, e.g. --benchmark_filter=Read or --benchmark_min_time=0.05; for figures
# to compare, --benchmark_repetitions=5 --benchmark_report_aggregates_only=true (medians).
# BENCH_BUILD_DIR builds elsewhere than build/linux-bench.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BENCH_BUILD_DIR:-build/linux-bench}
cmake --preset linux-bench -B "$build_dir" > /dev/null
benches=(do-nothing/bench_parameters bench_parameters_stand_in bench_board_lifecycle bench_frame_fill bench_view_frames)
targets=("${benches[@]##*/}")
# The Python rows where the build has the Python package (a Python with nanobind, build/venv).
python_rows=$(cmake --build "$build_dir" --target help | grep -c '^orvanta_python:' || true)
[ "$python_rows" -gt 0 ] && targets+=(orvanta_python)
cmake --build "$build_dir" --target "${targets[@]}"
for bench in "${benches[@]}"; do
  echo "=== ${bench##*/}"
  "$build_dir/bin/$bench" "$@"
done
if [ "$python_rows" -gt 0 ]; then
  echo "=== python_bench"
  PYTHONPATH="$build_dir/python" build/venv/bin/python bench/python_bench.py "$build_dir/bin" "$@"
fi
