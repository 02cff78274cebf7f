"""Events delivered to Python handlers on the virtual clock, waits, and a board used from several
Python threads at once: a stream in one, parameter writes in another, a close from a third."""
import threading

import numpy as np
import pytest

import orvanta
from orvanta import sim
from conftest import simulate

MS = 1e-3


def test_handlers_get_the_events_on_the_virtual_clock(board):
    sim.set_camera(board, True, 64, 16, 5000)
    board["FG_TRIGGER_FRAMESPERSECOND"] = 100.0
    board["FG_AREATRIGGERMODE"] = "ATM_GENERATOR"
    seen, threads = [], set()

    def frame_end(event):
        seen.append(event)
        threads.add(threading.get_ident())

    board.on("FG_END_OF_FRAME_CAM_PORT_0", frame_end)
    board.on("FG_TRIGGER_INPUT2_RISING", seen.append)
    board.on("FG_OVERFLOW_CAM0", lambda event: 1 / 0)  # reported, never raised into the runtime
    board["FG_TRIGGERSTATE"] = "TS_ACTIVE"
    sim.advance(45 * MS)
    sim.pulse(board, input=2, count=2, period=MS)
    sim.advance(5 * MS)

    ends = [e for e in seen if e.name == "FG_END_OF_FRAME_CAM_PORT_0"]
    assert [e.data for e in ends] == [1, 2, 3, 4, 5]  # the camera's frame numbers
    assert np.diff([e.timestamp for e in ends]).tolist() == [10_000_000] * 4
    assert [e.data for e in seen if e.name == "FG_TRIGGER_INPUT2_RISING"] == [2, 2]
    assert threads == {threading.get_ident()}  # called inside advance(), in this thread

    # A wait sees the occurrence since the last wait; an unregistered handler is called no more.
    board.on("FG_END_OF_FRAME_CAM_PORT_0", None)
    event = board.wait_event("FG_END_OF_FRAME_CAM_PORT_0", timeout=0.01)
    assert event.name == "FG_END_OF_FRAME_CAM_PORT_0" and event.data >= 5
    sim.advance(20 * MS)
    assert len([e for e in seen if e.name == "FG_END_OF_FRAME_CAM_PORT_0"]) == 5
    with pytest.raises(orvanta.WrongTypeError):
        board.on("FG_OVERFLOW_CAM0", "not callable")


def test_a_stream_in_one_thread_while_another_writes_parameters():
    sim.reset()
    with orvanta.open(board=1) as fg:
        simulate(fg, roll=True)
        fg["FG_CAMERASIMULATOR_SELECT_MODE"] = "FG_FRAMERATE"
        fg["FG_CAMERASIMULATOR_FRAMERATE"] = 2000.0
        shapes, errors = [], []

        def consume():
            try:
                with fg.stream(buffers=4, count=200) as stream:
                    shapes.extend(frame.shape for frame in stream)
            except Exception as error:  # reported below
                errors.append(error)

        def write():
            try:
                for i in range(300):
                    fg["FG_CAMERASIMULATOR_PATTERN_OFFSET"] = i % 256
                    fg["FG_HEIGHT"] = 8 + i % 8
                    assert fg["FG_CAMERASIMULATOR_PATTERN_OFFSET"] == i % 256
            except Exception as error:
                errors.append(error)

        workers = [threading.Thread(target=consume), threading.Thread(target=write)]
        for worker in workers:
            worker.start()
        for worker in workers:
            worker.join()
        assert errors == [] and len(shapes) == 200
        assert all(rows in range(8, 17) and columns == 64 for rows, columns in shapes)


def test_closing_from_another_thread_ends_a_waiting_stream_and_a_wait():
    sim.reset()
    fg = orvanta.open(board=2)
    outcome = {}

    def consume():
        with fg.stream(buffers=2) as stream:
            outcome["frames"] = sum(1 for _ in stream)  # the simulator is off: nothing comes

    def wait():
        try:
            fg.wait_event("FG_OVERFLOW_CAM0", timeout=30)
        except orvanta.Error as error:
            outcome["wait"] = type(error)

    workers = [threading.Thread(target=consume), threading.Thread(target=wait)]
    for worker in workers:
        worker.start()
    threading.Event().wait(0.3)
    fg.close()
    for worker in workers:
        worker.join(timeout=10)
    assert outcome == {"frames": 0, "wait": orvanta.ClosedError}
