#!/usr/bin/env python3
"""The Python rows of the benchmarks, beside their C floor in the same run: 1024 x 1024 8-bit
frames streamed into NumPy arrays on the virtual clock against bench_frame_fill's C acquisition
loop of the same frames (target: at least 90 % of its frame rate), and a parameter read and
write from Python (information). Times are the CPU time of the measuring thread, as Google
Benchmark's are; figures are medians of the repetitions, the two loops taking turns.

Usage: python_bench.py BIN_DIR [--benchmark_min_time=S] [--benchmark_repetitions=N] [...]
BIN_DIR holds bench_frame_fill; the package of the same build must be importable. Arguments
starting with --benchmark_ go to bench_frame_fill too.
"""
import json
import statistics
import subprocess
import sys
import time

import orvanta
from orvanta import sim

SIDE = 1024
TARGET = 0.90


def option(args, name, default):
    for arg in args:
        if arg.startswith(f"--benchmark_{name}="):
            return arg.split("=", 1)[1].rstrip("s")
    return default


def c_loop(bin_dir, args):
    """Frames per second of the C acquisition loop."""
    run = subprocess.run([f"{bin_dir}/bench_frame_fill", "--benchmark_filter=^BM_AcquisitionLoop$",
                          "--benchmark_format=json"]
                         + [a for a in args if not a.startswith(("--benchmark_repetitions", "--benchmark_format"))],
                         check=True, capture_output=True, text=True)
    return json.loads(run.stdout)["benchmarks"][0]["items_per_second"]


def python_stream(seconds):
    """Frames per second streamed into NumPy: each frame a view of the board's buffer, released
    when the next one is taken, in blocking mode as a careful application runs it."""
    sim.set_call_log(False)  # as in the C rows
    with orvanta.open(board=0) as fg:
        fg["FG_CAMERASIMULATOR_ENABLE"] = "FG_CAMERASIMULATOR"
        fg["FG_CAMERASIMULATOR_SELECT_MODE"] = "FG_PIXEL_FREQUENCY"
        fg["FG_CAMERASIMULATOR_WIDTH"], fg["FG_CAMERASIMULATOR_HEIGHT"] = SIDE, SIDE
        fg["FG_WIDTH"], fg["FG_HEIGHT"] = SIDE, SIDE
        period = round(1e9 / fg["FG_CAMERASIMULATOR_FRAMERATE"])
        sim.set_virtual_clock(True)
        try:
            with fg.stream(buffers=4) as stream:
                sim.advance(nanoseconds=period // 2)  # from then on each period brings one frame
                frames, start = 0, time.thread_time()
                while time.thread_time() - start < seconds or frames < 10:
                    sim.advance(nanoseconds=period)
                    array = next(stream).array
                    frames += 1
                elapsed = time.thread_time() - start
                if array.shape != (SIDE, SIDE) or stream.lost:
                    raise RuntimeError("not one whole frame per period")
        finally:
            sim.set_virtual_clock(False)
    return frames / elapsed


def parameter_calls(seconds):
    """Nanoseconds of an FG_WIDTH read and of a write from Python."""
    def per_call(action):
        calls, start = 0, time.thread_time()
        while time.thread_time() - start < seconds:
            for _ in range(1000):
                action()
            calls += 1000
        return (time.thread_time() - start) / calls * 1e9

    sim.set_call_log(False)
    with orvanta.open(board=0) as fg:
        def read():
            return fg["FG_WIDTH"]

        def write():
            fg["FG_WIDTH"] = 1024
        return per_call(read), per_call(write)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bin_dir, args = sys.argv[1], sys.argv[2:]
    seconds = float(option(args, "min_time", "0.5"))
    repetitions = int(option(args, "repetitions", "5"))
    # The two loops take turns, so that a machine busy with other work slows both alike; the
    # ratio is the median of each turn's.
    turns = [(c_loop(bin_dir, args), python_stream(seconds)) for _ in range(repetitions)]
    c_rate = statistics.median(c for c, _ in turns)
    py_rate = statistics.median(py for _, py in turns)
    ratio = statistics.median(py / c for c, py in turns)
    reads, writes = zip(*(parameter_calls(seconds / 5) for _ in range(repetitions)))
    print(f"{'row':<52} {'figure':>22} {'floor':>22} {'ratio':>7}")
    print(f"{'stream 1024 x 1024 8-bit frames into NumPy':<52} {py_rate:>14,.0f} frames/s "
          f"{c_rate:>14,.0f} frames/s {ratio:>6.0%}")
    print(f"{'FG_WIDTH read from Python':<52} {statistics.median(reads):>19,.0f} ns")
    print(f"{'FG_WIDTH write from Python':<52} {statistics.median(writes):>19,.0f} ns")
    print(f"streaming target {TARGET:.0%} of the C loop: {'met' if ratio >= TARGET else 'NOT MET'}")


if __name__ == "__main__":
    main()
