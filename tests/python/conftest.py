"""Fixtures of the Python package's tests: a board opened fresh on the simulated runtime with its
clock stopped, and the camera simulator set up as a test wants it."""
import pathlib

import pytest

import orvanta
from orvanta import sim

SDK_PARAMETERS = pathlib.Path(__file__).resolve().parent.parent / "e2e" / "sdk_parameters.txt"


@pytest.fixture
def board():
    """Board 0 with the design's start values, on the virtual clock; closed afterwards."""
    sim.reset()
    sim.set_virtual_clock(True)
    with orvanta.open(board=0) as fg:
        yield fg
    sim.set_virtual_clock(False)
    sim.reset()


def simulate(fg, width=64, height=16, pattern="FG_DIAGONAL", offset=0, roll=False, fmt="FG_GRAY", x=0, y=0):
    """The camera simulator free running in pixel-frequency mode, a frame of width x height, the
    region `width` x `height` at (x, y) cut from it; answers its frame period in seconds."""
    fg["FG_CAMERASIMULATOR_ENABLE"] = "FG_CAMERASIMULATOR"
    fg["FG_CAMERASIMULATOR_SELECT_MODE"] = "FG_PIXEL_FREQUENCY"
    fg["FG_CAMERASIMULATOR_PATTERN"] = pattern
    fg["FG_CAMERASIMULATOR_PATTERN_OFFSET"] = offset
    fg["FG_CAMERASIMULATOR_ROLL"] = "FG_ON" if roll else "FG_OFF"
    fg["FG_CAMERASIMULATOR_WIDTH"] = 64
    fg["FG_CAMERASIMULATOR_HEIGHT"] = 16
    fg["FG_FORMAT"] = fmt
    fg["FG_XOFFSET"], fg["FG_WIDTH"] = x, width
    fg["FG_YOFFSET"], fg["FG_HEIGHT"] = y, height
    return 1.0 / fg["FG_CAMERASIMULATOR_FRAMERATE"]
