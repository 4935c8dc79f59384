#!/usr/bin/env python3
"""The page in headless Chromium, driven through WebDriver with real key and pointer events: it
opens alone from file:// and logs nothing, starts blank with the focus on the picture, and shows
exactly the core's picture for the same clicks, in the light and the dark scheme and at twice the
density; a generate click is timed in the page; the fatal error ends the program.

usage: page_test.py PAGE RUNNER... PICTURE_OF_CLICKS
  PAGE is quorrin.html; RUNNER... PICTURE_OF_CLICKS runs the core's picture_of_clicks tool.
"""
import base64
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

CLICK_MEDIAN_LIMIT_MS = 3.0

# The canvas's pixels, each as the index of its colour among the distinct colours found.
READ_CANVAS = """
const canvas = document.querySelector('#Picture1 canvas');
// Read through a copy, so that the page's own canvas is never read back.
const copy = document.createElement('canvas');
copy.width = canvas.width;
copy.height = canvas.height;
const context = copy.getContext('2d', {willReadFrequently: true});
context.drawImage(canvas, 0, 0);
const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
const colours = [];
const indices = new Uint8Array(data.length / 4);
const seen = new Map();
for (let i = 0; i < indices.length; ++i) {
  const key = data[4 * i] << 16 | data[4 * i + 1] << 8 | data[4 * i + 2];
  let index = seen.get(key);
  if (index === undefined) {
    index = colours.length;
    seen.set(key, index);
    colours.push([data[4 * i], data[4 * i + 1], data[4 * i + 2]]);
    if (colours.length > 250) break;
  }
  indices[i] = index;
}
let text = '';
for (let i = 0; i < indices.length; i += 8192) {
  text += String.fromCharCode.apply(null, indices.subarray(i, i + 8192));
}
const picture = getComputedStyle(document.getElementById('Picture1'));
const box = canvas.getBoundingClientRect();
return {width: canvas.width, height: canvas.height, cssWidth: box.width, cssHeight: box.height,
        colours: colours, indices: btoa(text),
        background: picture.backgroundColor, ink: picture.color};
"""

CORNER_IS_DARK = """
const copy = document.createElement('canvas');
const context = copy.getContext('2d', {willReadFrequently: true});
context.drawImage(document.querySelector('#Picture1 canvas'), 0, 0);
const pixel = context.getImageData(0, 0, 1, 1).data;
return pixel[0] + pixel[1] + pixel[2] < 3 * 128;
"""

# Clicks Command1 by script, timing each click's handler (the core's view, its raster and the
# copy to the canvas) with the page's own clock.
TIME_CLICKS = """
const button = document.getElementById('Command1');
const times = [];
for (let i = 0; i < arguments[0]; ++i) {
  const start = performance.now();
  button.click();
  times.push(performance.now() - start);
}
return times;
"""

failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def css_rgb(text):
    return tuple(int(float(part)) for part in text[text.index("(") + 1:text.index(")")].split(",")[:3])


def core_picture(tool, clicks, scale):
    """The core's picture as rows of '0' (paper) and '1' (ink)."""
    output = subprocess.run(tool + ["--scale", str(scale), clicks], check=True, capture_output=True,
                            text=True).stdout.split()
    assert output[0] == "P1", output[:3]
    width, height = int(output[1]), int(output[2])
    return width, height, "".join(output[3:])


class Page:
    def __init__(self, driver):
        self.driver = driver

    def canvas(self):
        """The canvas as width, height, CSS size, and a string of '0' (background) and '1' (ink)
        per pixel, after checking that it holds only the system's two colours."""
        raw = self.driver.execute_script(READ_CANVAS)
        background, ink = css_rgb(raw["background"]), css_rgb(raw["ink"])
        codes = {}
        for index, colour in enumerate(raw["colours"]):
            colour = tuple(colour)
            codes[index] = "0" if colour == background else "1" if colour == ink else "?"
        mask = "".join(codes[index] for index in base64.b64decode(raw["indices"]))
        check("?" not in mask, f"canvas holds only Canvas {background} and CanvasText {ink}, "
              f"found {[tuple(c) for c in raw['colours']][:6]}")
        return {"size": (raw["width"], raw["height"]), "css": (raw["cssWidth"], raw["cssHeight"]),
                "mask": mask, "background": background, "ink": ink}

    def matches_core(self, tool, clicks, scale=1):
        canvas = self.canvas()
        width, height, expected = core_picture(tool, clicks, scale)
        same = canvas["size"] == (width, height) and canvas["mask"] == expected
        differing = sum(a != b for a, b in zip(canvas["mask"], expected))
        check(same, f"clicks {clicks} at scale {scale}: canvas {canvas['size']} equals the core's picture "
              f"({width}, {height}); {differing} pixels differ")
        return canvas

    def focused(self):
        return self.driver.execute_script("return document.activeElement.id")

    def captions(self):
        return self.driver.execute_script(
            "return [1, 2, 3].map((n) => document.getElementById('Command' + n).textContent)")

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def click(self, button):
        self.driver.find_element(By.ID, f"Command{button}").click()

    def wait(self, script, what):
        # Headless Chromium tells the page of a new density only with a frame, which a
        # screenshot makes.
        try:
            WebDriverWait(self.driver, 10).until(
                lambda driver: driver.get_screenshot_as_png() and driver.execute_script(script))
        except Exception:  # the check below reports it
            pass
        check(bool(self.driver.execute_script(script)), what)

    def emulate(self, scale):
        # Headless Chromium passes a new density on to the page only with a new viewport size,
        # so each density gets its own width.
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": 525 + scale, "height": 550, "deviceScaleFactor": scale,
                                     "mobile": False})


def luminance(rgb):
    return sum(rgb) / 3


def scenario(driver, page_url, tool):
    page = Page(driver)
    page.emulate(1)
    driver.get(page_url)
    page.wait("return document.activeElement.id === 'Picture1'", "the focus starts on Picture1")

    blank = page.canvas()
    check(blank["size"] == (455, 439) and blank["css"] == (455, 439),
          f"canvas {blank['size']} shown at CSS size {blank['css']}, one to one at 1x")
    check("1" not in blank["mask"], "the picture starts blank")
    initial = page.captions()
    check(initial == ["New random", "Show streams", "New random with taps"], f"initial captions {initial}")

    page.keys(Keys.ENTER)
    check(page.canvas()["mask"] == blank["mask"] and page.captions() == initial,
          "Enter on the picture does nothing")

    page.keys(Keys.TAB)
    check(page.focused() == "Command1", "Tab moves from Picture1 to Command1")
    page.keys(Keys.SPACE)
    drainage = page.matches_core(tool, "1")
    check(page.captions()[0] == "random 48x48", "Space on Command1 generates and recaptions it")
    page.keys(Keys.TAB)
    second = page.focused()
    page.keys(Keys.TAB)
    check([second, page.focused()] == ["Command2", "Command3"], "Tab goes on to Command2, then Command3")

    page.click(2)
    page.matches_core(tool, "12")
    page.click(2)
    check(page.canvas()["mask"] == drainage["mask"], "streams and back give the very same drainage picture")

    driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                           {"features": [{"name": "prefers-color-scheme", "value": "dark"}]})
    page.wait(CORNER_IS_DARK, "the dark scheme darkens the picture's background")
    dark = page.canvas()
    check(dark["mask"] == drainage["mask"], "the dark scheme inks the same pixels")
    check(luminance(dark["background"]) < luminance(dark["ink"]) and
          luminance(drainage["background"]) > luminance(drainage["ink"]),
          f"colours inverted: light {drainage['background']} on {drainage['ink']}, "
          f"dark {dark['background']} on {dark['ink']}")
    # Had a view run on the switch, the next click would not give the core's next picture.
    page.click(3)
    page.matches_core(tool, "1223")
    overflowing = driver.execute_script(
        "return [...document.querySelectorAll('#MainWindow > button, #Label1')]"
        ".filter((control) => control.scrollWidth > control.clientWidth).map((control) => control.id)")
    check(overflowing == [], f"every caption and the label fit on one line; overflowing: {overflowing}")

    page.emulate(2)
    page.wait("return document.querySelector('#Picture1 canvas').width === 910", "density 2 resizes the canvas")
    dense = page.matches_core(tool, "1223", scale=2)
    check(dense["css"] == (455, 439), f"twice the pixels shown at CSS size {dense['css']}")
    # Lines twice as long but still one device pixel wide: about twice the ink, not four times.
    page.emulate(1)
    page.wait("return document.querySelector('#Picture1 canvas').width === 455", "density 1 again")
    ratio = dense["mask"].count("1") / page.canvas()["mask"].count("1")
    check(1.5 < ratio < 2.5, f"lines stay one device pixel wide at 2x: {ratio:.2f} times the ink of 1x")

    times = driver.execute_script(TIME_CLICKS, 41)
    median = statistics.median(times)
    print(f"generate click (handler, raster, copy to canvas) in the page: median {median:.2f} ms, "
          f"max {max(times):.2f} ms over {len(times)} clicks", flush=True)
    check(median < CLICK_MEDIAN_LIMIT_MS, f"median click under {CLICK_MEDIAN_LIMIT_MS} ms")

    # A density the picture can't be shown at is the fatal error: one modal report, and the
    # program has ended.
    before = page.canvas()["mask"]
    page.emulate(17)
    page.wait("return document.getElementById('FatalError').open", "the fatal error opens its dialog")
    report = driver.execute_script(
        "const dialogs = document.querySelectorAll('dialog[open]');"
        "return [dialogs.length, dialogs[0].matches(':modal'), dialogs[0].textContent]")
    check(report[0] == 1 and report[1] and "density" in report[2],
          f"one modal dialog names the failure: {report}")
    captions = page.captions()
    driver.execute_script("document.getElementById('Command1').click(); document.getElementById('Command2').click()")
    check(page.captions() == captions and page.canvas()["mask"] == before, "no click is handled afterwards")


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    page, tool = sys.argv[1], sys.argv[2:]
    # The page alone in a folder: it must need nothing beside it.
    folder = tempfile.mkdtemp(prefix="quorrin-page-")
    profile = tempfile.mkdtemp(prefix="quorrin-chromium-")
    try:
        shutil.copy(page, folder)
        print(f"page: {os.path.getsize(page)} bytes", flush=True)
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         f"--user-data-dir={profile}"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            scenario(driver, "file://" + os.path.join(folder, "quorrin.html"), tool)
            console = driver.get_log("browser")
            check(console == [], f"nothing on the console: {[entry['message'][:300] for entry in console]}")
        finally:
            driver.quit()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(profile, ignore_errors=True)
    if failures:
        print(f"{len(failures)} check(s) failed", flush=True)
        sys.exit(1)


if __name__ == "__main__":
    main()
