#!/usr/bin/env python3
# The real program on an X server and window manager of the test's own: keys and clicks go in
# through xdotool, the window comes back through import, and its drawing area must show, pixel for
# pixel and inside an unbroken frame, the core's picture for the same clicks. Openbox frames,
# focuses, minimises, restores and closes the window as on a user's desktop.
#   end_to_end.py Qt PROGRAM PICTURE_OF_CLICKS [MEMCHECK_SUPPRESSIONS]    (none or empty: no memcheck run)
#   end_to_end.py Win32 QUORRIN_EXE PICTURE_OF_CLICKS PROBE_EXE
#   end_to_end.py Installer QUORRIN_EXE PICTURE_OF_CLICKS BUILD_DIR PROBE_EXE VERSION DISPLAY_VERSION
import ctypes, functools, getpass, os, queue, shutil, signal, subprocess, sys, tempfile, threading, time, unittest

# What the user does, the clicks that give the core the same picture, then the focused control,
# which is also the one default button when it is a button, and the three captions (Windows tells
# them through probe.exe). Enter presses the focused button, and none on the picture; the focus
# comes back where it was after a minimise.
STEPS = [([], "", "Picture1", "New random|Show streams|New random with taps"),
         (["Return", "Tab", "space"], "1", "Command1", "random 48x48|Show streams|New random with taps"),
         (["Tab", "Return"], "12", "Command2", "random 48x48|Show drainage|New random with taps"),
         (["minimise", "space"], "122", "Command2", "random 48x48|Show streams|New random with taps"),
         (["click", "3"], "1223", "Command3", "random 48x48|Show streams|random with taps 24x24"),
         (["click", "2"], "12232", "Command2", "random 48x48|Show drainage|random with taps 24x24"),
         (["Return"], "122322", "Command2", "random 48x48|Show streams|random with taps 24x24")]
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
INSTALLED = r"C:\Program Files\Quorrin"
PR_SET_CHILD_SUBREAPER = 36  # prctl: orphaned descendants become this process's children
OBJID_CLIENT = -4  # the object a window's name-change event is about: its client area
WAIT = 30  # seconds; a passing run never comes near, valgrind included
CASE, PROGRAM, PICTURE_OF_CLICKS, *MORE = sys.argv[1:]
WINE = ["wine"] if PROGRAM.endswith(".exe") else []
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SCREEN_READER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "screen_reader.py")


def wait_for(what, check):
    for _ in range(5 * WAIT):
        if result := check():
            return result
        time.sleep(0.2)
    raise AssertionError("gave up waiting for " + what)


class Desktop(unittest.TestCase):
    # An X server (-noreset: a program started as its last client leaves must find it), a window
    # manager and a Wine prefix, all of the test's own.
    def setUp(self):
        self.scratch = self.enterContext(tempfile.TemporaryDirectory())
        self.env = dict(os.environ, WINEPREFIX=f"{self.scratch}/prefix", WINEDEBUG="-all", XDG_RUNTIME_DIR=self.scratch,
                        XDG_CACHE_HOME=self.scratch)
        self.env.pop("QT_QPA_PLATFORM", None)
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp", "-screen", "0",
                                   "2400x1300x24"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        self.env["DISPLAY"] = ":" + self.enterContext(os.fdopen(read)).readline().strip()
        for process in (server, subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)):
            self.addCleanup(process.kill)
        wait_for("openbox", lambda: self.call("wmctrl", "-m", check=False))
        if WINE:
            self.addCleanup(self.call, "wineserver", "-k", check=False)
            self.call("wineboot", "-i")
        else:
            # A session bus with the accessibility bus beside it, as on a desktop, for screen readers.
            address, pid = self.call("dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1").split()
            self.addCleanup(os.kill, int(pid), signal.SIGTERM)
            self.env["DBUS_SESSION_BUS_ADDRESS"] = address.decode()
            bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=self.env,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
            self.addCleanup(os.killpg, bus.pid, signal.SIGTERM)
        # The window as the core's table has it: its title and client area, and each control's tab
        # index, box at 96 dpi and text, by name. On Windows a control's id is 101 and its tab index on.
        self.title, sizes, *controls = self.call(*WINE, PICTURE_OF_CLICKS, "layout").decode().replace(
            "\r", "").splitlines()
        self.client = [int(size) for size in sizes.split()[:2]]
        self.controls = {name: (*map(int, numbers), text) for name, _, *numbers, text in
                         (line.split(" ", 7) for line in controls)}
        self.tip_font = None  # the height of the tooltip's font at 96 dpi, as Windows first tells it

    def call(self, *command, check=True, **options):
        return subprocess.run(command, env=self.env, check=check, capture_output=True, timeout=2 * WAIT,
                              **options).stdout

    # The program at that scale; `wine` keeps its pid as the Windows process, and so does valgrind.
    # Started through a shortcut, the program is a child of `wine start`: only its title tells it.
    def start(self, command, scale=1, title=None, by_pid=True):
        title = title or self.title
        if WINE:
            self.call("sh", "-c", rf"wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD "
                      f"/d {96 * scale} /f && wineserver -w")
        self.scale, self.process = scale, subprocess.Popen(WINE + command, env=self.env)
        pid = ["--pid", str(self.process.pid)] if by_pid else []
        self.window = wait_for(title, lambda: self.call("xdotool", "search", "--onlyvisible", *pid, "--name",
                                                        f"^{title}$", check=False).strip())

    # The window manager hands the keyboard to a window a moment after it has activated it; until
    # then keys go elsewhere. Unchecked, the keys are sent once, whatever happens.
    def keys(self, *keys, check=True):
        if check:
            self.call("xdotool", "windowactivate", "--sync", self.window)
            wait_for("the keyboard", lambda: self.call("xdotool", "getwindowfocus").strip() == self.window)
        return self.call("xdotool", "windowactivate", "--sync", self.window, "key", "--delay", "100", *keys, check=check)

    # A click on the button, then the pointer rests off every button so that none is drawn hovered.
    def click(self, button):
        x, y, width, height, _, _ = self.controls["Command" + button]
        x, y = self.scale * (x + width // 2), self.scale * (y + height // 2)
        self.call("xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1",
                  "mousemove", "--window", self.window, str(510 * self.scale), str(10 * self.scale))

    # The drawing area (at 26, 26 inside a frame of 2, all scaled) shows the core's picture in
    # ink on paper, no pixel of the frame's inner ring is paper, and so it still is a moment later.
    # Returns the window's pixels: grey levels, or red, green and blue for colours given so.
    def assertShows(self, clicks, paper=b"\xff", ink=b"\0"):
        s, what = self.scale, f"the core's picture of clicks '{clicks}' at scale {self.scale}, framed"
        core = self.call(*WINE, PICTURE_OF_CLICKS, str(s), clicks).split()
        width, height, n = int(core[1]), int(core[2]), len(paper)
        expected = b"".join((paper, ink)[digit - ord("0")] for digit in b"".join(core[3:]))
        row = self.client[0] * s

        def shows():
            shot = self.call("import", "-window", self.window, "-depth", "8", "gray:-" if n == 1 else "rgb:-")
            if len(shot) != row * self.client[1] * s * n:
                return None
            at = lambda x, y: ((26 * s + y) * row + 26 * s + x) * n
            ring = [shot[at(x, y):at(x, y) + n] for x in range(-1, width + 1) for y in (-1, height)] + \
                   [shot[at(x, y):at(x, y) + n] for x in (-1, width) for y in range(height)]
            area = b"".join(shot[at(0, y):at(width, y)] for y in range(height))
            return area == expected and paper not in ring and shot

        wait_for(what, shows)
        time.sleep(0.5)
        self.assertTrue(shot := shows(), what + ", and a moment later")
        return shot

    # The core's words for the picture of those clicks: its name, a full stop and its text.
    @functools.cache
    def words(self, clicks):
        return self.call(*WINE, PICTURE_OF_CLICKS, "words", clicks).decode().strip()

    # Windows tells its client area, the focused control, the default buttons and each control's
    # place, size and text; the picture's text is its name and description. The window's one
    # tooltip has the picture as its one tool, with the same words, wrapped at the picture's width
    # in a font that scales with the window.
    def assertLaidOut(self, focus, captions, clicks):
        texts = dict(zip(["Command1", "Command2", "Command3"], captions.split("|")), Picture1=self.words(clicks))
        number = lambda name: 101 + self.controls[name][4]
        default = f" {number(focus)}" if focus != "Picture1" else ""
        width, height = (self.scale * size for size in self.client)
        probed = self.call("wine", self.probe, "window", self.title).decode().splitlines()
        if self.tip_font is None and self.scale == 1 and probed[-1].startswith("tip "):
            self.tip_font = int(probed[-1].split()[3])
        self.assertEqual(probed,
                         [f"client {width} {height} focus {number(focus)} default{default}"] +
                         [" ".join(map(str, [number(name), *(self.scale * value for value in box), texts.get(name, text)]))
                          for name, (*box, tab, text) in sorted(self.controls.items(), key=lambda item: item[1][4])] +
                         [f"tip {number('Picture1')} {self.scale * self.controls['Picture1'][2]} "
                          f"{self.scale * (self.tip_font or 0)} {texts['Picture1']}"])

    # A screen reader listening from the program's start, as a line for each change it hears
    # announced: the screen reader's own on Linux, probe.exe's on Windows (the control's id, the
    # object's, the child's and the name read then). Both say "ready" once they hear. It stops
    # with the program.
    def listen(self, command):
        listener = subprocess.Popen(command, env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.addCleanup(listener.kill)
        self.stop_listening = lambda: listener.kill() or listener.wait()
        self.heard = queue.Queue()
        threading.Thread(target=lambda: [self.heard.put(line.replace("\r", "").rstrip("\n"))
                                         for line in listener.stdout], daemon=True).start()
        self.assertEqual(self.heard.get(timeout=WAIT), "ready")

    # What was heard since the last call, up to each of the announcements wanted.
    def assertHeard(self, *wanted):
        wanted = list(wanted)
        while wanted:
            try:
                line = self.heard.get(timeout=WAIT)
            except queue.Empty:
                raise AssertionError(f"a screen reader never heard {wanted}") from None
            wanted = [announcement for announcement in wanted if announcement != line]

    # A screen reader finds a frame named by the title, then, in the order on the screen, the
    # picture as an image named and described in the core's words, the label and the buttons. It
    # has heard the picture's new name, and its new description where that changed.
    def assertReads(self, captions, clicks):
        name, text = self.words(clicks).split(". ", 1)
        if clicks:
            self.assertHeard(f"name|{name}", *([f"description|{text}"] if text != self.text else []))
        self.text = text
        want = [f"frame|{self.title}|", f"image|{name}|{text}", f"label|{self.controls['Label1'][5]}|"] + \
               [f"push button|{caption}|" for caption in captions.split("|")]
        read = lambda: self.call("/usr/bin/python3", SCREEN_READER, "Quorrin").decode().splitlines()
        wait_for(f"a screen reader to read {want}", lambda: read() == want)

    # The steps (the picture is kept over a minimise and restore, after which the user goes on),
    # what else the platform can do (`more`), and Alt+F4 as a user closes it (the window manager
    # asks the window to close), ending the program with status 0.
    def scenario(self, command, scale, probe=None, more=lambda: None):
        self.start(command, scale)
        self.probe, shots, self.stop_listening = probe, [], lambda: None
        reading = "QT_LINUX_ACCESSIBILITY_ALWAYS_ON" in self.env
        if probe:
            self.listen(["wine", probe, "listen", self.title])
        elif reading:
            self.listen(["/usr/bin/python3", SCREEN_READER, "Quorrin", "listen"])
            self.text = ""
        for keys, clicks, focus, captions in STEPS:
            if keys[:1] == ["click"]:
                self.click(keys[1])
            elif keys[:1] == ["minimise"]:
                self.call("xdotool", "windowminimize", "--sync", self.window, "windowactivate", "--sync", self.window,
                          check=False)
                self.assertShows(clicks[:-1])
                self.keys(*keys[1:])
            elif keys:
                self.keys(*keys)
            shots.append(self.assertShows(clicks))
            if probe:
                if clicks:
                    self.assertHeard(f"{101 + self.controls['Picture1'][4]} {OBJID_CLIENT} 0 {self.words(clicks)}")
                self.assertLaidOut(focus, captions, clicks)
            if reading:
                self.assertReads(captions, clicks)
        more()
        self.keys("alt+F4")
        self.assertEqual(self.process.wait(2 * WAIT), 0, "the exit status (and memcheck's report above, if any)")
        self.stop_listening()
        return shots

    # Twice, the second time under memcheck where the build allows it (leaks beyond those the
    # suppressions explain fail it); the two runs' windows are alike from the first input on (focus
    # may show later under memcheck).
    def test_qt(self):
        memcheck = ["valgrind", "--leak-check=full", "--errors-for-leak-kinds=definite", "--error-exitcode=9",
                    "--child-silent-after-fork=yes", f"--suppressions={MORE[0]}"] if any(MORE) else []
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"  # the first run only: memcheck's is slow enough
        runs = [self.scenario([PROGRAM], 1)]
        del self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"]
        runs.append(self.scenario(memcheck + [PROGRAM], 1))
        self.assertTrue(runs[0][1:] == runs[1][1:], "the two runs' windows differ")

    # A move to a monitor of twice the density lays the window out anew and shows the picture
    # crisp there.
    def change_dpi(self):
        self.call("wine", self.probe, "dpi", self.title, "192")
        self.scale = 2
        self.assertShows(STEPS[-1][1])
        self.assertLaidOut(STEPS[-1][2], STEPS[-1][3], STEPS[-1][1])

    # Colours changed while the program runs, none of them grey (so that no two channels can
    # swap unseen): the picture and the window's own background follow.
    def change_colours(self):
        colours = {"COLOR_WINDOW": (5, b"\xf0\xe0\x90"), "COLOR_WINDOWTEXT": (8, b"\x20\x10\x80"),
                   "COLOR_BTNFACE": (15, b"\xa0\xc0\x40")}
        for number, rgb in colours.values():
            self.call("wine", self.probe, "colour", self.title, str(number), rgb.hex())
        shot = self.assertShows(STEPS[-1][1], paper=colours["COLOR_WINDOW"][1], ink=colours["COLOR_WINDOWTEXT"][1])
        # A point of the window's own, right of the picture.
        at = 3 * (250 * self.scale * self.client[0] * self.scale + (self.client[0] - 20) * self.scale)
        self.assertEqual(shot[at:at + 3], colours["COLOR_BTNFACE"][1], "the window's background")

    def test_win32(self):
        self.scenario([PROGRAM], 1, probe=MORE[0], more=self.change_dpi)
        self.scenario([PROGRAM], 2, probe=MORE[0], more=self.change_colours)
        # 17 device pixels per pixel is more than the picture can be shown at: one box, then status 1.
        self.start([PROGRAM], 17, title="Quorrin")
        self.assertIn(b"Quorrin must end: a screen density of 17 cannot be shown.",
                      self.call("wine", MORE[0], "window", "Quorrin"))
        # Return until the box takes it: on a busy machine its button may take the focus late.
        wait_for("the program to end", lambda: self.keys("Return", check=False) or self.process.poll() is not None)
        self.assertEqual(self.process.returncode, 1)

    # Each installer on Windows 10: refused before version 1607 (a silent install just fails), then
    # installed silently (the MSI over an older version of itself), registered, started from its
    # shortcut and uninstalled without a trace.
    def test_installer(self):
        drive = f"{self.env['WINEPREFIX']}/drive_c"
        files = lambda: {os.path.relpath(os.path.join(top, name), drive)
                         for top, folders, names in os.walk(drive) for name in folders + names}
        # The entries in Add/Remove programs that are ours, each a block of "name    type    value" lines.
        entries = lambda: [block for block in self.call("wine", "reg", "query", UNINSTALL, "/s").decode().replace(
            "\r", "").split("\n\n") if "\n    DisplayName    REG_SZ    Quorrin\n" in block + "\n"]
        # Wine makes a desktop entry and an icon for each shortcut; they stay in the test's folder.
        self.env.update(XDG_DATA_HOME=f"{self.scratch}/data", XDG_CONFIG_HOME=f"{self.scratch}/config")
        self.call("cpack", "--config", f"{MORE[0]}/CPackConfig.cmake", "-B", self.scratch)
        version, display_version = MORE[2:4]
        exe, msi = (f"{self.scratch}/quorrin-{version}-win64.{kind}" for kind in ("exe", "msi"))
        # The older MSI: version 0.9.0.0, with another program inside.
        old = f"{self.scratch}/old"
        os.mkdir(old)
        shutil.copy(MORE[1], f"{old}/quorrin.exe")
        self.call("wixl", "--arch", "x64", "-D", "Version=0.9.0.0", "-D", "DisplayVersion=0.90", "-D",
                  "IconFile=" + os.path.relpath(f"{SOURCE}/packaging/quorrin.ico", old), "-o", f"{old}/old.msi",
                  f"{SOURCE}/packaging/windows/quorrin.wxs", cwd=old)
        before = files()
        self.call("winecfg", "-v", "win81")
        for install in ([exe, "/S"], ["msiexec", "/i", msi, "/qn"]):
            self.assertRaises(subprocess.CalledProcessError, self.call, "wine", *install)
        self.call("sh", "-c", "wineserver -w && winecfg -v win10")
        self.assertEqual(([path for path in files() - before if "Quorrin" in path], entries()), ([], []),
                         "installed on Windows 8.1")
        before = files()
        # The NSIS installer and the uninstaller it writes carry the version record, as the program does.
        # Wine's msi puts a package's shortcuts in the user's Start menu even when it is per machine.
        nsis = [[exe, "/S"]], [INSTALLED + r"\Uninstall.exe", "/S"], ["Uninstall.exe"], \
            ["Z:" + exe, INSTALLED + r"\Uninstall.exe"], "ProgramData"
        windows_installer = [["msiexec", "/i", f"{old}/old.msi", "/qn"], ["msiexec", "/i", msi, "/qn"]], \
            ["msiexec", "/x", msi, "/qn"], [], [], f"users/{getpass.getuser()}/AppData/Roaming"
        for installs, uninstall, more_files, versioned, menu in (nsis, windows_installer):
            for install in installs:
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
                self.assertTrue(self.call("wine", MORE[1], "file", path).startswith(
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

unittest.main(argv=sys.argv[:1] + ["Desktop.test_" + CASE.lower()], verbosity=2)
