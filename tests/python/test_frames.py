"""Frames as NumPy arrays: the camera simulator's pictures against its pattern computed here,
views of the board's buffers without a copy, held frames in blocking mode, released frames, and
images injected at the camera."""
import gc

import numpy as np
import pytest

import orvanta
from orvanta import sim
from conftest import simulate

SOURCE_WIDTH, SOURCE_HEIGHT = 64, 16


def pattern(k, kind="FG_DIAGONAL", offset=0, roll=False):
    """The simulator's source frame k as bytes: offset (+ k when rolling) + x (but vertical) +
    y (but horizontal), modulo 256."""
    y, x = np.mgrid[0:SOURCE_HEIGHT, 0:SOURCE_WIDTH]
    value = offset + (k if roll else 0) + (x if kind != "FG_VERTICAL" else 0) + (y if kind != "FG_HORIZONTAL" else 0)
    return (value % 256).astype(np.uint8)


def expected(k, width, height, x, y, pixel_bytes, **settings):
    """The picture of a region cut from source frame k, 0 past the source frame's edges."""
    source = np.zeros((y + height + SOURCE_HEIGHT, (x + width) * pixel_bytes + SOURCE_WIDTH), np.uint8)
    source[:SOURCE_HEIGHT, :SOURCE_WIDTH] = pattern(k, **settings)
    cut = np.ascontiguousarray(source[y:y + height, x * pixel_bytes:(x + width) * pixel_bytes])
    return cut.view(np.uint16) if pixel_bytes == 2 else cut


@pytest.mark.parametrize("fmt, width, height, x, y, kind, offset, roll", [
    ("FG_GRAY", 64, 16, 0, 0, "FG_DIAGONAL", 0, False),
    ("FG_GRAY", 16, 4, 8, 3, "FG_HORIZONTAL", 17, True),
    ("FG_GRAY16", 40, 4, 4, 0, "FG_VERTICAL", 3, True),
    ("FG_GRAY16", 24, 8, 20, 12, "FG_DIAGONAL", 255, True),
])
def test_frames_show_the_simulators_pattern(board, fmt, width, height, x, y, kind, offset, roll):
    period = simulate(board, width, height, kind, offset, roll, fmt, x, y)
    with board.stream(buffers=4, auto_release=False) as stream:
        sim.advance(period * 2.5)
        frames = [stream.next_frame(timeout=0) for _ in range(2)]
        for k, frame in enumerate(frames):
            assert (frame.picture, frame.dtype) == (k + 1, np.uint16 if fmt == "FG_GRAY16" else np.uint8)
            np.testing.assert_array_equal(frame, expected(k, width, height, x, y, 2 if fmt == "FG_GRAY16" else 1,
                                                          kind=kind, offset=offset, roll=roll))
        # Each picture carries the board clock of its delivery: one frame period apart.
        assert frames[1].timestamp - frames[0].timestamp == pytest.approx(period * 1e9, abs=2)


def test_frames_view_the_buffers_and_a_held_one_stays_as_it_was(board):
    period = simulate(board, roll=True)
    # Ring mode: pictures 1 and 3 go into buffer 0; the view of picture 1 shows picture 3 then.
    with board.stream(buffers=2, mode="ring", auto_release=False) as ring:
        sim.advance(period * 1.5)
        first = ring.next_frame()
        view, kept, buffer = first.array, first.copy(), first.buffer
        sim.advance(period * 2)
        second, third = ring.next_frame(timeout=0), ring.next_frame(timeout=0)
        assert (buffer, second.buffer, third.buffer, first.buffer) == (0, 1, 0, -1)  # picture 1 overwritten
        assert np.shares_memory(view, third.array) and not np.shares_memory(view, kept)
        np.testing.assert_array_equal(view, pattern(2, roll=True))
        np.testing.assert_array_equal(kept, pattern(0, roll=True))
        assert not view.flags.writeable

    # Blocking mode: a held frame's buffer is not filled again while the board goes on.
    with board.stream(buffers=2, auto_release=False) as blocking:
        sim.advance(period * 1.5)
        held = blocking.next_frame()
        sim.advance(period * 5)
        assert (blocking.delivered, blocking.lost) == (2, 4)  # one buffer left for the others
        np.testing.assert_array_equal(held.array, pattern(0, roll=True))
        second = blocking.next_frame(timeout=0)
        second.release()
        sim.advance(period)
        np.testing.assert_array_equal(held.array, pattern(0, roll=True))
        with held:
            pass
        sim.advance(period)
        assert blocking.delivered == 4 and held.released

    # The stream releases each frame when it hands out the next.
    with board.stream(buffers=2) as auto:
        sim.advance(period * 1.5)
        frames = [auto.next_frame()]
        for _ in range(3):
            sim.advance(period)
            frames.append(auto.next_frame(timeout=0))
        assert [f.picture for f in frames] == [1, 2, 3, 4] and auto.lost == 0
        assert [f.released for f in frames] == [True, True, True, False]


def test_released_frames_refuse_use_and_their_arrays_stay_valid(board):
    period = simulate(board, roll=True)
    stream = board.stream(buffers=2, auto_release=False)
    sim.advance(period * 2.5)
    frame, other = stream.next_frame(), stream.next_frame()
    view = frame.array
    frame.release()
    for use in (lambda: frame.array, lambda: np.asarray(frame), frame.copy, lambda: frame.dtype):
        with pytest.raises(orvanta.ClosedError, match="frame 1 was released"):
            use()
    frame.release()  # again: nothing
    assert "released" in repr(frame)

    # Closing the board ends the stream and its frames; arrays taken before keep the buffers
    # (and the board's runtime handle) until they are gone.
    other_view = other.array
    board.close()
    with pytest.raises(orvanta.ClosedError, match="was closed"):
        other.array
    assert stream.closed and stream.next_frame() is None
    np.testing.assert_array_equal(other_view, pattern(1, roll=True))
    assert view.shape == (16, 64)
    del view, other_view, frame, other, stream
    gc.collect()


def test_grab_and_injected_images(board):
    period = simulate(board)
    image = np.arange(5 * 3, dtype=np.uint8).reshape(3, 5) * 10
    sim.inject(board, image)
    board["FG_WIDTH"], board["FG_HEIGHT"] = 8, 4
    first, second = sim.grab(board, 2, step=period)
    expected_first = np.zeros((4, 8), np.uint8)
    expected_first[:3, :5] = image
    np.testing.assert_array_equal(first, expected_first)
    np.testing.assert_array_equal(second, pattern(1)[:4, :8])

    # On the real clock: 3 frames at 2000 frames per second.
    sim.set_virtual_clock(False)
    board["FG_CAMERASIMULATOR_SELECT_MODE"] = "FG_FRAMERATE"
    board["FG_CAMERASIMULATOR_FRAMERATE"] = 2000.0
    frames = board.grab(3)
    assert len(frames) == 3 and all(f.shape == (4, 8) and f.flags.owndata for f in frames)
