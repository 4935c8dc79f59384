#!/usr/bin/env python3
# The page alone from file:// in headless Chromium, driven through WebDriver with real key and
# pointer events, step by step against the core's picture for the same clicks.
# usage: page_test.py PAGE DISPLAY_VERSION RUNNER... PICTURE_OF_CLICKS
import shutil, subprocess, sys, tempfile, time

from selenium import webdriver

# What the page shows: the canvas's pixels as '0' (the Canvas colour), '1' (CanvasText) or '?'.
# Read through a copy, so that the page's own canvas is never read back.
STATE = """
const canvas = document.querySelector('#Picture1 canvas'), style = getComputedStyle(canvas.parentNode);
const copy = Object.assign(document.createElement('canvas'), {width: canvas.width, height: canvas.height});
const context = copy.getContext('2d', {willReadFrequently: true});
context.drawImage(canvas, 0, 0);
const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
const [paper, ink] = [style.backgroundColor, style.color].map((css) => css.match(/[\\d.]+/g).slice(0, 3).join());
const colour = (i) => `${data[i]},${data[i + 1]},${data[i + 2]}`;
let mask = '';
for (let i = 0; i < data.length; i += 4) mask += colour(i) === paper ? '0' : colour(i) === ink ? '1' : '?';
const sum = (colour) => colour.split(',').reduce((a, b) => a + Number(b), 0);
return [document.activeElement.id, [1, 2, 3].map((n) => document.getElementById('Command' + n).textContent),
        [canvas.width, canvas.height, canvas.clientWidth, canvas.clientHeight], sum(paper) < sum(ink),
        [...document.querySelectorAll('#MainWindow > button, #Label1')].filter((c) => c.scrollWidth > c.clientWidth)
          .map((c) => c.id), canvas.parentNode.getAttribute('aria-label') + '. ' +
        document.querySelector('[role=status]').textContent, canvas.parentNode.title, mask];
"""
START = "New random|Show streams|New random with taps"
# One row per step: what is done, then the focus, the captions, the core's clicks and density, dark;
# every step also wants each caption and the label to fit its box.
STEPS = [
    ("", "Picture1", START, "", 1, False),
    ("ENTER", "Picture1", START, "", 1, False),
    ("TAB SPACE", "Command1", "random 48x48|Show streams|New random with taps", "1", 1, False),
    ("TAB TAB", "Command3", "random 48x48|Show streams|New random with taps", "1", 1, False),
    ("click 2", "Command2", "random 48x48|Show drainage|New random with taps", "12", 1, False),
    ("click 2", "Command2", "random 48x48|Show streams|New random with taps", "122", 1, False),
    ("dark", "Command2", "random 48x48|Show streams|New random with taps", "122", 1, True),
    ("click 3", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223", 1, True),
    ("scale 2", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223", 2, True),
    ("scale 1", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223", 1, True),
]
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def core_picture(tool, clicks, scale):
    words = subprocess.run(tool + [str(scale), clicks], check=True,
                           capture_output=True, text=True).stdout.split()
    return [int(words[1]), int(words[2]), 455, 439], "".join(words[3:])


def act(driver, action):
    verb, _, argument = action.partition(" ")
    if verb == "click":
        driver.find_element("id", "Command" + argument).click()
    elif verb == "dark":
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                               {"features": [{"name": "prefers-color-scheme", "value": "dark"}]})
    elif verb == "scale":  # Headless Chromium passes a new density on only with a new viewport size.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 525 + int(argument), "height": 550, "deviceScaleFactor": int(argument), "mobile": False})
    elif action:
        webdriver.ActionChains(driver).send_keys(*[getattr(webdriver.Keys, key) for key in action.split()]).perform()


# Waits up to 10 s for the condition; the check after it reports. Headless Chromium tells the page
# of a new density or scheme only with a frame, which a screenshot makes.
def until(driver, condition):
    for _ in range(50):
        if driver.get_screenshot_as_png() and condition():
            return
        time.sleep(0.2)


def scenario(driver, url, version, tool):
    act(driver, "scale 1")
    driver.get(url)
    generator = driver.execute_script("return document.querySelector('meta[name=generator]')?.content")
    check(generator == f"Quorrin {version}", f"the page names its version: {generator}")
    for action, focus, captions, clicks, scale, dark in STEPS:
        act(driver, action)
        size, mask = core_picture(tool, clicks, scale)
        words = subprocess.run(tool + ["words", clicks], check=True, capture_output=True, text=True).stdout.strip()
        want = [focus, captions.split("|"), size, dark, [], words, words, mask]
        until(driver, lambda: driver.execute_script(STATE) == want)
        got = driver.execute_script(STATE)
        check(got == want, f"{action or 'open'}: {got[:-1]}, {sum(a != b for a, b in zip(got[-1], mask))} pixels "
              f"unlike the core's" + ("" if got == want else f"; want {want[:-1]}"))
    # The title and the controls, in tab order, where the window's table has them.
    title, _, *table = subprocess.run(tool + ["layout"], check=True, capture_output=True, text=True).stdout.splitlines()
    layout = "return [document.title, [...document.querySelectorAll('#MainWindow > *')].map((c) => [c.id, c.offsetLeft, " \
             "c.offsetTop, c.offsetWidth, c.offsetHeight])]"
    want = [title, [[name, *map(int, box)] for name, _, *box, _, _ in sorted(
        (line.split(" ", 7) for line in table), key=lambda control: int(control[6]))]]
    check(driver.execute_script(layout) == want, "the title and the controls' places")
    # What a screen reader finds: the title as the one heading and as the main landmark's name, and
    # the picture named as the core names it.
    nodes = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    named = lambda role: [node.get("name", {}).get("value") for node in nodes if node["role"].get("value") == role]
    found = [named("heading"), named("main"), named("image")]
    check(found == [[title], [title], [words.split(". ")[0]]], f"headings, main landmarks and images: {found}")
    # A density the picture can't be shown at is the fatal error: one modal report, and the
    # program has ended.
    act(driver, "scale 17")
    dialogs = "return [...document.querySelectorAll('dialog[open]')].map((d) => [d.matches(':modal'), d.textContent])"
    until(driver, lambda: driver.execute_script(dialogs))
    report, before = driver.execute_script(dialogs), driver.execute_script(STATE)[1:]
    driver.execute_script("for (const n of [1, 2, 3]) document.getElementById('Command' + n).click()")
    check(len(report) == 1 and report[0][0] and "density" in report[0][1], f"one modal dialog: {report}")
    check(driver.execute_script(STATE)[1:] == before, "no click is handled after the fatal error")


def main():
    page, version, tool = sys.argv[1], sys.argv[2], sys.argv[3:]
    folder = tempfile.TemporaryDirectory()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=webdriver.chrome.service.Service("/usr/bin/chromedriver"), options=options)
    try:
        scenario(driver, "file://" + shutil.copy(page, folder.name), version, tool)  # the page alone, nothing beside it
        console = [entry["message"][:300] for entry in driver.get_log("browser")]
        check(console == [], f"nothing on the console: {console}")
    finally:
        driver.quit()
    sys.exit(f"{len(failures)} check(s) failed" if failures else 0)


if __name__ == "__main__":
    main()
