"""How to test your own image processing against the simulated board: on the virtual clock a
frame comes exactly when the test moves the clock on, and an injected image replaces the next
one, so the test knows what the function must find. Run it with pytest."""
import numpy as np

import orvanta
from orvanta import sim


def brightest_spot(image):
    """The function under test: where the brightest pixel lies, as (row, column)."""
    return tuple(int(i) for i in np.unravel_index(np.argmax(image), image.shape))


def test_the_brightest_spot_is_found_in_every_frame():
    spots = [(5, 7), (20, 40), (47, 63)]
    with sim.virtual_clock(), orvanta.open(board=0) as fg:
        fg["FG_CAMERASIMULATOR_ENABLE"] = "FG_CAMERASIMULATOR"
        fg["FG_WIDTH"], fg["FG_HEIGHT"] = 64, 48
        for spot in spots:
            image = np.zeros((48, 64), np.uint8)
            image[spot] = 255
            sim.inject(fg, image)  # replaces the next frame of the camera simulator
        frames = sim.grab(fg, len(spots))  # the clock moves on until each frame has come
    assert [brightest_spot(frame) for frame in frames] == spots
