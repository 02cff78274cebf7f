"""The simulated board under a test's control.

The simulated board stands in for a frame grabber: these calls steer it the way a test bench
would. The usual pattern stops the board clock, so that frames, trigger pulses and events happen
exactly when the test moves the clock on::

    import orvanta
    from orvanta import sim

    with sim.virtual_clock(), orvanta.open() as fg:
        fg["FG_CAMERASIMULATOR_ENABLE"] = "FG_CAMERASIMULATOR"
        frames = sim.grab(fg, 3)    # three frames, the clock moved on until each came

Boards are given by index or as an open ``orvanta.Board``. Times are seconds (floats) unless a
name says otherwise. Importing this module needs the simulated runtime; on another runtime it
raises ImportError.
"""
from __future__ import annotations

import contextlib
import os
import tempfile
import typing

import numpy as np

from . import Board, ClosedError, TimeoutError
from . import _sim
from ._sim import advance  # compiled: the clock moves in a hot loop of a test

__all__ = ["virtual_clock", "set_virtual_clock", "advance", "grab", "set_camera", "pulse", "set_input",
           "output_pulses", "output_levels", "inject", "fail_nx_write", "fail_nx_read", "fail_call",
           "fail_open", "set_call_log", "reset"]

BoardLike = typing.Union[int, Board]


def _index(board: BoardLike) -> int:
    return board.index if isinstance(board, Board) else int(board)


def _nanoseconds(seconds: float) -> int:
    if seconds < 0:
        raise ValueError("a time below 0")
    return round(seconds * 1e9)


def set_virtual_clock(on: bool) -> None:
    """Stops the boards' clock (True), so that only advance() moves it, or lets it run in real
    time again (False). Acquisitions keep the clock they started on."""
    _sim.set_virtual_clock(on)


@contextlib.contextmanager
def virtual_clock() -> typing.Iterator[None]:
    """The virtual clock for the length of a ``with`` block."""
    _sim.set_virtual_clock(True)
    try:
        yield
    finally:
        _sim.set_virtual_clock(False)


def grab(board: Board, count: int = 1, *, step: float | None = None, limit: float = 60.0) -> list:
    """Acquires `count` frames on the virtual clock and answers them as NumPy arrays (copies).

    The clock moves on `step` seconds at a time until each frame has come (default: one frame
    period of the camera simulator, FG_CAMERASIMULATOR_FRAMERATE); a test that triggers the
    frames itself passes the step its triggers need. Raises TimeoutError once the clock has
    moved `limit` seconds without bringing them all.
    """
    if step is None:
        step = 1.0 / board["FG_CAMERASIMULATOR_FRAMERATE"]
    frames = []
    moved = 0.0
    with board.stream(buffers=min(count, 4), count=count) as stream:
        while len(frames) < count:
            while stream.delivered <= len(frames):
                if moved >= limit:
                    raise TimeoutError(f"grab: {len(frames)} of {count} frames after {limit} s of the virtual clock",
                                       -2120, "time-out")
                advance(step)
                moved += step
            frame = stream.next_frame(timeout=0)
            if frame is None:
                raise ClosedError("grab: the acquisition ended early")
            frames.append(frame.copy())
    return frames


def set_camera(board: BoardLike, connected: bool = True, width: int = 1024, height: int = 1024,
               max_fps: float = 200.0) -> None:
    """The camera on the board's camera port. It exposes one frame per pulse of the trigger
    module's camera-control output; pixel (x, y) of its frame k is ((x XOR y) + k) mod 256."""
    _sim.set_camera(_index(board), connected, width, height, max_fps)


def pulse(board: BoardLike, input: int, count: int = 1, period: float = 0.001) -> None:
    """`count` pulses on a trigger input (GPI 0-7, front GPI 16-19), the first rising now, one
    every `period` seconds, each high for half of it."""
    _sim.pulse(_index(board), input, count, _nanoseconds(period))


def set_input(board: BoardLike, input: int, level: bool) -> None:
    """A level on a trigger input that stays until changed."""
    _sim.set_input(_index(board), input, level)


def output_pulses(board: BoardLike, output: int) -> int:
    """Rising edges a digital output (GPO 0-7, front GPO 0 and 1 as 8 and 9) has had since the
    board was reset."""
    return _sim.output_pulses(_index(board), output)


def output_levels(board: BoardLike) -> int:
    """The ten digital outputs' levels now, output n in bit n."""
    return _sim.output_levels(_index(board))


def inject(board: Board, image) -> None:
    """Replaces the next source frame of the camera simulator with `image` (2-D, values 0-255),
    through the applet's debug entry at the camera."""
    pixels = np.asarray(image)
    if pixels.ndim != 2 or pixels.size == 0:
        raise ValueError("inject: a non-empty 2-D image")
    if pixels.min() < 0 or pixels.max() > 255:
        raise ValueError("inject: pixel values 0 to 255")
    height, width = pixels.shape
    handle, path = tempfile.mkstemp(suffix=".pgm")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(b"P5\n%d %d\n255\n" % (width, height))
            file.write(np.ascontiguousarray(pixels, dtype=np.uint8).tobytes())
        board["FG_DEBUGSOURCE"] = 0  # the camera's entry
        board["FG_DEBUGINENABLE"] = "FG_ON"
        board["FG_DEBUGFILE"] = path
        board["FG_DEBUGINSERT"] = "FG_APPLY"
    finally:
        os.unlink(path)


def fail_nx_write(name: str, code: int) -> None:
    """Writes of the design's NX parameter `name` answer `code` (0 removes the failure)."""
    _sim.fail_nx_write(name, code)


def fail_nx_read(name: str, code: int) -> None:
    """Reads of the design's NX parameter `name` answer `code` (0 removes the failure)."""
    _sim.fail_nx_read(name, code)


def fail_call(function: str, result: int, last_error: int) -> None:
    """The runtime call `function` on the applet's inner handle answers `result` with
    `last_error` (both 0 remove the failure)."""
    _sim.fail_call(function, result, last_error)


def fail_open(last_error: int) -> None:
    """Opening a board fails with `last_error` until reset() (0 removes the failure)."""
    _sim.fail_open(last_error)


def set_call_log(on: bool) -> None:
    """The simulated runtime records every call the applet makes on the board, for tests that
    look at them; a long run (a benchmark, a soak test) switches the record off. reset() switches
    it on again and forgets what it holds."""
    _sim.set_call_log(on)


def reset() -> None:
    """Removes injected failures; the boards start again from the design's values."""
    _sim.reset()
