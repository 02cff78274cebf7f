"""The applet's register description read by the GenICam standard's own GenApi implementation
(PyPI's genicam): its node map over a port whose registers are the applet's parameters (the
address a parameter id; 4 bytes an integer or an enumeration's value, 8 a double, longer a
text), and every feature it reaches read and written back."""
import struct

import pytest
from genicam import genapi

import orvanta
from orvanta import sim

INTERFACES = genapi.EInterfaceType


class ParameterPort(genapi.AbstractPort):
    """The board's parameters as the registers of the description's one port, "DevicePort"."""

    def __init__(self, board):
        super().__init__()
        self.board = board
        self.described = {p.id: p for p in board.parameters()}
        self.writes = []

    def get_access_mode(self):
        return genapi.EAccessMode.RW

    def read(self, address, length):
        p = self.described[address]
        value = self.board[p.name]
        if p.type == "enum":
            value = p.entries.get(value, value)
        if length == 8:
            return struct.pack("<d", value)
        if length == 4:
            return struct.pack("<I", value & 0xFFFFFFFF)
        return value.encode("latin-1")[:length - 1].ljust(length, b"\0")

    def write(self, address, data):
        p = self.described[address]
        data = bytes(data)
        if len(data) == 8:
            value = struct.unpack("<d", data)[0]
        elif len(data) == 4:
            value = struct.unpack("<i" if p.type == "int32" or p.type == "enum" else "<I", data)[0]
        else:
            value = data.split(b"\0", 1)[0].decode("latin-1")
        self.board[p.name] = value
        self.writes.append(p.name)


def reachable(node_map):
    """Every feature below the root category, categories unfolded."""
    features, pending = [], list(node_map.get_node("Root").features)
    while pending:
        feature = pending.pop(0)
        if feature.node.principal_interface_type == INTERFACES.intfICategory:
            pending.extend(feature.features)
        else:
            features.append(feature)
    return features


@pytest.fixture
def board(monkeypatch):
    """A board with both direct access switches on: the document with the most features."""
    monkeypatch.setenv("VEXO_ENABLE_DRA", "1")
    monkeypatch.setenv("VEXO_ENABLE_DNXA", "1")
    sim.reset()
    with orvanta.open(board=0) as fg:
        yield fg


def test_the_reference_reads_and_writes_every_feature(board):
    node_map = genapi.NodeMap()
    node_map.load_xml_from_string(board.xml())
    port = ParameterPort(board)
    node_map.connect(port, "DevicePort")

    features = reachable(node_map)
    # The 64-bit parameters have no form in the document, nor those of "Direct Register Access".
    described = {p.name for p in board.parameters()
                 if p.type in ("uint32", "int32", "enum", "double", "string") and not p.name.startswith("DRA_")}
    assert {f.node.name for f in features} == described

    # Each feature's limits and entries are its record's; reading it and writing back what was
    # read goes through the port to the applet (not the software trigger and the configuration
    # file name: writing them acts).
    by_name = {p.name: p for p in board.parameters()}
    refused = {}
    for feature in features:
        name, kind = feature.node.name, feature.node.principal_interface_type
        p = by_name[name]
        if kind == INTERFACES.intfIInteger:
            low, high, inc = p.range
            assert (feature.min, feature.max, feature.inc) == (low, high, max(inc, 1)), name
        elif kind == INTERFACES.intfIFloat:
            assert (feature.min, feature.max) == pytest.approx(p.range[:2], rel=1e-11), name
        elif kind == INTERFACES.intfIEnumeration:
            assert {e.symbolic: e.value for e in feature.entries} == p.entries, name
        try:
            text = feature.to_string()
            if feature.get_access_mode() == genapi.EAccessMode.RW and name not in ("FG_SENDSOFTWARETRIGGER",
                                                                                    "FG_DEBUGSAVECONFIG"):
                feature.from_string(text)
        except Exception as error:  # the reference's refusal, of whichever of its classes
            refused[name] = str(error).splitlines()[0]
    assert refused == {}
    assert len(port.writes) > 150

    # Values reach the applet and come back through the reference's own types.
    node_map.get_node("FG_WIDTH").value = 512
    node_map.get_node("FG_FORMAT").value = "FG_GRAY16"
    node_map.get_node("FG_TRIGGER_FRAMESPERSECOND").value = 1234.5
    assert (board["FG_WIDTH"], board["FG_FORMAT"]) == (512, "FG_GRAY16")
    assert abs(board["FG_TRIGGER_FRAMESPERSECOND"] - 1234.5) < 1e-3
    assert node_map.get_node("FG_APPLET_ID").value == board["FG_APPLET_ID"]
