"""Opening and closing boards from Python: a thousand cycles leave the process's memory as it was,
and a board left to the collector, with an array of its frame outliving it, frees everything."""
import gc
import resource

import orvanta
from orvanta import sim
from conftest import simulate


def resident_kib():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * resource.getpagesize() // 1024


def grown_kib(cycles):
    """What `cycles` grows the process by, after a first round for one-time allocations. The
    simulated runtime's record of the applet's calls, which grows with every call, is cleared."""
    sizes = []
    for _ in range(2):
        cycles()
        sim.reset()
        gc.collect()
        sizes.append(resident_kib())
    return sizes[1] - sizes[0]


def test_a_thousand_opens_and_closes_keep_memory_flat():
    sim.reset()

    def from_python():
        for i in range(1000):
            with orvanta.open(board=i % 8) as fg:
                fg["FG_WIDTH"] = 64 + i % 64
                fg.on("FG_OVERFLOW_CAM0", print)

    assert grown_kib(from_python) < 1024


def test_a_board_left_to_the_collector_frees_everything_after_its_last_array():
    sim.reset()
    sim.set_virtual_clock(True)
    try:
        for _ in range(20):
            fg = orvanta.open(board=3)
            period = simulate(fg)
            stream = fg.stream(buffers=2)
            sim.advance(period * 1.5)
            view = stream.next_frame().array
            del fg, stream  # never closed: the collector does it
            gc.collect()
            assert view[1, 1] == 2  # the diagonal pattern, in a buffer still allocated
            del view
    finally:
        sim.set_virtual_clock(False)
