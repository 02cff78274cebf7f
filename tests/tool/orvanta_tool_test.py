#!/usr/bin/env python3
"""Runs the `orvanta` tool as a process on the simulated board and checks what it prints, the
files it writes and its exit statuses. One case per command family; ctest runs each as a test.

Usage: orvanta_tool_test.py CASE TOOL [RUNNER]
RUNNER runs the tool (cmake/wine-run.sh for the Windows build).
"""
import json
import os
import re
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

TOOL = []
FAILURES = []


def run(*args, stdin=None):
    """The tool's exit status, standard output and standard error (line ends made plain)."""
    done = subprocess.run(TOOL + list(args), input=stdin, capture_output=True, timeout=120,
                          text=True, encoding="utf-8", errors="replace")
    plain = lambda text: text.replace("\r\n", "\n")
    return done.returncode, plain(done.stdout), plain(done.stderr)


def check(condition, what, *context):
    if not condition:
        FAILURES.append(what + "".join("\n    " + str(c) for c in context))


def expect(args, status, out=(), err=(), stdin=None):
    """Runs the tool and checks its status and that each text (or regex) is in its output."""
    code, stdout, stderr = run(*args, stdin=stdin)
    row = " ".join(args)
    check(code == status, f"{row}: exit status {code}, expected {status}", stdout, stderr)
    # A sanitizer's report would hide behind an expected failure status.
    check("Sanitizer" not in stderr and "runtime error:" not in stderr, f"{row}: sanitizer report", stderr)
    for text in out:
        check(re.search(text, stdout, re.M), f"{row}: standard output lacks {text!r}", stdout)
    for text in err:
        check(re.search(text, stderr, re.M), f"{row}: standard error lacks {text!r}", stderr)
    return stdout, stderr


def parsed(args):
    stdout, _ = expect(args, 0)
    try:
        return json.loads(stdout)
    except ValueError as error:
        check(False, f"{' '.join(args)}: not JSON ({error})", stdout)
        return None


def case_info():
    expect(["info"], 0, [r"^name +Orvanta$", r"^version +3\.1\.1\.2$", r"^board type +1874 \(0x752\)$",
                         r"^manufacturer +Brightmoor GmbH$", r"^type name +Orvanta$", r"^parameters +130$"])
    info = parsed(["--json", "info"]) or {}
    for key, value in {"name": "Orvanta", "version": "3.1.1.2", "board_type": 1874, "parameters": 130,
                       "manufacturer": "Brightmoor GmbH", "type_name": "Orvanta"}.items():
        check(info.get(key) == value, f"info --json: {key} is {info.get(key)!r}, expected {value!r}")


def case_list():
    stdout, _ = expect(["list", "FG_WIDTH"], 0, [r"^ +29 +100 +FG_WIDTH +uint32 +RW +1024 pixel$"])
    check(len(stdout.splitlines()) == 1, "list FG_WIDTH: more than one line", stdout)
    simulator = parsed(["--json", "list", "fg_camerasimulator_*"]) or []
    check(len(simulator) == 15, f"list fg_camerasimulator_*: {len(simulator)} parameters, expected 15")
    pattern = [p for p in simulator if p["name"] == "FG_CAMERASIMULATOR_PATTERN"]
    check(pattern and pattern[0].get("value") == 3 and pattern[0].get("symbol") == "FG_DIAGONAL",
          "list --json: FG_CAMERASIMULATOR_PATTERN is not 3 (FG_DIAGONAL)", pattern)
    expect(["list", "--tree", "FG_*OFFSET"], 0, [r"^ROI\n +31 +300 +FG_XOFFSET .*\n +32 +400 +FG_YOFFSET"])
    tree = parsed(["--json", "list", "--tree", "FG_NR_OF_DMAS"]) or [{}]
    check(tree[-1].get("category") is None and tree[-1]["children"][0]["name"] == "FG_NR_OF_DMAS",
          "list --tree --json: a parameter without a record is not listed apart", tree)


def case_get_set():
    rows = [  # arguments, lines expected on standard output
        (["--set", "FG_WIDTH=0x200", "get", "FG_WIDTH", "200"], ["FG_WIDTH=512", "FG_HEIGHT=1024"]),
        (["set", "FG_FORMAT=FG_GRAY10", "FG_AREATRIGGERMODE=ATM_SOFTWARE"],
         ["FG_FORMAT=FG_GRAY10", "FG_AREATRIGGERMODE=ATM_SOFTWARE"]),
        # FG_YES is no entry of the queue mode: the applet's named constants resolve it.
        (["set", "FG_TRIGGERQUEUE_MODE=FG_YES"], ["FG_TRIGGERQUEUE_MODE=FG_ON"]),
        (["set", "FG_TRIGGER_FRAMESPERSECOND=12.5", "FG_TRIGGERIN_DOWNSCALE=7"],
         ["FG_TRIGGER_FRAMESPERSECOND=12.5", "FG_TRIGGERIN_DOWNSCALE=7"]),
        (["-q", "--set", "FG_HEIGHT=100", "get", "FG_HEIGHT", "FG_FORMAT"], ["100", "FG_GRAY"]),
        (["get", "FG_HAP_FILE", "FG_NR_OF_DMAS"], ["FG_HAP_FILE=Orvanta.hap", "FG_NR_OF_DMAS=1"]),
    ]
    for args, lines in rows:
        stdout, _ = expect(args, 0)
        check(stdout.splitlines() == lines, f"{' '.join(args)}: printed {stdout.splitlines()}, expected {lines}")
    values = parsed(["--json", "get", "FG_FORMAT", "FG_TRIGGERIN_DEBOUNCE"]) or [{}, {}]
    check(values[0].get("value") == 3 and values[0].get("symbol") == "FG_GRAY", "get --json FG_FORMAT", values)
    check(values[1].get("unit") == "\u00b5s", "get --json: the unit µs is not UTF-8", values)


def case_errors():
    rows = [  # arguments, exit status, texts on standard error
        (["get", "FG_WIDTH", "FG_NOPE"], 1, [r"^orvanta: get FG_NOPE: -2070 no such parameter$"]),
        (["set", "FG_WIDTH=70000"], 1, [r"^orvanta: set FG_WIDTH: -6000 value out of range \(8 \.\. 65536\)$"]),
        (["set", "FG_FORMAT=FG_BOGUS"], 1, [r"'FG_BOGUS' is no number, no entry of FG_FORMAT and no named constant"]),
        (["set", "FG_WIDTH=4294967296"], 1, [r"does not fit an unsigned 32-bit value"]),
        (["set", "FG_APPLET_VERSION=4"], 1, [r"set FG_APPLET_VERSION: -12 the parameter is read-only"]),
        (["--set", "FG_XOFFSET=65000", "info"], 1, [r"set FG_XOFFSET: -6000 value out of range \(0 \.\. 64512\)"]),
        (["set", "FG_WIDTH"], 2, [r"'FG_WIDTH' is not NAME=VALUE"]),
        (["--bogus", "info"], 2, [r"--bogus"]),
        (["list", "--frobnicate"], 2, []),
        (["grab", "-n", "2", "-o", "frame.pgm"], 2, [r"has no %d"]),
        (["grab", "-o", "frame-%s.pgm"], 2, [r"may hold one %d"]),
        (["-b", "99", "info"], 3, [r"open Orvanta on board 99: -2003 no such board"]),
        (["--applet", "Nope", "info"], 3, [r"open Nope on board 0: -2031"]),
    ]
    for args, status, err in rows:
        expect(args, status, [], err)
    # A refusal ends `set`: what follows is not applied.
    stdout, _ = expect(["set", "FG_WIDTH=512", "FG_WIDTH=70000", "FG_HEIGHT=8"], 1)
    check(stdout.splitlines() == ["FG_WIDTH=512"], "set went on after a refusal", stdout)


def case_describe():
    expect(["describe", "FG_WIDTH"], 0,
           [r"^FG_WIDTH \(id 100, index 29\)$", r"^  category +ROI$", r"^  type +uint32$", r"^  access +RW$",
            r"^  range +8 \.\. 65536$", r"^  increment +1$", r"^  unit +pixel$",
            r"^  description +Image width of the acquisition ROI\.$"])
    described = parsed(["--json", "describe", "FG_FORMAT", "FG_TRIGGERIN_DEBOUNCE"]) or [{}, {}]
    entries = described[0].get("entries", [])
    check(len(entries) == 19 and entries[0] == {"symbol": "FG_GRAY", "value": 3, "name": "Gray 8bit"},
          "describe --json FG_FORMAT: entries", entries[:2])
    check(described[1].get("range") == "0.048 .. 1.512" and described[1].get("increment") == "0.024",
          "describe --json FG_TRIGGERIN_DEBOUNCE: range", described[1])


def read_mcf(path):
    with open(path, encoding="latin-1") as f:
        return f.read()


def case_files():
    expect(["xml"], 0, [r'^<\?xml version="1.0" encoding="utf-8"\?>$', r'^<IntReg Name="FG_WIDTH_Reg">$'])
    expect(["xml", "-o", "d.xml"], 0, [r"^wrote d\.xml \(\d+ bytes\)$"])
    # Byte for byte: the description ends its features with a line feed and a carriage return.
    printed = subprocess.run(TOOL + ["xml"], capture_output=True, timeout=120).stdout
    with open("d.xml", "rb") as f:
        check(f.read() == printed and b"</Integer>\n\r" in printed, "xml: the printed and the written text differ")
    expect(["save", "c.mcf"], 0, [r"^saved c\.mcf$"])
    saved = read_mcf("c.mcf")
    check("Typ='Orvanta';" in saved and "\nFG_WIDTH=1024;\n" in saved, "save: not a configuration", saved[:200])
    with open("c.mcf", "w", encoding="latin-1") as f:
        f.write(saved.replace("\nFG_WIDTH=1024;", "\nFG_WIDTH=512;"))
    expect(["load", "c.mcf"], 0, [r"^FG_WIDTH: 1024 -> 512$", r"^loaded c\.mcf: 1 parameter changed$"])
    expect(["--config", "c.mcf", "get", "FG_WIDTH"], 0, [r"^FG_WIDTH=512$"])

    with open("other.mcf", "w", encoding="latin-1") as f:
        f.write(saved.replace("Typ='Orvanta'", "Typ='Other'"))
    # Without FG_AREATRIGGERMODE the applet applies the keys before it and then refuses.
    with open("partial.mcf", "w", encoding="latin-1") as f:
        f.write(saved.replace("\nFG_HEIGHT=1024;", "\nFG_HEIGHT=100;").replace("\nFG_AREATRIGGERMODE=1;", ""))
    rows = [  # arguments, exit status, texts on standard output, on standard error
        (["load", "missing.mcf"], 1, [], [r"^orvanta: load missing\.mcf: no such file$"]),
        (["load", "d.xml"], 1, [], [r'must contain "\.mcf"']),
        (["load", "other.mcf"], 1, [], [r"Typ='Other' names another applet than Orvanta"]),
        (["save", "c.txt"], 1, [], [r"^orvanta: save c\.txt: -5001 "]),
        (["load", "partial.mcf"], 1, [],
         [r"^orvanta: load partial\.mcf: FG_AREATRIGGERMODE is missing: the applet stops loading where it needs it "
          r"\(--force loads it anyway\)$"]),
        (["load", "--force", "partial.mcf"], 1, [r"^FG_HEIGHT: 1024 -> 100$", r"^partly loaded partial\.mcf"],
         [r"warning: load partial\.mcf: FG_AREATRIGGERMODE is missing", r"load partial\.mcf: the file: -5000 .*"
          r"also from the start state: partly loaded$"]),
        (["--config", "other.mcf", "info"], 1, [], [r"names another applet"]),
    ]
    for args, status, out, err in rows:
        expect(args, status, out, err)
    check(not os.path.exists("c.txt"), "save c.txt created the file")


REFERENCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "parameters.md")


def case_reference():
    """docs/parameters.md is what the tool generates now, byte for byte, and holds everything."""
    done = subprocess.run(TOOL + ["describe", "--markdown"], capture_output=True, timeout=120)
    check(done.returncode == 0, f"describe --markdown: exit status {done.returncode}", done.stderr)
    with open(REFERENCE, "rb") as file:
        committed = file.read()
    if done.stdout != committed:
        import difflib
        diff = difflib.unified_diff(committed.decode("utf-8", "replace").splitlines(),
                                    done.stdout.decode("utf-8", "replace").splitlines(),
                                    "docs/parameters.md", "orvanta describe --markdown", lineterm="", n=1)
        check(False, "docs/parameters.md is stale: regenerate it with "
              "`build/linux/bin/orvanta describe --markdown > docs/parameters.md`", *list(diff)[:40])
    text = done.stdout.decode("utf-8", "replace")
    # Each parameter once: a section of its own, or a row among those the runtime answers.
    names = [p["name"] for p in parsed(["--json", "list"]) or []]
    runtime = text[text.find("## Answered by the runtime"):text.find("## Events")]
    for name in names:
        found = (len(re.findall(rf"^### {name}$", text, re.M)) +
                 len(re.findall(rf"^\| `{name}` \| \d+ \|$", runtime, re.M)))
        check(found == 1, f"describe --markdown: {name} appears {found} times")
    check(len(names) == 130 and len(re.findall(r"^### ", text, re.M)) == 123,
          f"describe --markdown: {len(names)} parameters listed, 123 expected with a section")
    check(re.search(r"^### FG_WIDTH\n\n\*Width\* — Image width of the acquisition ROI\.\n\n.*\n.*\n"
                    r"\| 100 \| uint32 \| RW \| 8 \.\. 65536 \| 1 \| pixel \| 1024 \|$", text, re.M),
          "describe --markdown: the FG_WIDTH section", text[text.find("### FG_WIDTH"):][:400])
    check(re.search(r"^\| 21 \| `FG_GRAY10` \| Gray 10bit \|$", text, re.M), "describe --markdown: FG_FORMAT's values")
    events = parsed(["--json", "events"]) or []
    rows = re.findall(r"^\| (\d+) \| `0x[0-9a-f]{16}` \| `(\w+)` \|$", text, re.M)
    check(rows == [(str(e["bit"]), e["name"]) for e in events], "describe --markdown: the events", rows[:3])
    constants = text[text.find("## Named constants"):]
    check(len(re.findall(r"^\| `\w+` \| -?\d+ \|$", constants, re.M)) == 106 and "| `Mono10` | 258 |" in constants,
          "describe --markdown: the named constants", constants[:300])
    expect(["describe", "--markdown", "FG_WIDTH"], 2, [], [r"takes no parameter names"])
    expect(["describe"], 2, [], [r"name at least one parameter"])


def case_events():
    expect(["events"], 0, [r"^ 0  0x0000000000000001  FG_OVERFLOW_CAM0$"])
    events = parsed(["--json", "events"]) or []
    check(len(events) > 32, f"events: {len(events)} events")
    check(all(e["mask"] == 1 << e["bit"] for e in events), "events: a mask is not its bit", events)
    check(len({e["name"] for e in events}) == len(events), "events: a name twice", events)


def case_shell():
    script = "\n".join(["# settings persist from line to line", "set FG_WIDTH=256", "", "get FG_WIDTH",
                        "set FG_WIDTH=1", "get --json FG_WIDTH", "bogus", "get FG_HEIGHT"]) + "\n"
    stdout, _ = expect(["--set", "FG_HEIGHT=64", "shell"], 1, [], [r"^orvanta: line 5: set FG_WIDTH: -6000 ",
                                                                   r"^orvanta: line 7: "], stdin=script)
    lines = stdout.splitlines()
    check(lines[:2] == ["FG_WIDTH=256", "FG_WIDTH=256"] and lines[-1] == "FG_HEIGHT=64",
          "shell: settings did not persist", stdout)
    check('"value": 256' in stdout, "shell: --json on a line", stdout)
    expect(["shell"], 0, [r"^FG_FORMAT=FG_GRAY16$"], stdin="set FG_FORMAT=FG_GRAY16\nget FG_FORMAT\n")


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    header = re.match(rb"P5\n(\d+) (\d+)\n(\d+)\n", data)
    width, height, maximum = (int(field) for field in header.groups())
    return width, height, 8 if maximum == 255 else 16, data[header.end():]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def read_png(path):
    """Width, height, bit depth and the unfiltered samples of a grey PNG."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: no PNG signature")
    position, idat = 8, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        crc, = struct.unpack(">I", data[position + 8 + length:position + 12 + length])
        check(zlib.crc32(kind + body) == crc, f"{path}: bad CRC in {kind}")
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            check(colour == 0, f"{path}: colour type {colour}, expected grey")
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    raw, step = zlib.decompress(idat), depth // 8
    stride, rows, previous = width * step, [], bytearray(width * step)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            row[i] = (row[i] + [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]) & 0xFF
        rows.append(bytes(row))
        previous = row
    return width, height, depth, b"".join(rows)


def case_grab():
    # The simulator's diagonal pattern without roll: source byte x of line y is (x + y + offset) mod 256.
    source = ["--set", "FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR", "--set", "FG_CAMERASIMULATOR_ROLL=FG_OFF",
              "--set", "FG_CAMERASIMULATOR_PATTERN_OFFSET=5", "--set", "FG_HEIGHT=16", "--set", "FG_YOFFSET=2"]
    rows = [  # FG_FORMAT, bytes per pixel, pattern, reader
        ("FG_GRAY", 1, "frame-%04d.pgm", read_pgm),
        ("FG_GRAY", 1, "frame-%d.png", read_png),
        ("FG_GRAY16", 2, "wide-%02d.png", read_png),
        ("FG_GRAY16", 2, "wide-%d.pgm", read_pgm),
        ("FG_GRAY16", 2, "raw-%d.bin", None),
    ]
    for format_, step, pattern, reader in rows:
        settings = source + ["--set", f"FG_FORMAT={format_}", "--set", "FG_WIDTH=40", "--set", "FG_XOFFSET=8"]
        stdout, stderr = expect(settings + ["--json", "grab", "-n", "3", "-o", pattern], 0, [],
                                [r"^grab: 3/3 frames, [\d.]+ fps, [\d.]+ MB/s, \d+ lost$"])
        stats = json.loads(stdout) if stdout.startswith("{") else {}
        files = [pattern.replace("%04d", "%04d" % n).replace("%02d", "%02d" % n).replace("%d", str(n))
                 for n in (1, 2, 3)]
        check(stats.get("written") == 3 and stats.get("files") == files and stats.get("delivered", 0) >= 3,
              f"grab {pattern}: statistics", stats)
        line_bytes = 40 * step
        expected = bytes((8 * step + x + y + 2 + 5) % 256 for y in range(16) for x in range(line_bytes))
        for name in files:
            if not os.path.exists(name):
                check(False, f"grab {pattern}: {name} not written")
                continue
            if reader is None:
                with open(name, "rb") as f:
                    check(f.read() == expected, f"grab {pattern}: {name} differs from the pattern")
                continue
            width, height, depth, samples = reader(name)
            check((width, height, depth) == (40, 16, 8 * step), f"{name}: {width}x{height}, {depth} bits")
            if step == 2:  # little-endian pixels in the buffer, big-endian samples in the file
                samples = b"".join(samples[i + 1:i + 2] + samples[i:i + 1] for i in range(0, len(samples), 2))
            check(samples == expected, f"grab {pattern}: {name} differs from the pattern", samples[:12], expected[:12])
    expect(source + ["--set", "FG_FORMAT=FG_GRAY10", "grab", "-o", "ten-%d.pgm"], 1,
           [], [r"PGM and PNG files take 8 or 16 bits per pixel"])
    # The camera port delivers nothing here: the wait times out, in a fraction of a second.
    expect(["grab", "-n", "1", "--timeout", "0.5", "-o", "none-%d.raw"], 1, [r"^delivered +0$"],
           [r"grab: picture 1 of 1: -2120 time-out \(no frame came: the camera on the camera port "
            r"\(FG_CAMERASIMULATOR_ENABLE=FG_CAMPORT\) sends a frame per trigger; use --trigger"])


def json_documents(text):
    """The JSON documents printed one after the other, as a shell of --json lines prints them; the
    lines of other commands between them are passed over."""
    decoder, documents, at = json.JSONDecoder(), [], 0
    while at < len(text):
        if text[at] in "{[" and (at == 0 or text[at - 1] == "\n"):
            document, at = decoder.raw_decode(text, at)
            documents.append(document)
        else:
            at = text.find("\n", at) + 1 or len(text)
    return documents


def shell(lines, status=0, err=()):
    """Runs the lines in one shell session; its standard output and error."""
    return expect(["shell"], status, [], err, stdin="\n".join(lines) + "\n")


def camera_frame(k, width, height):
    """Frame k (from 0) of the simulated camera, as many bytes per line as pixels."""
    return bytes(((x ^ y) + k) % 256 for y in range(height) for x in range(width))


def case_trigger():
    # On the virtual clock each mode runs from the board's start state: the tool sets what the
    # mode needs and leaves the rest; the frames are the camera's exposures in turn.
    region = ["set FG_WIDTH=64 FG_HEIGHT=16"]
    stdout, stderr = shell(["sim clock virtual"] + region + [
        "--json grab -n 3 --trigger software -o s-%d.raw",
        "--json grab -n 3 --trigger generator --rate 50 -o g-%d.raw",
        "sim pulse TRGINSRC_GPI_0 -n 3 --period 30ms",
        "--json grab -n 3 --trigger external -o e-%d.raw",
        "get FG_AREATRIGGERMODE FG_TRIGGERSTATE FG_TRIGGER_FRAMESPERSECOND FG_CAMERASIMULATOR_ENABLE",
    ])
    runs = [d for d in json_documents(stdout) if isinstance(d, dict) and "written" in d]
    check(len(runs) == 3 and all(r["written"] == 3 and r["lost"] == 0 for r in runs), "grab --trigger: 3 frames each",
          runs)
    changed = [[(c["name"], c["after"]) for c in r.get("changed", [])] for r in runs]
    check(changed == [[("FG_AREATRIGGERMODE", "ATM_SOFTWARE"), ("FG_TRIGGERSTATE", "TS_ACTIVE")],
                      [("FG_TRIGGER_FRAMESPERSECOND", "50"), ("FG_AREATRIGGERMODE", "ATM_GENERATOR")],
                      [("FG_AREATRIGGERMODE", "ATM_EXTERNAL")]],
          "grab --trigger: what each mode set", changed)
    check(re.search(r"^FG_AREATRIGGERMODE=ATM_EXTERNAL\nFG_TRIGGERSTATE=TS_ACTIVE\nFG_TRIGGER_FRAMESPERSECOND=50\n"
                    r"FG_CAMERASIMULATOR_ENABLE=FG_CAMPORT$", stdout, re.M), "grab --trigger: the settings after", stdout)
    check("grab --trigger software: set FG_TRIGGERSTATE=TS_ACTIVE (was TS_SYNC_STOP)" in stderr,
          "grab --trigger: the change is not told", stderr)
    for k, name in enumerate(["s-1.raw", "s-2.raw", "s-3.raw", "g-1.raw", "g-2.raw", "g-3.raw", "e-1.raw", "e-2.raw",
                              "e-3.raw"]):
        frame = open(name, "rb").read() if os.path.exists(name) else None
        check(frame == camera_frame(k, 64, 16), f"grab --trigger: {name} is not the camera's exposure {k}")
    # No pulses: the time-out is the board's, and the hint names the input that waits.
    shell(["sim clock virtual", "grab -n 1 --trigger external --timeout 1.5 -o none-%d.raw"], 1,
          [r"grab: picture 1 of 1: -2120 time-out \(no frame came: the trigger waits for pulses on "
           r"FG_TRIGGERIN_SRC=TRGINSRC_GPI_0 \(on the simulated board: sim pulse\)\)$"])
    # On the real clock the second software trigger comes while the first one's period (1/8 s)
    # still runs: it is sent again until taken.
    expect(["--set", "FG_WIDTH=64", "--set", "FG_HEIGHT=16", "grab", "-n", "2", "--trigger", "software", "-o",
            "r-%d.raw"], 0, [r"^written +2 "])


def case_interrupt():
    """Ctrl-C ends a grab without -n (and one with -n) with its statistics."""
    for args, status, last in ((["grab", "-o", "u-%d.raw"], 0, r"^stopped +at Ctrl-C$"),
                               (["grab", "-n", "100000", "-o", "n-%d.raw"], 1, r"^stopped +at Ctrl-C$")):
        settings = ["--set", "FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR", "--set", "FG_WIDTH=64", "--set",
                    "FG_HEIGHT=16", "--set", "FG_CAMERASIMULATOR_FRAMERATE=200"]
        process = subprocess.Popen(TOOL + settings + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        first = args[args.index("-o") + 1].replace("%d", "2")
        for _ in range(600):
            if os.path.exists(first) or process.poll() is not None:
                break
            time.sleep(0.05)
        process.send_signal(signal.SIGINT)
        try:
            stdout, stderr = process.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            process.kill()
            stdout, stderr = process.communicate()
        row = " ".join(args)
        check(process.returncode == status, f"{row}: exit status {process.returncode} at Ctrl-C, expected {status}",
              stdout, stderr)
        check(re.search(r"^written +\d+ ", stdout, re.M) and re.search(last, stdout, re.M),
              f"{row}: no statistics at Ctrl-C", stdout, stderr)


def case_sim():
    """The simulated board from a shell script, as a test drives it: virtual clock, camera, inputs, events."""
    stdout, _ = shell([
        "sim clock virtual",
        "sim camera --size 64x16 --rate 1000",
        "set FG_TRIGGER_FRAMESPERSECOND=100 FG_AREATRIGGERMODE=ATM_EXTERNAL FG_TRIGGERSTATE=TS_ACTIVE",
        "sim pulse 0 -n 3 --period 10ms",
        "events --watch --json fg_trigger_input0_rising FG_END_OF_FRAME_CAM_PORT_0 -n 6",
        "sim level 1 high",
        "sim advance 2.5ms",
        "get FG_GPI",
        "--json sim outputs",
    ])
    events = [json.loads(line) for line in stdout.splitlines() if line.startswith('{"time_ns"')]
    start = events[0]["time_ns"] if events else 0
    seen = [(e["name"], e["time_ns"] - start) for e in events]
    rising = [t for n, t in seen if n == "FG_TRIGGER_INPUT0_RISING"]
    ends = [(t, e["data"]) for e, (n, t) in zip(events, seen) if n == "FG_END_OF_FRAME_CAM_PORT_0"]
    check(len(events) == 6 and rising == [0, 10000000, 20000000] and [d for _, d in ends] == [1, 2, 3] and
          all(t > r for (t, _), r in zip(ends, rising)), "events --watch: three edges and three frame ends", seen)
    gpi = re.search(r"^FG_GPI=(\d+)$", stdout, re.M)
    check(gpi and int(gpi.group(1)) & 2, "sim level 1 high: not in FG_GPI", stdout)
    check(re.search(r"^clock: moved on 2\.5 ms, \d+\.\d+ ms since sim clock virtual$", stdout, re.M),
          "sim advance: the clock", stdout)
    outputs = (json_documents(stdout) or [[]])[-1]
    check(len(outputs) == 10 and outputs[0]["name"] == "GPO_0", "sim outputs: ten outputs", outputs)
    # On the real clock the runtime's own thread hands the events over.
    stdout, _ = shell(["sim pulse 3 -n 3 --period 50ms", "events --watch FG_TRIGGER_INPUT3_RISING -n 2 --timeout 10"])
    check(len(re.findall(r"^\d+\.\d{9}  FG_TRIGGER_INPUT3_RISING  data 3$", stdout, re.M)) == 2,
          "events --watch on the real clock", stdout)
    expect(["sim", "advance", "1ms"], 1, [], [r"sim advance: the clock is real; sim clock virtual stops it first"])
    expect(["sim", "pulse", "GPI9"], 2, [], [r"'GPI9' is no trigger input: give its number"])


def mcf(name, text, crlf=False):
    with open(name, "wb") as f:
        f.write(text.replace("\n", "\r\n" if crlf else "\n").encode("latin-1"))


def case_config_forms():
    """The tool's check and the applet's reader take every line form alike: the same files go to
    `check` and to the applet (`load --force` hands them over whatever the check says)."""
    expect(["save", "base.mcf"], 0)
    base = read_mcf("base.mcf")
    width = "\nFG_WIDTH=1024;\n"
    forms = {  # name: file text, FG_WIDTH as the applet reads it (None: missing, the load fails)
        "crlf": (base.replace(width, "\nFG_WIDTH=640;\n"), 640),
        "no_semicolon": (base.replace(width, "\nFG_WIDTH=512\n"), 512),
        "quoted": (base.replace(width, "\nFG_WIDTH='320';\n"), 320),
        "blank_after": (base.replace(width, "\nFG_WIDTH=256 ;\n"), 256),
        "spaced": (base.replace(width, "\nFG_WIDTH = 128;\n"), None),
        "lower_case": (base.replace(width, "\nfg_width=128;\n"), None),
        "twice": (base.replace("[Port A]\n", "[Port A]\nFG_WIDTH=96;\n"), 96),
        "later_section": (base.replace(width, "\n") + "\n[Port B]\nFG_WIDTH=80;\n", 80),
        "in_header": (base.replace(width, "\n").replace("AktivePort=0;\n", "AktivePort=0;\nFG_WIDTH=64;\n"), None),
    }
    lines = []
    for name, (text, _) in forms.items():
        mcf(name + ".mcf", text, crlf=name == "crlf")
        lines += [f"--json check {name}.mcf", f"--json load --force {name}.mcf", "--json get FG_WIDTH"]
    stdout, _ = shell(lines, 1)
    documents = json_documents(stdout)
    check(len(documents) == 3 * len(forms) and all(isinstance(d, dict) for d in documents[0::3]),
          f"{len(documents)} answers to {3 * len(forms)} lines", stdout[:400])
    if FAILURES:
        return
    for (name, (_, expected)), (checked, loaded, got) in zip(forms.items(), zip(*[iter(documents)] * 3)):
        keys = {k["key"]: k for k in checked.get("keys", [])}
        predicted = keys.get("FG_WIDTH", {}).get("value")
        check(checked.get("loadable") == loaded.get("loaded") == (expected is not None),
              f"{name}: check says loadable {checked.get('loadable')}, the applet loaded {loaded.get('loaded')}",
              checked.get("errors"), loaded.get("error"))
        check(predicted == expected, f"{name}: check reads FG_WIDTH as {predicted}, expected {expected}")
        if expected is not None:
            check(got[0].get("value") == expected, f"{name}: the applet loaded FG_WIDTH={got[0].get('value')}")


def case_config_load():
    expect(["save", "fresh.mcf"], 0)
    fresh = read_mcf("fresh.mcf")
    # A configuration saved on the board loads back from any state: here the rate's check reads
    # the generator's delay, which the file sets only after the rate.
    stdout, stderr = shell(["set FG_TRIGGER_FRAMESPERSECOND=1", "set FG_TRIGGER_PULSEFORMGEN0_DELAY=200000",
                            "load fresh.mcf", "get FG_TRIGGER_FRAMESPERSECOND FG_TRIGGER_PULSEFORMGEN0_DELAY"])
    check(re.search(r"^loaded fresh\.mcf from the start state: 2 parameters changed\nFG_TRIGGER_FRAMESPERSECOND=8\n"
                    r"FG_TRIGGER_PULSEFORMGEN0_DELAY=0\.008$", stdout, re.M) and
          "the applet refused the file on the board's present state: the board is back in its start state and the "
          "file loaded again" in stderr, "load: not from the start state", stdout, stderr)
    # A limit that follows another key of the same file is the applet's to judge: no refusal.
    mcf("phase.mcf", fresh.replace("FG_TRIGGERIN_DOWNSCALE=1;", "FG_TRIGGERIN_DOWNSCALE=4;")
        .replace("FG_TRIGGERIN_DOWNSCALE_PHASE=0;", "FG_TRIGGERIN_DOWNSCALE_PHASE=2;"))
    expect(["load", "phase.mcf"], 0, [r"^FG_TRIGGERIN_DOWNSCALE_PHASE: 0 -> 2$"],
           [r"warning: load phase\.mcf: line \d+: FG_TRIGGERIN_DOWNSCALE_PHASE=2 is outside the range 0 \.\. 0 as the "
            r"board stands now"])
    # Bad values are refused naming line and key, and the board keeps its values.
    line = fresh[:fresh.find("FG_WIDTH=")].count("\n") + 1
    bad = {
        "seven": (fresh.replace("FG_WIDTH=1024;", "FG_WIDTH=7;"),
                  rf"line {line}: FG_WIDTH=7 is outside the range 8 \.\. 65536 \(--force loads it anyway\)$"),
        "letters": (fresh.replace("FG_WIDTH=1024;", "FG_WIDTH=abc;"),
                    rf"line {line}: FG_WIDTH=abc is not a whole decimal number of 32 bits \(the applet would read 0\)"),
        "entry": (fresh.replace("FG_FORMAT=3;", "FG_FORMAT=99;"), r"line \d+: FG_FORMAT=99 is none of FG_FORMAT's values: one of "),
        "seven_and_more": (fresh.replace("FG_WIDTH=1024;", "FG_WIDTH=7;").replace("FG_HEIGHT=1024;", "FG_HEIGHT=100;"),
                           rf"line {line}: FG_WIDTH=7 is refused: -6000 value out of range \(8 \.\. 65536\); the board "
                           r"is as it was before the load$"),
    }
    for name, (text, error) in bad.items():
        mcf(name + ".mcf", text)
        stdout, stderr = shell([f"load {name}.mcf", "get FG_WIDTH FG_HEIGHT FG_FORMAT"], 1, [rf"^orvanta: line 1: load {name}\.mcf: " + error])
        check(stdout.splitlines()[-3:] == ["FG_WIDTH=1024", "FG_HEIGHT=1024", "FG_FORMAT=FG_GRAY"],
              f"load {name}.mcf: the board changed", stdout)
    expect(["check", "seven.mcf"], 1, [], [rf"check seven\.mcf: line {line}: FG_WIDTH=7 is outside"])
    expect(["load", "--force", "letters.mcf"], 1, [], [r"also from the start state: partly loaded"])
    # diff: what the applet reads differently from two files, enumerations by their symbols.
    mcf("other.mcf", fresh.replace("FG_WIDTH=1024;", "FG_WIDTH=512\n").replace("FG_FORMAT=3;", "FG_FORMAT=1;"))
    expect(["diff", "fresh.mcf", "other.mcf"], 0, [r"^FG_WIDTH: 1024 -> 512\nFG_FORMAT: FG_GRAY \(3\) -> FG_GRAY16 \(1\)$"])
    expect(["diff", "fresh.mcf", "fresh.mcf"], 0, [r"^no differences"])


def case_messages():
    """Each message says what is wrong in words a user can act on; --json puts every failure on standard output."""
    rows = [  # arguments, exit status, texts on standard output, on standard error
        (["grab", "-n", "0"], 2, [], [r"grab -n takes a whole number of at least 1, not '0' \(leave -n out to grab "
                                      r"until Ctrl-C\)"]),
        (["grab", "--timeout", "abc"], 2, [], [r"grab --timeout takes a number of seconds above 0 \(fractions allowed"]),
        (["frobnicate"], 2, [], [r"unknown command 'frobnicate'; the commands are info, list, get"]),
        (["--version"], 0, [r"^orvanta 3\.1\.1\.2$"], []),
        (["sim", "frob"], 2, [], [r"sim: unknown action 'frob'; the actions are clock, advance, camera, pulse, level, "
                                  r"outputs$"]),
        (["save", "nowhere/at/all/x.mcf"], 1, [], [r"save nowhere/at/all/x\.mcf: -5001 there is no folder nowhere/at/all$"]),
        (["save", "x.txt"], 1, [], [r"-5001 the name must contain \"\.mcf\""]),
        (["set", "fg_width=256", "FG_Format=fg_gray16", "fg_triggerqueue_mode=fg_yes"], 0,
         [r"^FG_WIDTH=256\nFG_FORMAT=FG_GRAY16\nFG_TRIGGERQUEUE_MODE=FG_ON$"], []),
        (["--applet", "Orvanta" + (".dll" if "wine" in " ".join(TOOL) else ".so"), "info"], 3, [],
         [r"-2031 .*Orvanta\.(so|dll)\.(so|dll) in .*; --applet takes the applet's name without its ending "
          r"\(--applet Orvanta\)\)$"]),
        (["list", "NOPE*"], 1, [], [r"list: no parameter name matches 'NOPE\*' .*`orvanta list` shows all 130$"]),
        (["get", "--help"], 0, [r"^Global options \(before or after the command\):$", r"^  -b,--board N +Board index"],
         []),
    ]
    for args, status, out, err in rows:
        expect(args, status, out, err)
    for args in (["-b", "9", "info"], ["get", "FG_NOPE"], ["list", "NOPE*"], ["grab", "-n", "0"], ["frobnicate"]):
        code, stdout, _ = run("--json", *args)
        try:
            failure = json.loads(stdout)
        except ValueError:
            failure = None
        failure = failure[0] if isinstance(failure, list) and failure else failure
        check(code != 0 and isinstance(failure, dict) and failure.get("error", {}).get("message"),
              f"--json {' '.join(args)}: no failure object on standard output", stdout)
    # Doubles with twelve significant digits as configuration files write them, exact in JSON;
    # no value where the design has none.
    expect(["get", "FG_TRIGGER_FRAMESPERSECOND", "FG_TRIGGERIN_STATS_FREQUENCY"], 0,
           [r"^FG_TRIGGER_FRAMESPERSECOND=8\nFG_TRIGGERIN_STATS_FREQUENCY=no pulses yet$"])
    expect(["describe", "FG_TRIGGER_FRAMESPERSECOND"], 0,
           [r"^  range +0\.0291038304567 \.\. 12500000$", r"^  increment +2\.22044604925e-16$", r"^  value +8 Hz$"])
    values = parsed(["--json", "get", "FG_TRIGGER_FRAMESPERSECOND", "FG_TRIGGERIN_STATS_FREQUENCY"]) or [{}, {}]
    check(values[0].get("value") == 8.000000000000002 and "value" not in values[1] and
          values[1].get("no_value") == "no pulses yet", "get --json: exact doubles, no null", values)
    # A category's own parameters come before its sub-categories.
    expect(["list", "--tree", "FG_TRIGGER*"], 0,
           [r"^Trigger\n +56 +300201 +FG_TRIGGERSTATE .*\n +57 +90 +FG_TRIGGER_FRAMESPERSECOND .*\n  Trigger Input$"])


def case_acquire_options():
    """TOOL is examples/orvanta_acquire here: it parses its options and refuses what it does not know."""
    for args in (["--help"], ["-h"]):
        expect(args, 0, [r"^usage: orvanta_acquire \[--frames N \| --software-trigger N\] \[OUTPUT\.pgm\]$"])
    rows = [  # arguments, texts on standard error
        (["--software-trigger"], [r"--software-trigger takes a number of frames of at least 1$"]),
        (["--software-trigger", "x.pgm"], [r"at least 1, not x\.pgm$"]),
        (["--frames", "0"], [r"--frames takes a number of frames of at least 1, not 0$"]),
        (["--frames", "2", "--software-trigger", "2"], [r"give --frames or --software-trigger once"]),
        (["--bogus"], [r"unknown option --bogus", r"^usage: "]),
        (["a.pgm", "b.pgm"], [r"one output file only, not also b\.pgm"]),
    ]
    for args, err in rows:
        expect(args, 2, [], err)
    check(os.listdir(".") == [], "orvanta_acquire wrote files while refusing its options", os.listdir("."))
    expect(["--frames", "2", "two.pgm"], 0, [r"^2 frames of 640x480 in .* picture 2 saved as two\.pgm$"])
    check(read_pgm("two.pgm")[:3] == (640, 480, 8), "orvanta_acquire --frames 2: not a 640x480 PGM")


CASES = {name[5:]: function for name, function in globals().items() if name.startswith("case_")}


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in CASES:
        sys.exit(__doc__ + "\nCases: " + ", ".join(CASES))
    TOOL.extend(sys.argv[3:] + [os.path.abspath(sys.argv[2])])
    with tempfile.TemporaryDirectory(prefix="orvanta-tool-") as folder:
        os.chdir(folder)
        CASES[sys.argv[1]]()
    for failure in FAILURES:
        print("FAILED:", failure)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
