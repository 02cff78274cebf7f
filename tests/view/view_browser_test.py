#!/usr/bin/env python3
"""`orvanta view` in a real headless Chromium (Debian's, driven by Playwright), on the simulated
board: the page loads and shows the tree; FG_WIDTH set in the panel changes the width of the
frame shown; a refused value shows the applet's error and range; the pixels drawn are the
simulator's pattern; the trigger button yields one frame of a triggered camera; events appear in
the log. One server and one page serve every step.

Usage: view_browser_test.py TOOL [--screenshot FILE.png]   the checks (ctest runs this)
       view_browser_test.py TOOL --rate                     frames per second reaching the page
                                                            for 1024 x 1024 8-bit frames
"""
import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree

from playwright.sync_api import sync_playwright

from viewer_server import SIMULATOR, Viewer, pattern

TOOL = None
FAILURES = []
CHROMIUM = "/usr/bin/chromium"


def check(condition, what, *context):
    if not condition:
        FAILURES.append(what + "".join("\n    " + str(c)[:400] for c in context))
    return condition


def launch(playwright):
    # Chromium's sandbox needs a user other than root.
    arguments = ["--no-sandbox"] if os.geteuid() == 0 else []
    return playwright.chromium.launch(executable_path=CHROMIUM, headless=True, args=arguments)


def open_page(browser, viewer):
    page = browser.new_page(viewport={"width": 1400, "height": 860})
    page.on("pageerror", lambda error: FAILURES.append("page error: " + str(error)))
    page.goto(f"http://127.0.0.1:{viewer.port}/")
    page.wait_for_function("window.viewer && window.viewer.ready && window.viewer.frame !== null", timeout=20000)
    return page


def set_in_panel(page, name, value):
    field = page.locator(f'#tree .param[data-name="{name}"] .value-input')
    field.fill(str(value))
    field.press("Enter")


def drawn_pixels(page):
    """The red channel of the canvas as drawn, with its size."""
    return page.evaluate("""() => {
        const c = document.getElementById('frame');
        const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        const red = new Array(c.width * c.height);
        for (let i = 0; i < red.length; i++) red[i] = d[4 * i];
        return {width: c.width, height: c.height, red};
    }""")


def acquiring(viewer, width, seconds=10):
    """Waits until the acquisition runs with frames of that width."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        state = viewer.json("GET", "/api/acquisition")[1]
        if state["running"] and state["geometry"]["width"] == width:
            return True
        time.sleep(0.05)
    return False


def checks(screenshot):
    settings = SIMULATOR + ["--set", "FG_WIDTH=256", "--set", "FG_HEIGHT=192"]
    with Viewer([TOOL], settings) as viewer, sync_playwright() as playwright:
        browser = launch(playwright)
        page = open_page(browser, viewer)

        # The tree: every parameter of the applet under its categories.
        rows = page.locator("#tree .param").count()
        check(rows == 130, f"the tree shows {rows} parameters, not 130")
        check(page.locator("#tree details > summary", has_text="Camera Simulator").count() == 1, "no Camera Simulator")

        # FG_WIDTH in the panel: frames of the new width are drawn.
        set_in_panel(page, "FG_WIDTH", 128)
        page.wait_for_function("viewer.frame.width === 128 && document.getElementById('frame').width === 128",
                               timeout=15000)
        # A refused value: the applet's error and the range, the value shown is the applet's.
        set_in_panel(page, "FG_WIDTH", 70000)
        error = page.locator('#tree .param[data-name="FG_WIDTH"] .error')
        error.wait_for(state="visible")
        page.wait_for_function("document.querySelector('#tree .param[data-name=\"FG_WIDTH\"] .error').textContent !== ''")
        text = error.text_content()
        check("-6000" in text and "8 .. 65536" in text, "the refusal's text", text)
        value = page.locator('#tree .param[data-name="FG_WIDTH"] .value-input').input_value()
        check(value == "128", "the value shown after a refusal", value)

        # The pixels drawn are the simulator's pattern, and so is the value under the cursor.
        page.wait_for_function(f"viewer.serial > {page.evaluate('viewer.serial') + 1}")
        drawn = drawn_pixels(page)
        expected = pattern(128, 192)
        check((drawn["width"], drawn["height"]) == (128, 192) and bytes(drawn["red"]) == expected,
              "the drawn pixels differ from the pattern", drawn["red"][:16], list(expected[:16]))
        box = page.locator("#frame").bounding_box()
        page.mouse.move(box["x"] + box["width"] * 40.5 / 128, box["y"] + box["height"] * 30.5 / 192)
        shown = page.locator("#pixel").text_content()
        check(shown == f"x 40, y 30: {(40 + 30 + 5) % 256}", "the value under the cursor", shown)

        # The camera on the camera port, triggered by software: one frame per click.
        for name, value in [("FG_CAMERASIMULATOR_ENABLE", "FG_CAMPORT"), ("FG_TRIGGER_FRAMESPERSECOND", 100),
                            ("FG_AREATRIGGERMODE", "ATM_SOFTWARE"), ("FG_TRIGGERSTATE", "TS_ACTIVE"),
                            ("FG_WIDTH", 512), ("FG_HEIGHT", 384)]:
            status, answer = viewer.json("PUT", "/api/parameters/" + name, {"value": value})
            check(status == 200, f"{name}={value}", answer)
        check(acquiring(viewer, 512), "the acquisition did not start again with 512 pixels a line")
        # The page has drawn the last frame of the simulator, and no other comes by itself.
        time.sleep(0.5)
        before = viewer.json("GET", "/api/acquisition")[1]["serial"]
        page.wait_for_function(f"viewer.serial === {before}")
        page.click("#trigger")
        page.wait_for_function(f"viewer.serial > {before} && viewer.frame.width === 512", timeout=10000)
        time.sleep(0.5)
        after = page.evaluate("viewer.serial")
        check(after == before + 1, "one trigger, one frame", before, after)
        check(page.locator("#action-result").text_content() == "trigger sent", "the trigger's answer")

        # Events as they come: the camera's frame raised some.
        page.wait_for_function("document.querySelectorAll('#event-log li').length > 0", timeout=10000)
        names = page.evaluate("[...viewer.eventCounts.keys()]")
        check(any(name.startswith("FG_") for name in names), "events in the log", names)

        if screenshot:
            for _ in range(3):
                page.click("#trigger")
                time.sleep(0.15)
            page.mouse.move(box["x"] + 200, box["y"] + 120)
            page.screenshot(path=screenshot)
        browser.close()
        status, out, err = viewer.stop()
        check(status == 0, "the server's exit status", status, err)


def rate():
    settings = SIMULATOR + ["--set", "FG_WIDTH=1024", "--set", "FG_HEIGHT=1024", "--set",
                            "FG_CAMERASIMULATOR_FRAMERATE=200"]
    with Viewer([TOOL], settings) as viewer, sync_playwright() as playwright:
        browser = launch(playwright)
        page = open_page(browser, viewer)
        page.wait_for_function("viewer.frame.width === 1024 && viewer.frame.height === 1024")
        time.sleep(1)

        def cpu_seconds():
            with open(f"/proc/{viewer.process.pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

        drawn, cpu, start = page.evaluate("viewer.drawn"), cpu_seconds(), time.time()
        time.sleep(10)
        drawn, cpu, seconds = page.evaluate("viewer.drawn") - drawn, cpu_seconds() - cpu, time.time() - start
        acquired = viewer.json("GET", "/api/acquisition")[1]["frames_per_second"]
        print(f"1024 x 1024 8-bit: {drawn / seconds:.1f} frames per second drawn in the browser "
              f"({acquired:.0f} acquired); the server process (board and simulator included): "
              f"{1000 * cpu / max(drawn, 1):.2f} ms CPU per frame drawn")
        browser.close()
        viewer.stop()


def main():
    global TOOL
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    TOOL = os.path.abspath(sys.argv[1])
    if "--rate" in sys.argv:
        rate()
    else:
        screenshot = sys.argv[sys.argv.index("--screenshot") + 1] if "--screenshot" in sys.argv else None
        checks(screenshot)
    for failure in FAILURES:
        print("FAILED:", failure)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
