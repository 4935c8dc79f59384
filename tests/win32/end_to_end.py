#!/usr/bin/env python3
"""The real quorrin.exe under Wine, on an X server of its own with a window manager, at 96 and at
192 dpi, and at one too high to show the picture: keys go in through xdotool, the window's pixels come back through import, and what only
Windows knows (client area, focus, captions) through window_report.exe. And its installer: a silent
install, the installed program's window, a silent uninstall that leaves nothing behind.

usage: end_to_end.py QUORRIN_EXE PICTURE_OF_CLICKS_EXE WINDOW_REPORT_EXE EndToEnd
       end_to_end.py QUORRIN_EXE PICTURE_OF_CLICKS_EXE WINDOW_REPORT_EXE Installer BUILD_DIR
"""
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

TITLE = "Random discharge directions causing river systems Arvelt"
COMMAND1, COMMAND2, COMMAND3, PICTURE1, LABEL1 = 101, 102, 103, 104, 105
INITIAL = {COMMAND1: "New random", COMMAND2: "Show streams", COMMAND3: "New random with taps",
           PICTURE1: "Picture1", LABEL1: "Save on clipboard by Alt+PrtSc"}
PAPER, INK = b"\xff\xff\xff", b"\x00\x00\x00"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrin"
WAIT = 30  # seconds; a passing run never comes near

QUORRIN, PICTURE_OF_CLICKS, WINDOW_REPORT, CASE, *BUILD = sys.argv[1:]


def wait_for(what, check):
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        result = check()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError("gave up waiting for " + what)


class Image:
    """RGB pixels of a screenshot or of the core's picture."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def crop(self, left, top, width, height):
        rows = (self.rgb[(y * self.width + left) * 3:(y * self.width + left + width) * 3]
                for y in range(top, top + height))
        return Image(width, height, b"".join(rows))

    @staticmethod
    def from_ppm(data):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)  # one whitespace, then pixels
        assert header, data[:20]
        return Image(int(header[1]), int(header[2]), data[header.end():])

    @staticmethod
    def from_pbm(text):
        rows = text.split()  # P1 width height, then one line of 0 and 1 per row
        assert rows[0] == "P1", rows[:3]
        return Image(int(rows[1]), int(rows[2]), b"".join(INK if bit == "1" else PAPER
                                                         for row in rows[3:] for bit in row))


class Wine:
    """An X server, a window manager and a Wine prefix of the test's own."""

    def __init__(self, scratch):
        self.env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), WINEDEBUG="-all")
        self.env.pop("WAYLAND_DISPLAY", None)
        # -noreset: the server must not reset when its last client leaves, or the next program
        # started finds it resetting. -displayfd names a free display once it takes clients.
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp",
                                        "-screen", "0", "2400x1300x24"], pass_fds=[write],
                                       stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as names:
            self.env["DISPLAY"] = ":" + names.readline().strip()
        self.manager = subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)
        self.run("wineboot", "-i")
        self.run("wineserver", "-w")

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env)
        for process in (self.manager, self.server):
            process.terminate()
            process.wait()

    def run(self, *command):
        return subprocess.run(command, env=self.env, check=True, capture_output=True, text=True,
                              timeout=WAIT * 2).stdout

    def set_dpi(self, dpi):
        self.run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                 "/d", str(dpi), "/f")
        self.run("wineserver", "-w")

    def core_picture(self, scale, clicks):
        return Image.from_pbm(self.run("wine", PICTURE_OF_CLICKS, "--scale", str(scale), clicks))


class Program:
    """quorrin.exe running in its window; `wine` keeps its process id as the Windows process."""

    def __init__(self, wine, scale, exe=None):
        self.wine, self.scale = wine, scale
        self.process = subprocess.Popen(["wine", exe or QUORRIN], env=wine.env)
        self.window = wait_for("the window", lambda: self.xdotool(
            "search", "--onlyvisible", "--pid", str(self.process.pid), "--name", TITLE, check=False).strip())

    def xdotool(self, *arguments, check=True):
        return subprocess.run(["xdotool", *arguments], env=self.wine.env, capture_output=True, text=True,
                              check=check).stdout

    def keys(self, *keys):
        self.xdotool("windowactivate", "--sync", self.window)
        self.xdotool("key", "--delay", "100", *keys)

    def report(self, title=TITLE):
        lines = self.wine.run("wine", WINDOW_REPORT, title).splitlines()
        client = tuple(int(n) for n in lines[0].split()[1:])
        focus = int(lines[1].split()[1])
        controls = [line.rstrip("\r").split(" ", 1) for line in lines[2:]]
        return client, focus, [int(id) for id, _ in controls], {int(id): text for id, text in controls}

    def shot(self):
        return Image.from_ppm(subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"],
                                             env=self.wine.env, capture_output=True, check=True,
                                             timeout=WAIT).stdout)

    def end(self):
        """What a failed test leaves running, so that the next one finds the prefix idle."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            self.wine.run("wineserver", "-k")

    def area(self):
        """The picture's drawing area: the control at 24, 24 inside its frame of 2, both scaled."""
        return self.shot().crop(26 * self.scale, 26 * self.scale, 455 * self.scale, 439 * self.scale)

    def close(self):
        """As a user does: Alt+F4, which the window manager turns into a close request."""
        self.keys("alt+F4")
        return self.process.wait(WAIT)


class EndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        cls.wine = Wine(cls.scratch.name)

    @classmethod
    def tearDownClass(cls):
        cls.wine.close()
        cls.scratch.cleanup()

    def assertShows(self, program, expected, what):
        """The drawing area shows the expected pixels once the program has caught up, and still
        does a moment later."""
        deadline = time.monotonic() + WAIT
        shown = program.area()
        while shown.rgb != expected.rgb and time.monotonic() < deadline:
            time.sleep(0.2)
            shown = program.area()
        time.sleep(0.5)
        shown = program.area()
        differ = sum(shown.rgb[i:i + 3] != expected.rgb[i:i + 3] for i in range(0, len(expected.rgb), 3))
        self.assertEqual((shown.width, shown.height, differ), (expected.width, expected.height, 0), what)
        return expected

    def check_scenario(self, dpi):
        scale = dpi // 96
        self.wine.set_dpi(dpi)
        program = Program(self.wine, scale)
        self.addCleanup(program.end)
        expect = lambda clicks: self.wine.core_picture(scale, clicks)

        self.assertEqual(program.report(), ((525 * scale, 550 * scale), PICTURE1,
                                            [PICTURE1, COMMAND1, COMMAND2, COMMAND3, LABEL1], INITIAL))
        self.assertIn(f"Geometry: {525 * scale}x{550 * scale}", program.xdotool("getwindowgeometry", program.window))
        self.assertShows(program, Image(455 * scale, 439 * scale, PAPER * (455 * 439 * scale * scale)), "blank")

        program.keys("Tab")
        self.assertEqual(program.report()[1], COMMAND1)
        program.keys("space")
        drainage = self.assertShows(program, expect("1"), "the coarse field, as the core draws it")
        self.assertEqual(program.report()[2:], ([PICTURE1, COMMAND1, COMMAND2, COMMAND3, LABEL1],
                                                {**INITIAL, COMMAND1: "random 48x48"}))

        program.keys("Tab", "space")
        self.assertShows(program, expect("12"), "its streams")
        self.assertEqual(program.report()[3][COMMAND2], "Show drainage")
        # Were Enter a click, the space after it would show the streams again.
        program.keys("Return", "space")
        self.assertShows(program, drainage, "the same drainage again")
        self.assertEqual(program.report()[3][COMMAND2], "Show streams")

        program.xdotool("windowminimize", "--sync", program.window)
        program.xdotool("windowactivate", "--sync", program.window, check=False)
        self.assertShows(program, drainage, "kept through minimise and restore")

        self.assertEqual(program.close(), 0)

    def test_at_96_dpi(self):
        self.check_scenario(96)

    def test_at_192_dpi(self):
        self.check_scenario(192)

    def test_fatal_error_is_reported_once_and_ends_the_program(self):
        # 17 device pixels per pixel is more than the picture can be shown at.
        self.wine.set_dpi(17 * 96)
        program = Program(self.wine, 17)
        self.addCleanup(program.end)
        box = wait_for("the report", lambda: program.xdotool(
            "search", "--onlyvisible", "--pid", str(program.process.pid), "--name", "^Quorrin$", check=False).strip())
        self.assertIn("Quorrin must end: a screen density of 17.000000 cannot be shown.",
                      program.report("Quorrin")[3].values())
        program.xdotool("windowactivate", "--sync", box)
        program.xdotool("key", "Return")
        self.assertEqual(program.process.wait(WAIT), 1)


class Installer(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.scratch = scratch.name
        self.wine = Wine(self.scratch)
        self.addCleanup(self.wine.close)
        self.drive = os.path.join(self.wine.env["WINEPREFIX"], "drive_c")

    def files(self):
        return {os.path.relpath(os.path.join(folder, name), self.drive)
                for folder, folders, names in os.walk(self.drive) for name in names + folders}

    def uninstall_key(self):
        return subprocess.run(["wine", "reg", "query", UNINSTALL_KEY], env=self.wine.env, capture_output=True,
                              text=True)

    def test_installs_runs_and_uninstalls_silently(self):
        subprocess.run(["cpack", "--config", os.path.join(BUILD[0], "CPackConfig.cmake"), "-B", self.scratch],
                       check=True, capture_output=True)
        before = self.files()
        self.wine.run("wine", os.path.join(self.scratch, "quorrin-1.0.0.0-win64.exe"), "/S")
        self.wine.run("wineserver", "-w")

        installed = self.files() - before
        for wanted in (r"Program Files/Quorrin/quorrin.exe", r"Program Files/Quorrin/Uninstall.exe",
                       r"ProgramData/Microsoft/Windows/Start Menu/Programs/Quorrin/Quorrin.lnk"):
            self.assertIn(wanted, installed)
        registered = self.uninstall_key().stdout
        for wanted in ("DisplayName    REG_SZ    Quorrin", "DisplayVersion    REG_SZ    1.0.0.0",
                       r"DisplayIcon    REG_SZ    C:\Program Files\Quorrin\quorrin.exe"):
            self.assertIn(wanted, registered)

        program = Program(self.wine, 1, r"C:\Program Files\Quorrin\quorrin.exe")
        self.addCleanup(program.end)
        self.assertEqual(program.report()[0], (525, 550))
        self.assertEqual(program.close(), 0)

        self.wine.run("wine", r"C:\Program Files\Quorrin\Uninstall.exe", "/S")
        self.wine.run("wineserver", "-w")
        # The uninstaller ran from a copy in Temp, which the next start of Windows deletes; only
        # the empty folder it was in stays in Temp.
        self.wine.run("wineboot", "-r")
        self.wine.run("wineserver", "-w")
        left = [path for path in self.files() - before if not (
            re.match(r"users/[^/]+/Temp/~nsu[^/]*$", path) and not os.listdir(os.path.join(self.drive, path)))]
        self.assertEqual(left, [], "left behind")
        self.assertNotEqual(self.uninstall_key().returncode, 0, "the uninstaller is still registered")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + [CASE], verbosity=2)
