"""Orvanta frame-grabber boards from Python.

Open the applet on a board, set its parameters by name, stream frames as NumPy arrays that view
the board's buffers without a copy, and react to its events::

    import orvanta

    with orvanta.open(board=0) as fg:
        fg["FG_WIDTH"] = 640
        fg["FG_FORMAT"] = "FG_GRAY16"
        with fg.stream(buffers=8) as stream:
            for frame in stream:
                print(frame.picture, frame.array.mean())

The package runs over the frame-grabber runtime's application interface; it comes with the
applet and the simulated board, whose test control (virtual clock, camera, trigger inputs,
injected images and failures) is :mod:`orvanta.sim`.
"""
from __future__ import annotations

import builtins
import typing

from ._orvanta import Board, Frame, Stream, _register

__all__ = ["open", "Board", "Stream", "Frame", "Parameter", "Event", "Error", "NotFoundError",
           "OutOfRangeError", "ReadOnlyError", "TimeoutError", "ClosedError", "WrongTypeError"]


class Error(Exception):
    """A failed call: ``code`` is the runtime's or the applet's error number (negative), or for
    a value this package refuses before any call the number the applet would answer (0 when none
    fits); ``text`` says what it means."""

    def __init__(self, message: str, code: int = 0, text: str = ""):
        super().__init__(message)
        self.code = code
        self.text = text


class NotFoundError(Error, LookupError):
    """No parameter, event or board of that name or number."""


class OutOfRangeError(Error, ValueError):
    """A value the parameter does not take (outside its range or entries)."""


class ReadOnlyError(Error):
    """A write to a parameter that only reports."""


class TimeoutError(Error, builtins.TimeoutError):
    """A frame or an event that did not come in time."""


class ClosedError(Error):
    """A closed board or stream, or a released frame."""


class WrongTypeError(Error, TypeError):
    """A Python value of a type the parameter cannot take (a text for a number, ...)."""


class Parameter(typing.NamedTuple):
    """One parameter as the applet describes it (``Board.parameters()``)."""

    name: str
    id: int
    type: str  # "uint32", "int32", "int64", "uint64", "double", "enum", "string", "runtime"
    access: str  # "R", "RW", "RWC"
    range: tuple | None  # (min, max, increment) of numbers
    entries: dict  # enumeration entries, symbol: value
    category: str  # "Trigger / Queue"
    unit: str
    display_name: str


class Event(typing.NamedTuple):
    """One occurrence of an event, as handlers and ``Board.wait_event`` get it."""

    name: str
    timestamp: int  # the board clock in nanoseconds
    data: int  # the event's data word (an input number, a frame number, a fill level)


# In the order of the core's kinds of failure.
_register((Error, NotFoundError, OutOfRangeError, ReadOnlyError, TimeoutError, ClosedError,
           WrongTypeError), Parameter, Event)


def open(board: int = 0, applet: str = "Orvanta") -> Board:
    """Opens the applet on a board and answers it; use it in a ``with`` block, which closes it.

    Raises NotFoundError for a board the runtime does not have and Error for any other reason
    the runtime gives. Boards still open when the interpreter exits are closed then.
    """
    return Board(board, applet)
