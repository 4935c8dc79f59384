#!/usr/bin/env python3
# What only a script inside the page shows, in headless Chromium (its DevTools emulate schemes,
# densities and touch): axe-core's rules in the light, dark and forced-colours schemes; the window
# on a phone's screen, scaled down whole, nothing to scroll, the picture at the density it is
# shown at, and a tap as a click; zoom beyond the densest raster; the page before the program
# starts and a start that fails; the version; nothing on the console.
#   page.py PAGE DISPLAY_VERSION -- CORE...
import contextlib, io, os, shutil, sys, tempfile, unittest

from PIL import Image
from selenium import webdriver

PAGE, VERSION = sys.argv[1:3]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from scenario import CLIENT, CONTROLS, FRAME, core, wait_for, words  # noqa: E402

AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core", "axe.min.js")
LARGEST_DENSITY = int(core("largest"))  # the densest raster the program makes
# The canvas's pixels as '0' (its background), '1' (its ink) or '?', read through a copy, and the
# controls whose text overflows or that stand out of the viewport.
STATE = """
const canvas = document.querySelector('#Picture1 canvas'), style = getComputedStyle(canvas.parentNode);
const copy = Object.assign(document.createElement('canvas'), {width: canvas.width, height: canvas.height});
const context = copy.getContext('2d', {willReadFrequently: true});
context.drawImage(canvas, 0, 0);
const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
const [paper, ink] = [style.backgroundColor, style.color].map((css) => css.match(/[\\d.]+/g).slice(0, 3).join());
let mask = '';
for (let i = 0; i < data.length; i += 4) {
  const colour = `${data[i]},${data[i + 1]},${data[i + 2]}`;
  mask += colour === paper ? '0' : colour === ink ? '1' : '?';
}
const out = (c) => { const r = c.getBoundingClientRect(); return r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight; };
return [[1, 2, 3].map((n) => document.getElementById('Command' + n).textContent), [canvas.width, canvas.height],
        [...document.querySelectorAll('#MainWindow > *')].filter((c) => c.scrollWidth > c.clientWidth || out(c)).map((c) => c.id)
          .concat(document.documentElement.scrollWidth > innerWidth || document.documentElement.scrollHeight > innerHeight ? ['scrolls'] : []),
        document.querySelectorAll('dialog[open]').length, mask];
"""


class Page(unittest.TestCase):
    def setUp(self):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=webdriver.chrome.service.Service("/usr/bin/chromedriver"), options=options)
        self.addCleanup(self.driver.quit)
        self.url = "file://" + shutil.copy(PAGE, self.enterContext(tempfile.TemporaryDirectory()))
        self.run_ = self.driver.execute_script
        self.viewport(*CLIENT)

    # Headless Chromium passes a new density on only with a new viewport size: it gets one, briefly.
    def viewport(self, width, height, density=1):
        for narrower in (1, 0):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width - narrower, "height": height, "deviceScaleFactor": density, "mobile": False})

    def test_schemes_phone_and_zoom(self):
        with open(AXE, encoding="utf-8") as file:
            axe = file.read() + "\nreturn (await axe.run(document)).violations.flatMap((rule) => rule.nodes.map(" \
                                "(node) => [rule.id, node.target.join(' '), node.failureSummary]));"
        # Each scheme while the page is open (forced colours in the dark one, so that only they
        # change): the picture takes its colours anew.
        self.driver.get(self.url)
        wait_for("the picture's focus", lambda: self.run_("return document.activeElement.id") == "Picture1")
        self.run_("document.getElementById('Command1').click()")
        for scheme, dark, forced in (("light", "light", "none"), ("dark", "dark", "none"), ("forced", "dark", "active")):
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
                {"name": "prefers-color-scheme", "value": dark}, {"name": "forced-colors", "value": forced}]})
            wait_for(f"the picture in the {scheme} scheme's colours alone", lambda: "?" not in self.run_(STATE)[4])
            self.assertEqual(self.run_(axe), [], f"axe-core in the {scheme} scheme")
        self.assertEqual(self.run_("return document.querySelector('meta[name=generator]').content"), f"Quorrin {VERSION}")
        # On a phone's screen the window is scaled down whole, and a tap is a click.
        width, height = 320, 568
        self.viewport(width, height)
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True})
        box = self.run_("return document.getElementById('Command2').getBoundingClientRect()")
        for kind, points in (("touchStart", [{"x": box["x"] + box["width"] / 2, "y": box["y"] + 5}]), ("touchEnd", [])):
            self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
        fit = min(1, width / CLIENT[0], height / CLIENT[1])
        picture = core(str(fit), "12").split()
        want = [words("12")[1], [int(picture[1]), int(picture[2])], [], 0, "".join(picture[3:])]
        with contextlib.suppress(AssertionError):
            wait_for("the window on the phone", lambda: self.run_(STATE) == want)
        state = self.run_(STATE)
        self.assertEqual(state[:4], want[:4])
        self.assertTrue(state[4] == want[4], "the picture is the core's at the density it is shown at")
        # Zoom beyond the densest raster shows that raster scaled, and the program goes on.
        self.viewport(*CLIENT, LARGEST_DENSITY + 1)
        size = [(CONTROLS["Picture1"][0][2 + n] - 2 * FRAME) * LARGEST_DENSITY for n in (0, 1)]
        zoomed = "return [[...document.querySelectorAll('canvas')].map((c) => [c.width, c.height])[0], " \
                 "document.querySelectorAll('dialog[open]').length]"
        wait_for("the densest raster and no report", lambda: self.run_(zoomed) == [size, 0])
        self.assertEqual(self.driver.get_log("browser"), [], "the console")

    # Held back, as on a slow machine, the program has not started: the captions already fit and
    # the picture shows its background, no black box. Then kept from starting, it reports so once,
    # and handles no click.
    def test_before_and_without_the_program(self):
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "WebAssembly.instantiate = () => new Promise((_, reject) => { window.fail = reject; });"})
        self.driver.get(self.url)
        wait_for("the page", lambda: self.run_("return document.readyState") == "complete")
        box, background = self.run_("const p = document.getElementById('Picture1'); return "
                                    "[p.querySelector('canvas').getBoundingClientRect(), getComputedStyle(p).backgroundColor]")
        area = Image.open(io.BytesIO(self.driver.get_screenshot_as_png())).convert("RGB").crop(
            [round(box[side]) for side in ("left", "top", "right", "bottom")])
        self.assertEqual([f"rgb({r}, {g}, {b})" for _, (r, g, b) in area.getcolors(1 << 20)], [background])
        self.assertEqual(self.run_(STATE)[2], [], "overflowing or out of view")
        self.run_("window.fail(new Error('no memory'))")
        dialogs = "return [...document.querySelectorAll('dialog[open]')].map((d) => [d.matches(':modal'), d.textContent])"
        report, captions = wait_for("the report", lambda: self.run_(dialogs)), self.run_(STATE)[0]
        self.run_("for (const n of [1, 2, 3]) document.getElementById('Command' + n).click()")
        self.assertEqual(self.run_(STATE)[0], captions, "no click is handled after the fatal error")
        self.assertEqual([[modal, text.split("(")[0]] for modal, text in report],
                         [[True, "Quorrin must end: the program could not start "]])


unittest.main(argv=sys.argv[:1] + ["-v"])
