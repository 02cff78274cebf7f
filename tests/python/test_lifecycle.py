"""Opening and closing boards from Python: a thousand cycles leave the process's memory as it was,
and a board left to the collector, with an array of its frame outliving it, frees everything."""
import ctypes
import gc
import os
import resource
import weakref

import orvanta
from orvanta import sim
from conftest import simulate


def resident_kib():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * resource.getpagesize() // 1024


def grown_kib(cycles):
    """What `cycles` grows the process by."""
    gc.collect()
    before = resident_kib()
    cycles()
    gc.collect()
    return resident_kib() - before


def test_a_thousand_opens_and_closes_keep_memory_flat():
    sim.reset()
    sim.set_call_log(False)  # the simulated runtime's record of every call the applet makes

    def from_python(count=1000):
        for i in range(count):
            with orvanta.open(board=i % 8) as fg:
                fg["FG_WIDTH"] = 64 + i % 64
                fg.on("FG_OVERFLOW_CAM0", print)

    # The same through the runtime alone (which the package has loaded), so that what the
    # runtime itself keeps of a closed board is told from the package's share.
    runtime = ctypes.CDLL("librtcore5.so", mode=os.RTLD_NOLOAD)
    runtime.Fg_Init.restype = ctypes.c_void_p
    runtime.Fg_FreeGrabber.argtypes = [ctypes.c_void_p]
    runtime.Fg_setParameterWithType.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_void_p, ctypes.c_uint32,
                                                ctypes.c_int32]
    width_id, u32 = 100, 2

    def from_c(count=1000):
        for i in range(count):
            fg = runtime.Fg_Init(b"Orvanta", i % 8)
            runtime.Fg_setParameterWithType(fg, width_id, ctypes.byref(ctypes.c_uint32(64 + i % 64)), 0, u32)
            runtime.Fg_FreeGrabber(fg)

    grown_kib(lambda: (from_c(300), from_python(300)))  # the heap's first growth
    plain, package = grown_kib(from_c), grown_kib(from_python)
    assert package - plain < 512, f"1000 opens from Python grew by {package} KiB, from C by {plain} KiB"


def test_a_board_left_to_the_collector_frees_everything_after_its_last_array():
    sim.reset()
    sim.set_virtual_clock(True)
    try:
        for _ in range(20):
            fg = orvanta.open(board=3)
            period = simulate(fg)
            stream = fg.stream(buffers=2, auto_release=False)
            sim.advance(period * 1.5)
            frame = stream.next_frame()
            view, gone = frame.array, weakref.ref(frame)
            fg.on("FG_OVERFLOW_CAM0", lambda event, board=fg: board)  # a cycle through the handler
            board = weakref.ref(fg)
            del fg, stream, frame  # never closed, never released: the collector does it
            gc.collect()
            assert board() is None
            assert view[1, 1] == 2  # the diagonal pattern, in a buffer still allocated
            del view
            assert gone() is None  # and nothing of the frame is left behind
    finally:
        sim.set_virtual_clock(False)
