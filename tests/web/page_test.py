#!/usr/bin/env python3
# The page alone from file:// in one browser engine, driven with real key and pointer events, step
# by step against the core's picture for the same clicks; then axe-core's accessibility rules in
# every colour scheme the engine can show, beside the colours the engine computes for the controls.
# usage: page_test.py chromium|firefox|webkit PAGE DISPLAY_VERSION RUNNER... PICTURE_OF_CLICKS
import functools, os, shutil, subprocess, sys, tempfile, time

from engines import ENGINES, HERE

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
# One row per step: what is done, then the focus, the captions and the core's clicks. The density
# and the scheme are those the steps set; every step also wants each caption and the label to fit
# its box.
STEPS = [
    ("", "Picture1", START, ""),
    ("ENTER", "Picture1", START, ""),
    ("TAB SPACE", "Command1", "random 48x48|Show streams|New random with taps", "1"),
    ("TAB TAB", "Command3", "random 48x48|Show streams|New random with taps", "1"),
    ("click 2", "Command2", "random 48x48|Show drainage|New random with taps", "12"),
    ("click 2", "Command2", "random 48x48|Show streams|New random with taps", "122"),
    ("dark", "Command2", "random 48x48|Show streams|New random with taps", "122"),
    ("click 3", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
    ("scale 2", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
    ("scale 1", "Command3", "random 48x48|Show streams|random with taps 24x24", "1223"),
]
# The colours the engine computes for the page's parts in a scheme, the system colours among them,
# with the picture focused and then a button focused from the keyboard.
COLOURS = """
const colour = (selector, property) => getComputedStyle(document.querySelector(selector))[property];
const system = (name) => {
  const probe = document.body.appendChild(document.createElement('i'));
  probe.style.color = name;
  const value = probe.style.color ? getComputedStyle(probe).color : 'unknown';
  probe.remove();
  return value;
};
const border = (selector) => ['Style', 'Color'].map((p) => colour(selector, 'borderTop' + p)).join(' ');
const outline = (selector) => ['Style', 'Width', 'Color'].map((p) => colour(selector, 'outline' + p)).join(' ');
return document.activeElement.id !== 'Picture1' ? [
  ['focused button', document.activeElement.id], ['its outline', outline(':focus')],
  ['picture border', border('#Picture1')]] : [
  ['schemes', ['(prefers-color-scheme: dark)', '(forced-colors: active)'].map((query) => matchMedia(query).matches)],
  ['body background', colour('body', 'backgroundColor')], ['root background', colour('html', 'backgroundColor')],
  ['window', colour('#MainWindow', 'color') + ' on ' + colour('#MainWindow', 'backgroundColor')],
  ['button', colour('#Command1', 'color') + ' on ' + colour('#Command1', 'backgroundColor')],
  ['button border', border('#Command1')], ['label', colour('#Label1', 'color')],
  ['picture', colour('#Picture1', 'color') + ' on ' + colour('#Picture1', 'backgroundColor')],
  ['focused picture border', border('#Picture1')], ['focused picture outline', outline('#Picture1')],
  ...['Canvas', 'CanvasText', 'ButtonFace', 'ButtonText', 'ButtonBorder', 'Field', 'FieldText', 'Highlight',
      'HighlightText', 'GrayText', 'AccentColor', 'AccentColorText', 'SelectedItem', 'SelectedItemText',
      'LinkText', 'Mark', 'MarkText'].map((name) => [name, system(name)])];
"""
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
    scale, dark = 1, False
    for action, focus, captions, clicks in STEPS:
        verb, _, argument = action.partition(" ")
        if verb == "click":
            engine.click("Command" + argument)
        elif verb == "dark":
            if engine.switch("dark"):
                dark = True
            else:
                skip(engine, "switching the open page to the dark scheme")
        elif verb == "scale":
            if engine.scale(int(argument)):
                scale = int(argument)
            else:
                skip(engine, f"showing the open page at density {argument}")
        elif action:
            engine.keys(action.split())
        size, mask = core_picture(tool, clicks, scale)
        words = core(tool, "words", clicks).strip()
        want = [focus, captions.split("|"), size, dark, [], words, words, mask]
        until(engine, lambda: engine.run(STATE) == want)
        got = engine.run(STATE)
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


# A density the picture can't be shown at is the fatal error: one modal report, and the program has
# ended.
def fatal_error_at_density_17(engine):
    if not engine.scale(17):
        return skip(engine, "showing the open page at density 17")
    dialogs = "return [...document.querySelectorAll('dialog[open]')].map((d) => [d.matches(':modal'), d.textContent])"
    until(engine, lambda: engine.run(dialogs))
    report, before = engine.run(dialogs), engine.run(STATE)[1:]
    engine.run("for (const n of [1, 2, 3]) document.getElementById('Command' + n).click()")
    check(len(report) == 1 and report[0][0] and "density" in report[0][1], f"one modal dialog: {report}")
    check(engine.run(STATE)[1:] == before, "no click is handled after the fatal error")
    engine.scale(1)


# Each scheme the engine can show, on a page opened in it: its colours, then axe-core's verdict.
def schemes(engine, url):
    with open(os.path.join(HERE, "node_modules", "axe-core", "axe.min.js"), encoding="utf-8") as file:
        axe = file.read() + "\n" + AXE
    for scheme in ("light", "dark", "forced"):
        if not engine.open(url, scheme):
            skip(engine, f"showing the page in the {scheme} scheme")
            continue
        until(engine, lambda: engine.run("return document.activeElement.id") == "Picture1")
        colours = engine.run(COLOURS)
        engine.keys(["TAB"])
        colours += engine.run(COLOURS)
        print(f"info  {engine.name} colours in the {scheme} scheme:\n" +
              "\n".join(f"        {name}: {value}" for name, value in colours), flush=True)
        # Forced colours come in the engine's own palette, light or dark.
        dark, forced = dict(colours)["schemes"]
        check(forced == (scheme == "forced") and (forced or dark == (scheme == "dark")),
              f"{scheme}: the page is shown in that scheme (dark, forced colours): {[dark, forced]}")
        violations, undecided = engine.run(axe)
        for rule, impact, element, figures in undecided:
            print(f"note  axe {scheme}: undecided {rule} ({impact}) at {element}: {figures}", flush=True)
        check(not violations, f"axe {scheme}: {len(violations)} violation(s)" + "".join(
            f"\n        {rule} ({impact}) at {element}: {figures}" for rule, impact, element, figures in violations))


def main():
    name, page, version, tool = sys.argv[1], sys.argv[2], sys.argv[3], tuple(sys.argv[4:])
    folder = tempfile.TemporaryDirectory()
    url = "file://" + shutil.copy(page, folder.name)  # the page alone, nothing beside it
    engine = ENGINES[name]()
    try:
        scenario(engine, url, version, tool)
        fatal_error_at_density_17(engine)
        schemes(engine, url)
        console = engine.console()
        check(console == [], f"nothing on the console: {console}")
    finally:
        engine.quit()
    sys.exit(f"{len(failures)} check(s) failed" if failures else 0)


if __name__ == "__main__":
    main()
