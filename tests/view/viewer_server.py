"""Starts `orvanta view` on the simulated board for a test and talks to it with the standard
library: the address it prints, JSON requests, raw frames, the event stream, a clean stop."""
import http.client
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tool"))
import orvanta_tool_test  # noqa: E402  (its PNG reader)

# The settings most cases start from: the camera simulator's diagonal pattern standing still, so
# that byte x of line y of a frame is (x + y + the offsets + 5) mod 256.
SIMULATOR = ["--set", "FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR", "--set", "FG_CAMERASIMULATOR_ROLL=FG_OFF",
             "--set", "FG_CAMERASIMULATOR_PATTERN_OFFSET=5", "--set", "FG_CAMERASIMULATOR_FRAMERATE=100"]


def pattern(width, height, bytes_per_pixel=1, x_offset=0, y_offset=0, offset=5):
    line = width * bytes_per_pixel
    return bytes((x_offset * bytes_per_pixel + x + y + y_offset + offset) % 256
                 for y in range(height) for x in range(line))


class Viewer:
    """One `orvanta view` process; `with Viewer(tool, args) as v:` stops it at the end."""

    def __init__(self, tool, settings=(), view_options=()):
        # Standard error goes to a file: a pipe nobody reads would stop the server once full
        # (with a sanitizer's reports, say).
        self.errors = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen(list(tool) + list(settings) + ["view", "--port", "0"] + list(view_options),
                                        stdout=subprocess.PIPE, stderr=self.errors, text=True)
        line = self.process.stdout.readline()
        found = re.search(r"http://([^/:]+|\[[^\]]+\]):(\d+)/(\?token=(\w+))?", line)
        if not found:
            self.process.kill()
            raise RuntimeError("orvanta view printed no address: " + line + self.stderr())
        self.banner = line
        self.port = int(found.group(2))
        self.token = found.group(4)
        self.host = "127.0.0.1"

    def __enter__(self):
        return self

    def __exit__(self, *error):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.errors.close()

    def stderr(self):
        self.errors.seek(0)
        return self.errors.read()

    def stop(self, timeout=60):
        """Ctrl-C; answers the exit status, standard output and standard error."""
        self.process.send_signal(signal.SIGINT)
        out, _ = self.process.communicate(timeout=timeout)
        return self.process.returncode, out, self.stderr()

    def connection(self, timeout=30):
        return http.client.HTTPConnection(self.host, self.port, timeout=timeout)

    def request(self, method, path, body=None, headers=None, token=True):
        """Status, headers and body bytes."""
        headers = dict(headers or {})
        if token and self.token:
            headers.setdefault("Authorization", "Bearer " + self.token)
        if isinstance(body, (dict, list)):
            body = json.dumps(body)
            headers.setdefault("Content-Type", "application/json")
        connection = self.connection()
        try:
            connection.request(method, path, body=body, headers=headers)
            response = connection.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            connection.close()

    def json(self, method, path, body=None, headers=None):
        status, _, data = self.request(method, path, body, headers)
        try:
            return status, json.loads(data) if data else None
        except ValueError:
            return status, data

    def frame(self, after=0, timeout_ms=3000):
        """The next frame after the serial `after` as (headers, bytes); None on time-out."""
        status, headers, data = self.request("GET", f"/api/frame?after={after}&timeout_ms={timeout_ms}")
        if status == 204:
            return None
        if status != 200:
            raise RuntimeError(f"/api/frame: {status} {data[:200]}")
        return {k.lower(): v for k, v in headers.items()}, data

    def frame_where(self, condition, seconds=10):
        """The first frame whose headers meet `condition`, waiting up to `seconds`."""
        deadline = time.time() + seconds
        serial = 0
        while time.time() < deadline:
            got = self.frame(serial, 1000)
            if got is None:
                continue
            serial = int(got[0]["x-frame-serial"])
            if condition(got[0]):
                return got
        return None


def read_png(data):
    """Width, height, bit depth and the samples of a grey PNG, read as the tool's tests read them."""
    with tempfile.NamedTemporaryFile(suffix=".png", delete=False) as f:
        f.write(data)
    try:
        return orvanta_tool_test.read_png(f.name)
    finally:
        os.remove(f.name)
