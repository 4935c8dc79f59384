#!/usr/bin/env python3
# The page alone from file:// in one browser engine, driven with real key and pointer events, step
# by step against the core's picture for the same clicks, at several densities and on a phone's
# screen; then axe-core's accessibility rules and the contrast of the rendered pixels in every
# colour scheme the engine can show; and, where the engine can hold the program back, the page
# before the program starts and when it cannot start.
# usage: page_test.py chromium|firefox|webkit PAGE DISPLAY_VERSION RUNNER... PICTURE_OF_CLICKS
import functools, io, os, shutil, subprocess, sys, tempfile, time

from PIL import Image

import contrast
from engines import ENGINES, HERE, WIDTH, HEIGHT

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
          .map((c) => c.id), OUT_OF_VIEW, canvas.parentNode.getAttribute('aria-label') + '. ' +
        document.querySelector('[role=status]').textContent, canvas.parentNode.title, mask];
""".replace("OUT_OF_VIEW", """
[...document.querySelectorAll('#MainWindow > *')].filter((c) => {
  const r = c.getBoundingClientRect();
  return r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight;
}).map((c) => c.id).concat(document.documentElement.scrollWidth > innerWidth ? ['sideways'] : [],
                           document.documentElement.scrollHeight > innerHeight ? ['down'] : [])""")
START = "New random|Show streams|New random with taps"
# One row per step: what is done, then the focus, the captions and the core's clicks. The density
# and the scheme are those the steps set ("viewport" takes CSS pixels and device pixels per CSS
# pixel); every step also wants each caption and the label to fit its box, and every control in
# view with nothing to scroll. On a phone's screen a tap is a click. Forced colours come in the
# engine's palette, light or dark, and the picture in its colours.
STEPS = [
    ("", "Picture1", START, ""),
    ("ENTER", "Picture1", START, ""),
    ("TAB SPACE", "Command1", "random 48x48|Show streams|New random with taps", "1"),
    ("TAB TAB", "Command3", "random 48x48|Show streams|New random with taps", "1"),
    ("click 2", "Command2", "random 48x48|Show drainage|New random with taps", "12"),
    ("click 2", "Command2", "random 48x48|Show streams|New random with taps", "122"),
    ("dark", "Command2", "random 48x48|Show streams|New random with taps", "122"),
    ("click 3", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
    ("viewport 525 550 2", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
    ("viewport 320 568 1", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
    ("tap 2", "Command2", "random 48x48|Show drainage|random with taps 24x24", "12232"),
    ("TAB", "Command3", "random 48x48|Show drainage|random with taps 24x24", "12232"),
    ("viewport 525 550 1", "Command3", "random 48x48|Show drainage|random with taps 24x24", "12232"),
    ("forced", "Command3", "random 48x48|Show drainage|random with taps 24x24", "12232"),
]
LARGEST_DENSITY = 16  # the densest raster the program makes
# axe-core's rules on the page as it stands: each violation and each case it could not decide, as
# rule, impact, element and the figures behind the verdict.
AXE = """
const found = await axe.run(document, {resultTypes: ['violations', 'incomplete']});
const cases = (results) => results.flatMap((rule) => rule.nodes.map((node) => [rule.id, rule.impact, node.target.join(' '),
  [...node.any, ...node.all, ...node.none].filter((check) => check.data).map((check) => JSON.stringify(check.data)).join('; ')
    || node.failureSummary.replace(/\\s+/g, ' ')]));
return [cases(found.violations), cases(found.incomplete)];
"""
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def skip(engine, what):
    print(f"skip  {what}: {engine.name} cannot", flush=True)


# What the core prints for the same clicks, once for each question: it starts slowly under Node.
@functools.cache
def core(tool, *arguments):
    return subprocess.run(tool + arguments, check=True, capture_output=True, text=True).stdout


def core_picture(tool, clicks, scale):
    words = core(tool, str(scale), clicks).split()
    return [int(words[1]), int(words[2]), 455, 439], "".join(words[3:])


# Waits up to 10 s for the condition; the check after it reports.
def until(engine, condition):
    for _ in range(50):
        if condition():
            return
        time.sleep(0.2)


def scenario(engine, url, version, tool):
    engine.open(url, "light")
    generator = engine.run("return document.querySelector('meta[name=generator]')?.content")
    check(generator == f"Quorrin {version}", f"the page names its version: {generator}")
    density, dark = 1, False
    for action, focus, captions, clicks in STEPS:
        verb, _, argument = action.partition(" ")
        if verb == "click":
            engine.click("Command" + argument)
        elif verb == "tap":
            if hasattr(engine, "tap"):
                box = engine.run(f"return document.getElementById('Command{argument}').getBoundingClientRect()")
                engine.tap(box["x"] + box["width"] / 2, box["y"] + box["height"] / 2)
            else:
                skip(engine, "tapping: it clicks instead")
                engine.click("Command" + argument)
        elif verb in ("dark", "forced"):
            if engine.switch(verb):
                dark = verb == "dark" or None
            else:
                skip(engine, f"switching the open page to the {verb} scheme")
        elif verb == "viewport":
            width, height, scale = map(int, argument.split())
            if engine.viewport(width, height, scale):
                # A viewport smaller than the window shows it scaled down, and the picture at that
                # density. A browser's window may not be as small as asked.
                width, height = engine.run("return [innerWidth, innerHeight]")
                density = scale * min(1, width / WIDTH, height / HEIGHT)
                print(f"info  a viewport of {width} x {height} CSS pixels", flush=True)
            else:
                skip(engine, f"showing the open page at density {scale}")
        elif action:
            engine.keys(action.split())
        size, mask = core_picture(tool, clicks, density)
        words = core(tool, "words", clicks).strip()
        want = [focus, captions.split("|"), size, dark, [], [], words, words, mask]
        shown = lambda: engine.run(STATE)
        if dark is None:
            shown = lambda: (state := engine.run(STATE))[:3] + [None] + state[4:]
            want[3] = None
        until(engine, lambda: shown() == want)
        got = shown()
        check(got == want, f"{action or 'open'}: {got[:-1]}, {sum(a != b for a, b in zip(got[-1], mask))} pixels "
              f"unlike the core's" + ("" if got == want else f"; want {want[:-1]}"))
    # The title and the controls, in tab order, where the window's table has them.
    title, _, *table = core(tool, "layout").splitlines()
    layout = "return [document.title, [...document.querySelectorAll('#MainWindow > *')].map((c) => [c.id, c.offsetLeft, " \
             "c.offsetTop, c.offsetWidth, c.offsetHeight])]"
    want = [title, [[name, *map(int, box)] for name, _, *box, _, _ in sorted(
        (line.split(" ", 7) for line in table), key=lambda control: int(control[6]))]]
    check(engine.run(layout) == want, "the title and the controls' places")
    # What a screen reader finds: the title as the one heading and as the main landmark's name, and
    # the picture named as the core names it.
    found = [(role, engine.count(role), engine.count(role, name))
             for role, name in (("heading", title), ("main", title), ("image", words.split(". ")[0]))]
    check(all(count == named == 1 for _, count, named in found), f"one of each role, named so (role, count, named): {found}")


# Zoom beyond the densest raster the program makes shows that raster scaled; the program goes on.
def beyond_largest_density(engine):
    if not engine.viewport(WIDTH, HEIGHT, LARGEST_DENSITY + 1):
        return skip(engine, f"showing the open page at density {LARGEST_DENSITY + 1}")
    state = "const c = document.querySelector('canvas'); " \
            "return [c.width, c.height, c.clientWidth, document.querySelectorAll('dialog[open]').length]"
    want = [round(455 * LARGEST_DENSITY), round(439 * LARGEST_DENSITY), 455, 0]
    until(engine, lambda: engine.run(state) == want)
    check(engine.run(state) == want, f"at density {LARGEST_DENSITY + 1}, the largest raster and no dialog")
    engine.viewport(WIDTH, HEIGHT)


# The contrast figures of the page as rendered, once the engine has painted the control's focus
# (WebKit paints a moment after the key), or after 10 s.
def rendered(engine, focused):
    figures = {}
    until(engine, lambda: f"focus {focused}" in figures and not contrast.failing(figures) or figures.update(
        contrast.measure(engine.screenshot(), engine.run(contrast.BOXES))))
    return figures


# Each scheme the engine can show, on a page opened in it: the contrast of its pixels with a button
# and then the picture focused (after a key, as only then does the document hold the focus in
# every engine), then axe-core's verdict.
def schemes(engine, url):
    with open(os.path.join(HERE, "node_modules", "axe-core", "axe.min.js"), encoding="utf-8") as file:
        axe = file.read() + "\n" + AXE
    for scheme in ("light", "dark", "forced"):
        if not engine.open(url, scheme):
            skip(engine, f"showing the page in the {scheme} scheme")
            continue
        until(engine, lambda: engine.run("return document.activeElement.id") == "Picture1")
        # Forced colours come in the engine's own palette, light or dark.
        dark, forced = engine.run("return ['(prefers-color-scheme: dark)', '(forced-colors: active)']"
                                  ".map((query) => matchMedia(query).matches)")
        check(forced == (scheme == "forced") and (forced or dark == (scheme == "dark")),
              f"{scheme}: the page is shown in that scheme (dark, forced colours): {[dark, forced]}")
        engine.keys(["TAB"])
        figures = rendered(engine, "Command1")
        engine.run("document.getElementById('Picture1').focus()")
        figures.update(rendered(engine, "Picture1"))
        print(f"info  {engine.name} {scheme}: contrast " + ", ".join(f"{what} {value:.2f}" for what, value in
                                                                 sorted(figures.items())), flush=True)
        check({"focus Command1", "focus Picture1"} <= figures.keys() and not contrast.failing(figures),
              f"{scheme}: text, edges and focus rings stand out enough: {contrast.failing(figures)}")
        violations, undecided = engine.run(axe)
        for rule, impact, element, figures in undecided:
            print(f"note  axe {scheme}: undecided {rule} ({impact}) at {element}: {figures}", flush=True)
        check(not violations, f"axe {scheme}: {len(violations)} violation(s)" + "".join(
            f"\n        {rule} ({impact}) at {element}: {figures}" for rule, impact, element, figures in violations))


# Held back, as on a slow machine, the program has not started: the captions are already fitted
# and the picture shows its background. Kept from starting, it reports so once, and ends.
def before_the_program_starts(engine, url):
    if not hasattr(engine, "before_pages"):
        return skip(engine, "holding the program back")
    engine.before_pages("WebAssembly.instantiate = () => new Promise(() => {});")
    engine.open(url, "light")
    until(engine, lambda: engine.run("return document.readyState") == "complete")
    box, background = engine.run("const p = document.getElementById('Picture1'); "
                                 "return [p.querySelector('canvas').getBoundingClientRect(), getComputedStyle(p).backgroundColor]")
    area = Image.open(io.BytesIO(engine.screenshot())).convert("RGB").crop(
        [round(box[side]) for side in ("left", "top", "right", "bottom")])
    shown = sorted(area.getcolors(1 << 20), reverse=True)[:2]
    state = engine.run(STATE)
    check(state[4] == [] and [f"rgb({r}, {g}, {b})" for _, (r, g, b) in shown] == [background],
          f"before the program starts: overflowing {state[4]}, the picture shows {shown}, its background {background}")
    engine.before_pages("WebAssembly.instantiate = () => Promise.reject(new Error('no memory'));")
    engine.open(url, "light")
    dialogs = "return [...document.querySelectorAll('dialog[open]')].map((d) => [d.matches(':modal'), d.textContent])"
    until(engine, lambda: engine.run(dialogs))
    report, before = engine.run(dialogs), engine.run(STATE)[1:]
    engine.run("for (const n of [1, 2, 3]) document.getElementById('Command' + n).click()")
    check(len(report) == 1 and report[0][0] and report[0][1].startswith("Quorrin must end: the program could not start ("),
          f"one modal dialog: {report}")
    check(engine.run(STATE)[1:] == before, "no click is handled after the fatal error")


def main():
    name, page, version, tool = sys.argv[1], sys.argv[2], sys.argv[3], tuple(sys.argv[4:])
    folder = tempfile.TemporaryDirectory()
    url = "file://" + shutil.copy(page, folder.name)  # the page alone, nothing beside it
    engine = ENGINES[name]()
    try:
        scenario(engine, url, version, tool)
        beyond_largest_density(engine)
        schemes(engine, url)
        console = engine.console()
        check(console == [], f"nothing on the console: {console}")
        before_the_program_starts(engine, url)
    finally:
        engine.quit()
    sys.exit(f"{len(failures)} check(s) failed" if failures else 0)


if __name__ == "__main__":
    main()
