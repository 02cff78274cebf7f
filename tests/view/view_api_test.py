#!/usr/bin/env python3
"""`orvanta view`'s JSON API without a browser, on the simulated board: parameters, writes and
what they change, refusals, frames as raw bytes, PNG and JPEG, the acquisition, configuration
files, events, bad input of every kind, the limit on viewers, the access checks and a clean stop.

Usage: view_api_test.py CASE TOOL
"""
import json
import os
import socket
import sys
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree

from viewer_server import SIMULATOR, Viewer, pattern, read_png
# The tool's test runner: its case table, failure list and main serve these cases too.
from orvanta_tool_test import CASES, FAILURES, TOOL, check, main  # noqa: F401


def values(viewer):
    """Every writable parameter's value by name (status values change by themselves)."""
    status, tree = viewer.json("GET", "/api/parameters")
    found = {}

    def walk(category):
        for p in category["parameters"]:
            if p["writable"]:
                found[p["name"]] = p.get("value")
        for inner in category["categories"]:
            walk(inner)
    for category in tree["categories"]:
        walk(category)
    return found


def parameter(viewer, name):
    return viewer.json("GET", "/api/parameters/" + name)[1]


def stops_cleanly(viewer):
    status, out, err = viewer.stop()
    check(status == 0 and "orvanta view: stopped" in out, "Ctrl-C: exit status and message", status, out, err)
    check("Sanitizer" not in err and "runtime error:" not in err, "a sanitizer report", err)


def case_parameters():
    settings = SIMULATOR + ["--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16"]
    with Viewer(TOOL, settings) as viewer:
        status, board = viewer.json("GET", "/api/board")
        check(status == 200 and board["applet"] == "Orvanta" and board["parameters"] == 130, "/api/board", board)
        check(any(e["name"] == "FG_OVERFLOW_CAM0" and e["bit"] == 0 for e in board["events"]), "/api/board events", board)
        check(board["camera_control"] is True and board["token_required"] is False, "/api/board controls", board)

        status, tree = viewer.json("GET", "/api/parameters")
        roi = [c for c in tree["categories"] if c["name"] == "ROI"]
        width = [p for p in roi[0]["parameters"] if p["name"] == "FG_WIDTH"] if roi else []
        check(width and width[0]["value"] == 64 and width[0]["type"] == "uint32" and width[0]["access"] == "RW"
              and width[0]["min"] == 8 and width[0]["unit"] == "pixel" and width[0]["description"],
              "the tree's ROI / FG_WIDTH", roi)
        fmt = parameter(viewer, "FG_FORMAT")
        check(fmt["symbol"] == "FG_GRAY" and {"value": 1, "symbol": "FG_GRAY16", "name": "Gray 16bit"} in fmt["entries"],
              "FG_FORMAT's entries", fmt)
        check(tree["without_description"] and all(p["type"] == "runtime" for p in tree["without_description"]),
              "parameters without a record", tree["without_description"])

        # An accepted write answers what it changed: the limit of FG_WIDTH follows FG_XOFFSET.
        status, answer = viewer.json("PUT", "/api/parameters/FG_XOFFSET", {"value": 16})
        changed = {p["name"]: p for p in answer.get("changed", [])}
        check(status == 200 and answer["parameter"]["value"] == 16, "FG_XOFFSET=16", status, answer)
        check(changed.get("FG_WIDTH", {}).get("max") == 65520, "FG_XOFFSET=16 changes FG_WIDTH's maximum", changed)
        # A refused value: the applet's code and text, the range as it is now, nothing changed.
        status, answer = viewer.json("PUT", "/api/parameters/FG_WIDTH", {"value": 65521})
        check(status == 422 and answer["error"]["code"] == -6000 and answer.get("range") == "8 .. 65520"
              and "out of range" in answer["error"]["message"] and answer["parameter"]["value"] == 64,
              "FG_WIDTH=65521 refused with the range", status, answer)
        # Symbols, named constants and texts of numbers all go through.
        status, answer = viewer.json("PUT", "/api/parameters/FG_TRIGGERQUEUE_MODE", {"value": "FG_ON"})
        changed = {p["name"]: p for p in answer.get("changed", [])}
        check(status == 200 and changed.get("FG_SENDSOFTWARETRIGGER", {}).get("max") == 2040,
              "FG_TRIGGERQUEUE_MODE=FG_ON moves FG_SENDSOFTWARETRIGGER's maximum", status, answer)
        status, answer = viewer.json("PUT", "/api/parameters/FG_CAMERASIMULATOR_FRAMERATE", {"value": "50.5"})
        check(status == 200 and abs(answer["parameter"]["value"] - 50.5) < 0.1, "a double as text", status, answer)
        stops_cleanly(viewer)


def case_bad_input():
    with Viewer(TOOL, SIMULATOR + ["--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16"]) as viewer:
        before = values(viewer)
        rows = [  # method, path, body, headers, status, text in the message
            ("PUT", "/api/parameters/FG_NOTHING", {"value": 1}, {}, 404, "no parameter"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": True}, {}, 400, "number or a text"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": [1]}, {}, 400, "number or a text"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": None}, {}, 400, "number or a text"),
            ("PUT", "/api/parameters/FG_WIDTH", {"wert": 1}, {}, 400, "value"),
            ("PUT", "/api/parameters/FG_WIDTH", "{\"value\": ", {}, 400, "JSON object"),
            ("PUT", "/api/parameters/FG_WIDTH", "[1, 2]", {}, 400, "JSON object"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": "wide"}, {}, 400, "no number"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": 1e400}, {}, 400, ""),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": -1}, {}, 400, "unsigned"),
            ("PUT", "/api/parameters/FG_WIDTH", {"value": 2 ** 64}, {}, 400, "integer"),
            ("PUT", "/api/parameters/FG_WIDTH", "{\"value\": 8" + " " * 70000 + "}", {}, 413, "larger"),
            ("PUT", "/api/parameters/FG_WIDTH", "x" * (2 * 1024 * 1024), {}, 413, "larger"),
            ("PUT", "/api/parameters/FG_PIXELDEPTH", {"value": 8}, {}, 422, ""),
            ("DELETE", "/api/parameters/FG_WIDTH", None, {}, 405, "GET, PUT"),
            ("GET", "/api/nothing", None, {}, 404, "no such API"),
            ("GET", "/nothing.html", None, {}, 404, "no such page"),
            ("POST", "/api/acquisition", {"running": "yes"}, {}, 400, "running"),
            ("POST", "/api/acquisition", "", {}, 400, "JSON object"),
            ("GET", "/api/frame?after=-1", None, {}, 400, "after"),
            ("GET", "/api/frame?timeout_ms=99999", None, {}, 400, "timeout_ms"),
            ("GET", "/api/frame.jpg?quality=0", None, {}, 400, "quality"),
            ("PUT", "/api/camera", {"width": 0}, {}, 400, "width"),
            ("PUT", "/api/camera", {"speed": 1}, {}, 400, "speed"),
            ("PUT", "/api/configuration", "", {}, 400, "configuration file"),
            ("PUT", "/api/configuration", "[Kamerasektion]\nnonsense\n", {}, 422, ""),
        ]
        for method, path, body, headers, status, text in rows:
            got, data = viewer.json(method, path, body, headers)
            message = data.get("error", {}).get("message", "") if isinstance(data, dict) else ""
            check(got == status and text in message, f"{method} {path} {str(body)[:40]}: {got}, expected {status} "
                  f"with {text!r}", data)
        after = values(viewer)
        check(before == after, "bad requests changed parameters",
              {k: (before[k], after.get(k)) for k in before if before[k] != after.get(k)})
        # Requests that are no HTTP at all: the server answers or closes, and goes on.
        for garbage in (b"\x00\xff" * 100 + b"\r\n\r\n", b"GET " + b"/" * 20000 + b" HTTP/1.1\r\n\r\n",
                        b"PUT /api/parameters/FG_WIDTH HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: -5\r\n\r\n"):
            with socket.create_connection(("127.0.0.1", viewer.port), timeout=10) as s:
                s.sendall(garbage)
                try:
                    s.recv(4096)
                except OSError:
                    pass
        check(viewer.json("GET", "/api/board")[0] == 200, "the server answers after garbage")
        stops_cleanly(viewer)


def case_frames():
    settings = SIMULATOR + ["--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16", "--set", "FG_XOFFSET=8",
                            "--set", "FG_YOFFSET=2"]
    with Viewer(TOOL, settings) as viewer:
        got = viewer.frame()
        check(got is not None, "no frame came")
        headers, data = got
        check((headers["x-frame-width"], headers["x-frame-height"], headers["x-frame-bits-per-pixel"],
               headers["x-frame-format"]) == ("64", "16", "8", "FG_GRAY"), "frame headers", headers)
        check(data == pattern(64, 16, 1, 8, 2), "raw frame differs from the pattern", data[:16], pattern(64, 16, 1, 8, 2)[:16])
        status, _, png = viewer.request("GET", "/api/frame.png")
        check(status == 200 and read_png(png) == (64, 16, 8, pattern(64, 16, 1, 8, 2)), "PNG of the frame")
        status, headers, jpeg = viewer.request("GET", "/api/frame.jpg?quality=90")
        check(status == 200 and jpeg[:2] == b"\xff\xd8" and jpeg[-2:] == b"\xff\xd9", "JPEG of the frame", status)

        # The latest frame wins: a client that comes back later gets the newest, not the next.
        first = int(viewer.frame()[0]["x-frame-serial"])
        time.sleep(0.5)
        later = int(viewer.frame(first)[0]["x-frame-serial"])
        check(later > first + 2, "a slow client got the next frame instead of the latest", first, later)

        # A new width restarts the acquisition with frames of that width.
        check(viewer.json("PUT", "/api/parameters/FG_WIDTH", {"value": 32})[0] == 200, "FG_WIDTH=32")
        got = viewer.frame_where(lambda h: h["x-frame-width"] == "32")
        check(got is not None and got[1] == pattern(32, 16, 1, 8, 2), "frames of FG_WIDTH=32")
        # 16-bit pixels: the bytes as delivered, a 16-bit PNG, and an 8-bit JPEG.
        check(viewer.json("PUT", "/api/parameters/FG_FORMAT", {"value": "FG_GRAY16"})[0] == 200, "FG_FORMAT=FG_GRAY16")
        got = viewer.frame_where(lambda h: h["x-frame-bits-per-pixel"] == "16")
        expected = pattern(32, 16, 2, 8, 2)
        check(got is not None and got[1] == expected, "16-bit frame differs from the pattern")
        status, _, png = viewer.request("GET", "/api/frame.png")
        swapped = b"".join(expected[i + 1:i + 2] + expected[i:i + 1] for i in range(0, len(expected), 2))
        check(status == 200 and read_png(png) == (32, 16, 16, swapped), "16-bit PNG")
        check(viewer.request("GET", "/api/frame.jpg")[0] == 200, "JPEG of a 16-bit frame")
        # Packed 10-bit pixels come as bytes, and no picture is made of them.
        check(viewer.json("PUT", "/api/parameters/FG_FORMAT", {"value": "FG_GRAY10"})[0] == 200, "FG_FORMAT=FG_GRAY10")
        check(viewer.frame_where(lambda h: h["x-frame-bits-per-pixel"] == "10") is not None, "10-bit frames")
        status, answer = viewer.json("GET", "/api/frame.png")
        check(status == 409 and "8 or 16 bits" in answer["error"]["message"], "PNG of 10-bit pixels", status, answer)

        # Stopped, no frame comes; started again, frames come.
        status, state = viewer.json("POST", "/api/acquisition", {"running": False})
        check(status == 200 and state["requested"] is False, "stop", state)
        time.sleep(0.3)
        serial = viewer.json("GET", "/api/acquisition")[1]["serial"]
        check(viewer.frame(serial, 500) is None, "a frame came while stopped")
        status, state = viewer.json("POST", "/api/acquisition", {"running": True})
        check(status == 200 and state["requested"] is True and viewer.frame(serial, 5000) is not None,
              "frames after a start", state)
        stops_cleanly(viewer)


def case_streams():
    """Events, the MJPEG stream, the limit on viewers, and everything at once from threads."""
    # The camera on the camera port, triggered by the trigger module's generator: frames and events.
    generator = ["--set", "FG_AREATRIGGERMODE=ATM_GENERATOR", "--set", "FG_TRIGGER_FRAMESPERSECOND=100",
                 "--set", "FG_TRIGGERSTATE=TS_ACTIVE", "--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16"]
    with Viewer(TOOL, generator, ["--clients", "2"]) as viewer:
        events = viewer.connection()
        events.request("GET", "/api/events")
        response = events.getresponse()
        check(response.status == 200 and "text/event-stream" in response.getheader("Content-Type"), "event stream")
        seen, deadline = [], time.time() + 10
        while time.time() < deadline and not seen:
            line = response.readline().decode()
            if line.startswith("data: {") and "\"name\"" in line:
                seen.append(json.loads(line[6:]))
        check(seen and {"serial", "bit", "name", "timestamp_ns", "data"} <= set(seen[0]), "an event with its data", seen)
        # A write shows in every viewer's stream with what it changed.
        viewer.json("PUT", "/api/parameters/FG_HEIGHT", {"value": 8})
        changes, deadline = None, time.time() + 10
        while time.time() < deadline and changes is None:
            if response.readline().decode().startswith("event: parameters"):
                changes = json.loads(response.readline().decode()[6:])
        check(changes and any(p["name"] == "FG_HEIGHT" and p["value"] == 8 for p in changes),
              "the write in the event stream", changes)

        mjpeg = viewer.connection()
        mjpeg.request("GET", "/api/stream.mjpg")
        stream = mjpeg.getresponse()
        check(stream.status == 200 and "multipart/x-mixed-replace" in stream.getheader("Content-Type"), "MJPEG stream")
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 1000:
            head += stream.read(1)
        check(b"Content-Type: image/jpeg" in head and stream.read(2) == b"\xff\xd8", "MJPEG part", head)

        status, answer = viewer.json("GET", "/api/events")
        check(status == 503 and "too many viewers" in answer["error"]["message"], "a third stream", status, answer)
        mjpeg.close()
        events.close()
        deadline = time.time() + 10
        while time.time() < deadline and viewer.request("GET", "/api/stream.mjpg?quality=101")[0] != 400:
            time.sleep(0.1)

        # Frames, parameter reads and writes and the acquisition from several threads at once:
        # every answer is whole and consistent.
        problems = []

        def frames():
            serial = 0
            for _ in range(40):
                got = viewer.frame(serial, 2000)
                if got is None:
                    continue
                headers, data = got
                serial = int(headers["x-frame-serial"])
                if len(data) != int(headers["x-frame-line-bytes"]) * int(headers["x-frame-height"]):
                    problems.append(("frame size", headers, len(data)))

        def writes():
            for i in range(30):
                status, _ = viewer.json("PUT", "/api/parameters/FG_WIDTH", {"value": 32 + 32 * (i % 2)})
                if status != 200:
                    problems.append(("write", status))

        def reads():
            for _ in range(10):
                if viewer.json("GET", "/api/parameters")[0] != 200 or viewer.json("GET", "/api/acquisition")[0] != 200:
                    problems.append("read")

        def restarts():
            for i in range(6):
                viewer.json("POST", "/api/acquisition", {"running": i % 2 == 1})
                time.sleep(0.05)

        threads = [threading.Thread(target=f) for f in (frames, frames, writes, reads, restarts)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        check(not problems, "answers under load", problems[:5])
        stops_cleanly(viewer)


def case_configuration():
    with Viewer(TOOL, SIMULATOR + ["--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16"]) as viewer:
        status, headers, saved = viewer.request("GET", "/api/configuration")
        check(status == 200 and b"[Port A]" in saved and "attachment" in headers.get("Content-Disposition", ""),
              "saved configuration", status, headers)
        viewer.json("PUT", "/api/parameters/FG_WIDTH", {"value": 128})
        status, answer = viewer.json("PUT", "/api/configuration", saved)
        changed = {p["name"]: p for p in answer.get("changed", [])}
        check(status == 200 and answer["loaded"] is True and changed.get("FG_WIDTH", {}).get("value") == 64,
              "loading the saved configuration puts FG_WIDTH back", status, answer)
        status, answer = viewer.json("PUT", "/api/configuration", saved.replace(b"Typ='Orvanta'", b"Typ='Other'"))
        check(status == 422 and answer["loaded"] is False and answer["error"]["code"] < 0 and answer["error"]["message"],
              "a configuration of another applet is refused", status, answer)
        stops_cleanly(viewer)


def raw_request(port, text):
    """The status line of an answer to a request written by hand."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(text.encode())
        return s.recv(4096).split(b"\r\n")[0].decode()


def case_access():
    with Viewer(TOOL, SIMULATOR) as viewer:
        port = viewer.port
        own = {"Host": f"127.0.0.1:{port}"}
        rows = [  # headers, status
            ({"Host": f"localhost:{port}"}, 200),
            ({"Host": f"[::1]:{port}"}, 200),
            ({"Host": f"evil.example:{port}"}, 403),
            ({"Host": f"127.0.0.1:{port + 1}"}, 403),
            ({"Host": "127.0.0.1"}, 403),
            (dict(own, Origin=f"http://127.0.0.1:{port}"), 200),
            (dict(own, Origin=f"http://localhost:{port}"), 200),
            (dict(own, Origin="http://evil.example"), 403),
            (dict(own, Origin=f"https://127.0.0.1:{port}"), 403),
            (dict(own, Origin="null"), 403),
        ]
        for headers, status in rows:
            got = viewer.request("GET", "/api/board", headers=headers)[0]
            check(got == status, f"GET /api/board with {headers}: {got}, expected {status}")
        before = parameter(viewer, "FG_WIDTH")["value"]
        got = viewer.request("PUT", "/api/parameters/FG_WIDTH", {"value": 512},
                             dict(own, Origin="http://evil.example"))[0]
        check(got == 403 and parameter(viewer, "FG_WIDTH")["value"] == before, "a foreign page's write", got)
        check(raw_request(port, "GET /api/board HTTP/1.0\r\n\r\n").endswith("400 Bad Request"), "no Host header")
        stops_cleanly(viewer)

    # Any address: a token is made and printed, and every API request needs it.
    with Viewer(TOOL, SIMULATOR, ["--bind", "0.0.0.0"]) as viewer:
        check(viewer.token and len(viewer.token) == 32, "a token in the printed address", viewer.banner)
        port, token = viewer.port, viewer.token
        for path, headers, status in [
                ("/api/board", {}, 401),
                ("/api/board", {"Authorization": "Bearer wrong"}, 401),
                ("/api/board?token=" + "0" * 32, {}, 401),
                ("/api/board", {"Authorization": "Bearer " + token}, 200),
                ("/api/board?token=" + token, {}, 200),
                ("/api/frame.png", {}, 401),
                ("/", {}, 200),  # the page itself holds nothing; its requests carry the token
                ("/viewer.js", {}, 200)]:
            got = viewer.request("GET", path, headers=dict(headers, Host=f"127.0.0.1:{port}"), token=False)[0]
            check(got == status, f"--bind 0.0.0.0: GET {path} {headers}: {got}, expected {status}")
        stops_cleanly(viewer)
    # A token given on a local address is asked for too.
    with Viewer(TOOL, SIMULATOR, ["--token", "sesame"]) as viewer:
        check(viewer.token == "sesame", "the given token in the address", viewer.banner)
        check(viewer.request("GET", "/api/board", token=False)[0] == 401, "--token: no token")
        check(viewer.request("GET", "/api/board")[0] == 200, "--token: the token")
        stops_cleanly(viewer)


CASES.clear()
CASES.update({name[5:]: function for name, function in globals().items() if name.startswith("case_")})

if __name__ == "__main__":
    sys.exit(main())
