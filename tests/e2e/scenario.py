#!/usr/bin/env python3
# One scenario for every front end: the Qt program, the Windows program under Wine, and the page
# from file:// in Chromium, Firefox and WebKit, each a real window on an X server and window
# manager of the test's own. Keys and clicks go in through xdotool as a user's do. After each step
# the window's pixels (read through import) show the core's picture for the same clicks inside an
# unbroken frame, and a screen reader (AT-SPI on Linux, MSAA through probe.exe under Wine) finds
# the controls where the core's table puts them, the picture named in the core's words, the core's
# captions, and the focus where the user put it. Orca, running as a user runs it, has said once
# what the core announces of each click; under Wine probe.exe has heard it as the pressed button's
# new description.
#   scenario.py qt PROGRAM -- CORE...
#   scenario.py chromium|firefox|webkit PAGE -- CORE...
#   scenario.py win32|installer QUORRIN_EXE PROBE_EXE BUILD_DIR VERSION DISPLAY_VERSION -- CORE...
# CORE runs picture_of_clicks: the core's table, picture and words for the same clicks.
import contextlib, ctypes, functools, getpass, json, os, queue, re, shutil, signal, subprocess, sys, tempfile, threading, time
import unittest

import contrast

# What the user does, the clicks and explore keys that give the core the same picture, and the
# control that then has the focus.
# Enter presses the focused button and none on the picture; the focus comes back where it was
# after a minimise. On the picture the first explore key shows the cursor, the next moves it.
STEPS = [([], "", "Picture1"),
         (["Return", "Tab", "space"], "1", "Command1"),
         (["Tab", "Return"], "12", "Command2"),
         (["minimise", "space"], "122", "Command2"),
         (["click", "3"], "1223", "Command3"),
         (["click", "2"], "12232", "Command2"),
         (["Return"], "122322", "Command2"),
         (["shift+Tab", "shift+Tab"], "122322", "Picture1"),
         (["Left", "Left"], "122322ww", "Picture1"),
         (["Next"], "122322wwd", "Picture1")]
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
INSTALLED = r"C:\Program Files\Quorrin"
PR_SET_CHILD_SUBREAPER = 36  # prctl: orphaned descendants become this process's children
OBJID_CLIENT = -4  # the object a button's description-change event is about: its client area
WAIT = 30  # seconds; a passing run never comes near
CORE = sys.argv[sys.argv.index("--") + 1:]
HERE = os.path.dirname(os.path.abspath(__file__))
SCREEN_READER = ["/usr/bin/python3", os.path.join(HERE, "screen_reader.py")]
# Each browser shows the page alone, full screen, at a density and in a colour scheme.
BROWSERS = {"chromium": "Chromium", "firefox": "Firefox", "webkit": "MiniBrowser"}
# A colour scheme of the user's own, for forced colours where a browser can show them and for
# Windows: none of its colours grey (so that no two channels can swap unseen) nor usual, and its
# highlight stands out against paper and ink, as in a palette made for contrast.
FORCED_PAPER, FORCED_INK, FORCED_HIGHLIGHT, FORCED_FACE = (b"\xf0\xe0\x90", b"\x20\x10\x80", b"\xd0\x40\x00",
                                                          b"\xa0\xc0\x40")


@functools.cache
def core(*arguments):
    return subprocess.run(CORE + list(arguments), check=True, capture_output=True, text=True).stdout.replace("\r", "")


# The window as the core's table has it: its title, its client area, and each control's box at
# 96 dpi, tab index and text, by name; the drawing area's corner inside the picture's frame.
TITLE, SIZES, *_LINES = core("layout").splitlines()
CLIENT = [int(size) for size in SIZES.split()[:2]]
FRAME = int(SIZES.split()[4])
CONTROLS = {name: ([int(n) for n in numbers[:4]], int(numbers[4]), text)
            for name, _, *numbers, text in (line.split(" ", 7) for line in _LINES)}
AREA = [CONTROLS["Picture1"][0][0] + FRAME, CONTROLS["Picture1"][0][1] + FRAME]


# The core's picture in words after the clicks, the buttons' captions, and what a screen reader is
# told of the last click.
def words(clicks):
    text, captions, *said = core("words", clicks).splitlines()
    return text, captions.split("|"), "".join(said)


def wait_for(what, check):
    for _ in range(5 * WAIT):
        if result := check():
            return result
        time.sleep(0.2)
    raise AssertionError("gave up waiting for " + what)


class Scenario(unittest.TestCase):
    def setUp(self):
        self.scratch = self.enterContext(tempfile.TemporaryDirectory())
        self.env = dict(os.environ, WINEPREFIX=f"{self.scratch}/prefix", WINEDEBUG="-all", XDG_RUNTIME_DIR=self.scratch,
                        XDG_CACHE_HOME=self.scratch, XDG_CONFIG_HOME=self.scratch, HOME=self.scratch)
        # Speech, for Orca, into ALSA's null device: without it Orca waits for ever on a sound server.
        os.mkdir(f"{self.scratch}/speech-dispatcher")
        with open(f"{self.scratch}/speech-dispatcher/speechd.conf", "w", encoding="utf-8") as speech:
            speech.write('AudioOutputMethod "alsa"\nAudioALSADevice "null"\nDefaultModule espeak-ng\n'
                         'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n')
        self.env.pop("QT_QPA_PLATFORM", None)
        self.session, self.page, self.application = [], False, None

    def call(self, *command, check=True, **options):
        return subprocess.run(command, env=self.env, check=check, capture_output=True, timeout=2 * WAIT,
                              **options).stdout

    # An X server of that size (-noreset: a program started as its last client leaves must find
    # it), a window manager, and a session bus with the accessibility bus beside it, as on a desktop.
    def desktop(self, width, height):
        for end in reversed(self.session):
            end()
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp", "-screen", "0",
                                   f"{width}x{height}x24"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as display:
            self.env["DISPLAY"] = ":" + display.readline().strip()
        address, pid = self.call("dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1").split()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address.decode()
        bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=self.env,
                               stderr=subprocess.DEVNULL, start_new_session=True)
        self.session = [server.kill, lambda: os.kill(int(pid), signal.SIGTERM), lambda: os.killpg(bus.pid, signal.SIGTERM),
                        subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL).kill]
        self.addCleanup(lambda: [end() for end in reversed(self.session)])
        wait_for("openbox", lambda: self.call("wmctrl", "-m", check=False))

    # The program at that scale; `wine` keeps its pid as the Windows process. Started through a
    # shortcut, the program is a child of `wine start`: only its title tells it.
    def start(self, command, scale=1, title=TITLE, by_pid=True, env=None):
        if WINE:
            self.call("sh", "-c", rf"wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD "
                      f"/d {96 * scale} /f && wineserver -w")
        # What the program writes, a leak report for one, is seen; what a browser writes is not.
        quiet = subprocess.DEVNULL if self.page else None
        self.scale, self.process = scale, subprocess.Popen(WINE + command, env=dict(self.env, **(env or {})),
                                                           stdout=quiet, stderr=quiet)
        pid = ["--pid", str(self.process.pid)] if by_pid else []
        self.window = wait_for(title, lambda: self.call("xdotool", "search", "--onlyvisible", *pid, "--name",
                                                        "^" + re.escape(title), check=False).split()[-1:])[0]

    # The window manager hands the keyboard to a window a moment after it has activated it; until
    # then keys go elsewhere. Unchecked, the keys are sent once, whatever happens.
    def keys(self, *keys, check=True):
        if check:
            self.call("xdotool", "windowactivate", "--sync", self.window)
            wait_for("the keyboard", lambda: self.call("xdotool", "getwindowfocus").strip() == self.window)
        return self.call("xdotool", "windowactivate", "--sync", self.window, "key", "--delay", "100", *keys, check=check)

    # A click on the button, then the pointer rests off every button so that none is drawn hovered.
    def click(self, button):
        x, y, width, height = CONTROLS["Command" + button][0]
        self.call("xdotool", "mousemove", "--window", self.window, str(self.scale * (x + width // 2)),
                  str(self.scale * (y + height // 2)), "click", "1", "mousemove", "--window", self.window,
                  str(self.scale * (CLIENT[0] - 15)), str(self.scale * 10))

    # The drawing area shows the core's picture in two colours (ink where the core inks, paper
    # elsewhere; those given, or else any two) and the explorer's cursor over it in a third, no
    # pixel of the frame's inner ring is paper, and so it still is a moment later. Returns the
    # window's pixels, paper, ink and the cursor's colour.
    def assertShows(self, clicks, paper=None, ink=None):
        s, what = self.scale, f"the core's picture of clicks '{clicks}' at scale {self.scale}, framed"
        core_picture = core(str(s), clicks).split()
        width, height, mask = int(core_picture[1]), int(core_picture[2]), "".join(core_picture[3:])
        row = CLIENT[0] * s

        def shows():
            shot = self.call("import", "-window", self.window, "-depth", "8", "rgb:-")
            if len(shot) != row * CLIENT[1] * s * 3:
                return None
            at = lambda x, y: ((AREA[1] * s + y) * row + AREA[0] * s + x) * 3
            colours = [paper or shot[at(0, 0):at(1, 0)], ink, None]
            for digit in "12":
                if digit in mask and not colours[int(digit)]:
                    first = mask.index(digit)
                    colours[int(digit)] = shot[at(first % width, first // width):at(first % width + 1, first // width)]
            ring = [shot[at(x, y):at(x, y) + 3] for x in range(-1, width + 1) for y in (-1, height)] + \
                   [shot[at(x, y):at(x, y) + 3] for x in (-1, width) for y in range(height)]
            area = b"".join(shot[at(0, y):at(width, y)] for y in range(height))
            expected = b"".join(colours[digit - ord("0")] for digit in mask.encode())
            distinct = [colour for colour in colours if colour]
            return area == expected and colours[0] not in ring and len(set(distinct)) == len(distinct) and (shot, *colours)

        wait_for(what, shows)
        time.sleep(0.5)
        self.assertTrue(shown := shows(), what + ", and a moment later")
        return shown

    # What a screen reader finds of the window, by control: role, name, description, text, box
    # and whether it has the focus. Qt names no control: the picture is the image, the label the
    # label, and the buttons stand left to right.
    def read(self):
        if WINE:
            return self.read_windows()
        found = json.loads(self.call(*SCREEN_READER, self.application, TITLE) or "[]")
        if not found:
            return None, {}
        controls = {entry[6]: entry[:6] for entry in found[1:] if entry[6] in CONTROLS}
        if not controls:
            buttons = sorted((entry for entry in found if entry[0] == "push button"), key=lambda entry: entry[4][0])
            controls = {f"Command{n + 1}": entry[:6] for n, entry in enumerate(buttons)}
            controls.update({name: entry[:6] for entry in found for role, name in
                             (("image", "Picture1"), ("label", "Label1")) if entry[0] == role})
        return found[0][:6], controls

    # Windows tells its client area, the focused control, and each control's box and name as
    # screen readers get it.
    def read_windows(self):
        numbers = {101 + tab: name for name, (_, tab, _) in CONTROLS.items()}
        client, *lines = self.call("wine", self.probe, "window", TITLE).decode().replace("\r", "").splitlines()
        _, width, height, _, focus = client.split()
        controls = {numbers[int(number)]: ["", name, "", "", [int(n) for n in box], number == focus]
                    for number, *box, name in (line.split(" ", 5) for line in lines)}
        return ["", TITLE, "", "", [0, 0, int(width), int(height)], False], controls

    # A screen reader finds the controls where the table puts them, the picture named in the
    # core's words (its name, and its description where it has one), the captions and
    # the focus; and has heard what the core announces of the click.
    def assertReads(self, focus, clicks, heard=True):
        (text, captions, announcement), picture = words(clicks), CONTROLS["Picture1"][0]
        if clicks and heard and self.application != "MiniBrowser":  # Orca is not heard with WebKit here
            self.assertHeard(focus, announcement)
        want = {control: [box, control == focus, caption] for control, (box, _, caption) in CONTROLS.items()}
        want["Picture1"][2] = text
        for n, caption in enumerate(captions):
            want[f"Command{n + 1}"][2] = caption

        # Boxes in pixels at 96 dpi, from the picture's corner: a reader counts in pixels of the
        # screen's density, or in a toolkit's own, larger ones.
        def got():
            window, controls = self.read()
            unit, origin = window and window[4][2] / CLIENT[0], controls.get("Picture1", [[0, 0]] * 5)[4][:2]
            return {control: [[(v - origin[i]) / unit + picture[i] for i, v in enumerate(box[:2])] +
                               [v / unit for v in box[2:]], focused,
                              description if description.startswith(name + ". ") else
                              name + ". " + description if description not in ("", name) else name or text]
                    for control, (_, name, description, text, box, focused) in controls.items()}
        with contextlib.suppress(AssertionError):
            wait_for("a screen reader to find the window as the core has it", lambda: got() == want)
        self.assertEqual(got(), want)

    # A screen reader from the program's start to its end, heard line by line: Orca on Linux,
    # speaking into ALSA's null device, its log read as it writes it (to a terminal, which it
    # writes line by line; to a file it writes in blocks); under Wine probe.exe, which tells each
    # description-change event it hears: the control's id, the object's and the child's, and the
    # description.
    def listen(self):
        if WINE:
            command, log = ["wine", self.probe, "listen", TITLE], None
        else:
            log, terminal = os.openpty()
            self.addCleanup(os.close, terminal)
            # As it reads a page aloud on loading, Orca moves its caret, where Tab then starts from.
            with open(f"{self.scratch}/user-settings.conf", "w", encoding="utf-8") as settings:
                json.dump({"general": {"sayAllOnLoad": False}, "profiles": {"default": {"profile": ["Default", "default"]}},
                           "pronunciations": {}, "keybindings": {}}, settings)
            # Orca will not start beside another Orca of the same user: it runs where it sees no other.
            command = ["unshare", "--map-root-user", "--pid", "--fork", "--mount-proc", "--kill-child", "orca",
                       f"--user-prefs={self.scratch}", f"--debug-file={os.ttyname(terminal)}"]
        listener = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL, text=True,
                                    stdout=subprocess.DEVNULL if log else subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(listener.kill)
        self.heard = queue.Queue()
        lines = os.fdopen(log, errors="replace") if log else listener.stdout
        # What Orca says, and any event it could not speak.
        said = lambda line: re.search(r"SPEECH OUTPUT: '(.*)'(\{[^{}]*\})?\s*$|(ERROR: Could not process.*|bad content.*)", line)

        def hear():
            with contextlib.suppress(OSError):  # the terminal ends with Orca
                for line in lines:
                    if WINE or (found := said(line)):
                        self.heard.put(line.replace("\r", "").rstrip("\n") if WINE else found[1] or found[3])
        threading.Thread(target=hear, daemon=True).start()
        self.assertEqual(self.heard.get(timeout=WAIT), "ready" if WINE else "Screen reader on.")
        return lambda: listener.kill() or listener.wait()

    # What was heard since the last call, up to what the click should have made heard, once, and
    # no error on the way: Orca speaks the core's announcement, and probe.exe hears it as the
    # description of the pressed button, which has the focus.
    def assertHeard(self, pressed, announcement):
        wanted = f"{101 + CONTROLS[pressed][1]} {OBJID_CLIENT} 0 {announcement}" if WINE else announcement
        heard, times = [], 0
        while True:
            if times and self.heard.empty():
                time.sleep(1)  # time enough to say it twice
                if self.heard.empty():
                    break
            try:
                heard.append(self.heard.get(timeout=WAIT))
            except queue.Empty:
                raise AssertionError(f"a screen reader never heard {wanted!r}, only {heard}") from None
            self.assertFalse(heard[-1].startswith(("ERROR", "bad content")), heard[-1])
            times += heard[-1].removeprefix("notification ") == wanted
        self.assertEqual(times, 1, f"times {wanted!r} was heard, in {heard}")

    # The steps (the picture is kept over a minimise and restore, after which the user goes on),
    # each step's pixels and what a screen reader finds, then what else the platform can do, and
    # Alt+F4 as a user closes it (the window manager asks the window to close), ending the
    # program with status 0.
    def scenario(self, command, scale=1, more=lambda: None, env=None, dark=False, colours=()):
        # Orca from before the program starts, as a user runs it; probe.exe needs the window.
        stop_listening = None if WINE else self.listen()
        self.start(command, scale, env=env)
        stop_listening = stop_listening or self.listen()
        # Each step, with the clicks before it: a step that clicks nothing new has nothing new to say.
        for (keys, clicks, focus), (_, before, _) in zip(STEPS, [([], "", "")] + STEPS):
            if keys[:1] == ["click"]:
                self.click(keys[1])
            elif keys[:1] == ["minimise"]:
                if not self.page:  # a browser keeps its page over a minimise itself
                    self.call("xdotool", "windowminimize", "--sync", self.window, "windowactivate", "--sync",
                              self.window, check=False)
                    self.assertShows(clicks[:-1])
                self.keys(*keys[1:])
            elif keys:
                self.keys(*keys)
            # Orca presents a page's picture when the page has loaded or Tab has brought the focus to
            # it, last saying it is in focus mode: it passes the picture keys only then, as a user hears.
            presented = self.page and self.application != "MiniBrowser" and focus == "Picture1"
            while presented and (not keys or "shift+Tab" in keys) and self.heard.get(timeout=WAIT) != "Focus mode":
                pass
            self.assertReads(focus, clicks, heard=clicks != before)
            shot, paper, ink, cursor = self.assertShows(clicks, *colours)
            if cursor:
                self.assertGreaterEqual(min(contrast.ratio(cursor, paper), contrast.ratio(cursor, ink)), 3, "the cursor")
            if ink:
                self.assertGreaterEqual(contrast.ratio(paper, ink), 4.5, "ink on paper")
                self.assertEqual(contrast.luminance(paper) < contrast.luminance(ink), dark, "the picture's scheme")
            if self.page:  # the ring shows where Tab brought the focus, and always on the picture
                self.assertContrast(shot, focus if "Tab" in keys or focus == "Picture1" else None)
        more()
        self.keys("alt+F4")
        self.assertEqual(self.process.wait(2 * WAIT), 0, "the exit status")
        stop_listening()

    # Text, edges and the focus ring of the page stand out enough in the scheme it is shown in.
    def assertContrast(self, shot, focus):
        boxes = {name: [box[0], box[1], box[0] + box[2], box[1] + box[3]] for name, (box, _, _) in CONTROLS.items()}
        figures = contrast.measure(shot, CLIENT[0] * self.scale, self.scale, boxes, focus)
        self.assertEqual(contrast.failing(figures), {}, f"contrast in the page: {figures}")

    def test_qt(self):
        self.desktop(2400, 1300)
        self.application, self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "Quorrin", "1"
        self.scenario([PROGRAM])

    # The page alone, nothing beside it, in each scheme the engine can show: light, then dark at
    # twice the density, then forced colours.
    def browse(self, engine):
        page = "file://" + shutil.copy(PROGRAM, self.scratch)
        self.application, self.page = BROWSERS[engine], True
        for scheme, scale in (("light", 1), ("dark", 2), ("forced", 1)):
            profile, env = f"{self.scratch}/{scheme}", {}
            if engine == "firefox":
                os.mkdir(profile)
                with open(f"{profile}/user.js", "w", encoding="utf-8") as prefs:
                    prefs.write("".join(f'user_pref("{name}", {value});\n' for name, value in [
                        ("layout.css.devPixelsPerPx", f'"{scale}"'), ("ui.systemUsesDarkTheme", int(scheme == "dark")),
                        ("browser.display.document_color_use", 2 if scheme == "forced" else 0),
                        ("browser.display.background_color", f'"#{FORCED_PAPER.hex()}"'),
                        ("browser.display.foreground_color", f'"#{FORCED_INK.hex()}"'),
                        ("ui.highlight", f'"#{FORCED_HIGHLIGHT.hex()}"'),
                        ("browser.shell.checkDefaultBrowser", "false"), ("browser.aboutwelcome.enabled", "false"),
                        ("browser.newtab.preload", "false"),  # a hidden page Orca would take for the shown one
                        ("datareporting.policy.dataSubmissionEnabled", "false")]))
                command = ["firefox-esr", "--kiosk", "--no-remote", "--profile", profile, page]
                env = {"GNOME_ACCESSIBILITY": "1"}
            elif scheme == "forced":
                print(f"skip  forced colours: {engine} cannot show them in a window of its own", flush=True)
                continue
            elif engine == "chromium":
                command = ["chromium", "--kiosk", "--no-first-run", "--no-sandbox", "--disable-gpu",
                           "--disable-background-networking", f"--user-data-dir={profile}",
                           "--force-renderer-accessibility=complete", f"--force-device-scale-factor={scale}",
                           *(["--force-dark-mode"] if scheme == "dark" else []), page]
                env = {"ACCESSIBILITY_ENABLED": "1"}
            else:
                command = ["/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", "--full-screen",
                           *(["--dark-mode"] if scheme == "dark" else []), page]
                env = {"GDK_SCALE": str(scale)}
            self.desktop(CLIENT[0] * scale, CLIENT[1] * scale)
            self.scenario(command, scale, env=env, dark=scheme == "dark",
                          colours=[FORCED_PAPER, FORCED_INK] if scheme == "forced" else [])

    def test_chromium(self):
        self.browse("chromium")

    def test_firefox(self):
        self.browse("firefox")

    def test_webkit(self):
        self.browse("webkit")

    # A move to a monitor of twice the density lays the window out anew and shows the picture
    # crisp there.
    def change_dpi(self):
        self.call("wine", self.probe, "dpi", TITLE, "192")
        self.scale = 2
        self.assertShows(STEPS[-1][1])
        self.assertReads(STEPS[-1][2], STEPS[-1][1], heard=False)

    # The window's own background, right of the picture, in the scheme's colour for it.
    def assertBackground(self):
        shot = self.assertShows(STEPS[-1][1], FORCED_PAPER, FORCED_INK)[0]
        at = 3 * (250 * self.scale * CLIENT[0] * self.scale + (CLIENT[0] - 20) * self.scale)
        self.assertEqual(shot[at:at + 3], FORCED_FACE, "the window's background")

    def test_win32(self):
        self.desktop(2400, 1300)
        self.probe = MORE[0]
        self.addCleanup(self.call, "wineserver", "-k", check=False)
        self.call("wineboot", "-i")
        self.scenario([PROGRAM], more=self.change_dpi)
        # Then started at twice the density in a colour scheme of the user's own: the picture, the
        # explorer's cursor and the window's background follow the scheme.
        for name, rgb in (("Window", FORCED_PAPER), ("WindowText", FORCED_INK), ("Hilight", FORCED_HIGHLIGHT),
                          ("ButtonFace", FORCED_FACE)):
            self.call("wine", "reg", "add", r"HKCU\Control Panel\Colors", "/v", name, "/d", " ".join(map(str, rgb)), "/f")
        self.scenario([PROGRAM], 2, more=self.assertBackground, colours=[FORCED_PAPER, FORCED_INK])
        # 17 device pixels per pixel is more than the picture can be shown at: one box, then status 1.
        self.start([PROGRAM], 17, title="Quorrin")
        self.assertIn(b"Quorrin must end: a screen density of 17 cannot be shown.",
                      self.call("wine", self.probe, "window", "Quorrin"))
        # Return until the box takes it: on a busy machine its button may take the focus late.
        wait_for("the program to end", lambda: self.keys("Return", check=False) or self.process.poll() is not None)
        self.assertEqual(self.process.returncode, 1)

    # Each installer on Windows 10, silent: installed, registered, started from its shortcut and
    # uninstalled without a trace.
    def test_installer(self):
        self.desktop(2400, 1300)
        self.addCleanup(self.call, "wineserver", "-k", check=False)
        self.call("sh", "-c", "wineboot -i && winecfg -v win10 && wineserver -w")
        drive = f"{self.env['WINEPREFIX']}/drive_c"
        files = lambda: {os.path.relpath(os.path.join(top, name), drive)
                         for top, folders, names in os.walk(drive) for name in folders + names}
        # The entries in Add/Remove programs that are ours, each a block of "name    type    value" lines.
        entries = lambda: [block for block in self.call("wine", "reg", "query", UNINSTALL, "/s").decode().replace(
            "\r", "").split("\n\n") if "\n    DisplayName    REG_SZ    Quorrin\n" in block + "\n"]
        # Wine makes a desktop entry and an icon for each shortcut; they stay in the test's folder.
        self.env.update(XDG_DATA_HOME=f"{self.scratch}/data", XDG_CONFIG_HOME=f"{self.scratch}/config")
        self.call("cpack", "--config", f"{MORE[1]}/CPackConfig.cmake", "-B", self.scratch)
        version, display_version = MORE[2:4]
        exe, msi = (f"{self.scratch}/quorrin-{version}-win64.{kind}" for kind in ("exe", "msi"))
        os.mkdir(f"{drive}/windows/Installer")  # Windows Installer's own folder, which every Windows has
        before = files()
        # The NSIS installer and the uninstaller it writes carry the version record, as the program does.
        # Wine's msi puts a package's shortcuts in the user's Start menu even when it is per machine.
        nsis = [exe, "/S"], [INSTALLED + r"\Uninstall.exe", "/S"], ["Uninstall.exe"], \
            [exe, f"{drive}/Program Files/Quorrin/Uninstall.exe"], "ProgramData"
        windows_installer = ["msiexec", "/i", msi, "/qn"], \
            ["msiexec", "/x", msi, "/qn"], [], [], f"users/{getpass.getuser()}/AppData/Roaming"
        for install, uninstall, more_files, versioned, menu in (nsis, windows_installer):
            self.call("wine", *install)
            self.call("wineserver", "-w")
            new = files() - before
            self.assertEqual({path for path in new if path.startswith("Program Files/")},
                             {"Program Files/Quorrin"} | {f"Program Files/Quorrin/{name}"
                                                          for name in ["quorrin.exe", *more_files]})
            with open(f"{drive}/Program Files/Quorrin/quorrin.exe", "rb") as installed, open(PROGRAM, "rb") as built:
                self.assertTrue(installed.read() == built.read(), "quorrin.exe is not the one built")
            shortcut = f"{menu}/Microsoft/Windows/Start Menu/Programs/Quorrin.lnk"
            self.assertIn(shortcut, new)
            [entry] = entries()
            for wanted in (f"DisplayVersion    REG_SZ    {version}", rf"InstallLocation    REG_SZ    {INSTALLED}",
                           "NoModify    REG_DWORD    0x1", "NoRepair    REG_DWORD    0x1",
                           "EstimatedSize    REG_DWORD    0x"):
                self.assertIn(wanted, entry)
            for path in versioned:
                self.assertTrue(self.call("/usr/bin/python3", f"{HERE}/../win32/exe.py", path).startswith(
                    f"{version} {version} Quorrin {display_version} {display_version} ".encode()), path)
            # As a user starts it: from the Start menu. `start` hands the shortcut to the shell, which
            # starts the program and ends at once (even with /wait, and with status 0); the program,
            # orphaned so, becomes this test's child, and the pid its window gives tells its exit status.
            ctypes.CDLL(None).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
            self.start(["start", "C:\\" + shortcut.replace("/", "\\")], by_pid=False)
            pid = int(self.call("xdotool", "getwindowpid", self.window))
            self.keys("alt+F4")
            ended = wait_for("the program to end", lambda: os.waitid(os.P_PID, pid, os.WEXITED | os.WNOHANG))
            self.assertEqual((ended.si_code, ended.si_status), (os.CLD_EXITED, 0))
            self.call("wine", *uninstall)
            # The uninstaller runs from a copy in Temp, which the next start of Windows deletes; only
            # the empty folder it was in stays.
            self.call("sh", "-c", "wineserver -w && wineboot -r && wineserver -w")
            left = [path for path in files() - before
                    if not (os.path.basename(path).startswith("~nsu") and not os.listdir(os.path.join(drive, path)))]
            self.assertEqual(left, [], "left behind")
            self.assertEqual(entries(), [], "still registered")
            self.assertNotIn(b"Quorrin", self.call("wine", "reg", "query", r"HKLM\Software"), "a key left behind")


if __name__ == "__main__":
    CASE, PROGRAM, *MORE = sys.argv[1:sys.argv.index("--")]
    WINE = ["wine"] if PROGRAM.endswith(".exe") else []
    unittest.main(argv=sys.argv[:1] + ["Scenario.test_" + CASE], verbosity=2)
