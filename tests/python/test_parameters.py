"""Parameters by name against the parameter list written down independently of the library
(tests/e2e/sdk_parameters.txt), the errors every failure raises, and the description and
configuration calls."""
import math

import pytest

import orvanta
from orvanta import sim
from conftest import SDK_PARAMETERS

# The list's kinds and the description's types that stand for them.
TYPES = {"int": {"uint32", "int32"}, "int64": {"int64", "uint64"}, "double": {"double"}, "enum": {"enum"},
         "string": {"string"}, "runtime": {"runtime"}}
PYTHON_TYPES = {"int": int, "int64": int, "double": float, "string": str, "runtime": int}


def listed():
    """(id, name, kind, access, start, read) of every row of the list."""
    rows = []
    for line in SDK_PARAMETERS.read_text().splitlines():
        if line and not line.startswith("#"):
            _, pid, name, kind, access, start, read = line.split("\t")
            rows.append((int(pid), name, kind, access, start, read))
    return rows


def other_value(parameter, now):
    """A value the parameter takes other than `now`, from its description."""
    if parameter.type == "enum":
        return next((symbol for symbol in parameter.entries if symbol != now), now)
    if parameter.type == "string":
        return "written from Python"
    low, high, _ = parameter.range
    if parameter.type == "double":
        return low if not math.isclose(now, low) else high
    return low if now != low else high


def test_the_catalogue_is_the_listed_one(board):
    described = {p.name: p for p in board.parameters()}
    rows = listed()
    assert [name for _, name, *_ in rows] == list(described)[:len(rows)]
    for pid, name, kind, access, *_ in rows:
        p = described[name]
        assert (p.id, p.type in TYPES[kind]) == (pid, True), name
        # The description makes some parameters read-only while others' values exclude them.
        assert p.access in ("R" if access == "runtime" else access, "R"), name
        assert name in board


def test_every_writable_parameter_round_trips_by_name(board):
    described = {p.name: p for p in board.parameters()}
    rows = [row for row in listed() if "W" in row[3]]
    for _, name, kind, _, start, read in rows:  # the values right after opening
        now, p = board[name], described[name]
        assert isinstance(now, str if kind == "enum" else PYTHON_TYPES[kind]), name
        if read == "stored":
            number = p.entries[now] if kind == "enum" else now
            start = {"double": float, "string": lambda s: s.strip('"')}.get(kind, int)(start)
            assert number == (pytest.approx(start, rel=1e-15) if kind == "double" else start), name
    changed = 0
    for _, name, kind, _, _, read in rows:
        p, now = described[name], board[name]
        if name == "FG_SENDSOFTWARETRIGGER":
            continue  # a write sends a trigger, in software trigger mode only
        board[name] = now  # what was read is taken back
        if read != "stored":
            # Converted into the design's units and back: the same type, maybe rounded.
            assert type(board[name]) is type(now), name
            continue
        assert board[name] == now, name
        if name == "FG_DEBUGSAVECONFIG":
            continue  # a name of its own would save a file there
        value = other_value(p, now)
        try:
            board[name] = value
        except orvanta.OutOfRangeError:
            continue  # limits or entries that other parameters' values narrow now
        except orvanta.Error as refused:
            assert refused.code == -2031 and name == "FG_DEBUGINSERT", refused  # the debug input is off
            continue
        assert board[name] == (pytest.approx(value, rel=1e-12) if kind == "double" else value), name
        changed += 1
    assert changed > 50


def test_failures_raise_their_kind_with_code_and_text(board, tmp_path):
    def raised(action):
        with pytest.raises(orvanta.Error) as caught:
            action()
        return caught.value

    def write(name, value):
        return lambda: board.__setitem__(name, value)

    cases = [
        (lambda: board["FG_NO_SUCH"], orvanta.NotFoundError, 0, "no such parameter"),
        (write("FG_WIDTH", 7), orvanta.OutOfRangeError, -6000, "value out of range (8 .. 65536)"),
        (write("FG_WIDTH", 2**40), orvanta.OutOfRangeError, -6000, "does not fit uint32"),
        (write("FG_WIDTH", 1.5), orvanta.WrongTypeError, -2078, "an integer, not float"),
        (write("FG_TRIGGER_FRAMESPERSECOND", "fast"), orvanta.WrongTypeError, -2078, "a number"),
        (write("FG_FORMAT", "FG_NOPE"), orvanta.OutOfRangeError, -6000, "no entry of FG_FORMAT (one of FG_GRAY"),
        (write("FG_DEBUGFILE", 7), orvanta.WrongTypeError, -2078, "a text"),
        (write("FG_CAMSTATUS", 1), orvanta.ReadOnlyError, -12, "read-only"),
        (write("FG_NR_OF_DMAS", 2), orvanta.ReadOnlyError, -12, "read-only"),
        (lambda: board.save(tmp_path / "config.txt"), orvanta.Error, -5001, ".mcf"),
        (lambda: board.load(tmp_path / "missing.mcf"), orvanta.Error, -2076, "does not exist"),
        (lambda: board.on("FG_NO_SUCH_EVENT", print), orvanta.NotFoundError, -2070, "no such event"),
        (lambda: board.wait_event("FG_OVERFLOW_CAM0", 0.05), orvanta.TimeoutError, -2120, "no event"),
        (lambda: orvanta.open(board=99), orvanta.NotFoundError, -2003, "no such board"),
    ]
    for action, kind, code, text in cases:
        error = raised(action)
        assert (type(error), error.code) == (kind, code if code else error.code), (text, error)
        assert text in str(error), str(error)
    assert isinstance(raised(lambda: board["FG_NO_SUCH"]), LookupError)
    assert isinstance(raised(write("FG_WIDTH", 7)), ValueError)

    # A write the design refuses comes back as the applet's answer, with its code.
    sim.fail_nx_write("Device1_Process0_CameraSimulator_Size_ImageHeight", -5)
    error = raised(write("FG_CAMERASIMULATOR_HEIGHT", 100))
    assert error.code != 0 and "set FG_CAMERASIMULATOR_HEIGHT" in str(error)

    # Inputs of no use raise; none reaches the runtime as something it could trip on.
    for hostile in (lambda: board[5], write("FG_WIDTH", None), write("FG_WIDTH", "7"), write("FG_DEBUGFILE", "a\0b"),
                    write("FG_DEBUGFILE", "\u20ac"), write("FG_TRIGGER_FRAMESPERSECOND", [1]),
                    lambda: board.stream(buffers=0), lambda: board.stream(buffers=2**40),
                    lambda: board.stream(buffer_size=2**63), lambda: board.stream(mode="sideways"),
                    lambda: board.stream(timeout=-1), lambda: board.load(None), lambda: board.on(5, print),
                    lambda: board.on("FG_OVERFLOW_CAM0", 5), lambda: board.wait_event("FG_OVERFLOW_CAM0", -1),
                    lambda: orvanta.open(board=-1), lambda: orvanta.open(applet="NoSuchApplet"),
                    lambda: board.grab(0)):
        with pytest.raises((orvanta.Error, TypeError, ValueError)):
            hostile()

    board.close()
    board.close()
    for action in (lambda: board["FG_WIDTH"], write("FG_WIDTH", 64), board.xml, lambda: board.stream(),
                   lambda: board.on("FG_OVERFLOW_CAM0", print), board.parameters, lambda: board.save("x.mcf")):
        assert type(raised(action)) is orvanta.ClosedError


def test_description_and_configuration_files(board, tmp_path):
    xml = board.xml()
    assert xml.startswith('<?xml version="1.0" encoding="utf-8"?>') and "<Integer Name='FG_WIDTH'>" in xml
    width = next(p for p in board.parameters() if p.name == "FG_WIDTH")
    assert (width.range, width.category, width.display_name) == ((8, 65536, 1), "ROI", "Width")
    fmt = next(p for p in board.parameters() if p.name == "FG_FORMAT")
    assert fmt.entries["FG_GRAY16"] == 1 and fmt.range is None

    board["FG_WIDTH"], board["FG_FORMAT"] = 320, "FG_GRAY16"
    board["FG_TRIGGER_FRAMESPERSECOND"] = 12.5
    saved = tmp_path / "roi.mcf"
    board.save(saved)
    board["FG_WIDTH"], board["FG_FORMAT"] = 1024, 3
    board.load(str(saved))
    assert (board["FG_WIDTH"], board["FG_FORMAT"], board["FG_TRIGGER_FRAMESPERSECOND"]) == (320, "FG_GRAY16", 12.5)
