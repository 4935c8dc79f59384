#!/usr/bin/env python3
"""The real quorrin.exe under Wine, on an X server and window manager of the test's own. At 96 and
192 dpi keys go in through xdotool, the picture comes back through import and must equal the core's
picture for the same clicks, and what only Windows knows comes from probe.exe; at a density too high
to show, the fatal error. And the installer: silent install, the installed program's window, silent
uninstall that leaves nothing behind.
usage: end_to_end.py QUORRIN_EXE PICTURE_OF_CLICKS_EXE PROBE_EXE BUILD_DIR Win32.test_...
"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

TITLE = "Random discharge directions causing river systems Arvelt"
# What the user does, the clicks that give the core the same picture, then the focused control and
# the captions of Command1 and Command2. Were Enter a click, the space after it would toggle back.
STEPS = [([], "", 104, "New random", "Show streams"),
         (["Tab", "space"], "1", 101, "random 48x48", "Show streams"),
         (["Tab", "space"], "12", 102, "random 48x48", "Show drainage"),
         (["Return", "space"], "122", 102, "random 48x48", "Show streams")]
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrin"
INSTALLED = r"C:\Program Files\Quorrin"
WAIT = 30  # seconds; a passing run never comes near
QUORRIN, PICTURE_OF_CLICKS, PROBE, BUILD, CASE = sys.argv[1:]


def wait_for(what, check):
    deadline = time.monotonic() + WAIT
    while not (result := check()):
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.2)
    return result


class Wine:
    """An X server (-noreset: a program started as the last client leaves must find it), a window
    manager and a Wine prefix."""

    def __init__(self, scratch):
        self.env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), WINEDEBUG="-all")
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp",
                                        "-screen", "0", "2400x1300x24"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as names:
            self.env["DISPLAY"] = ":" + names.readline().strip()
        self.manager = subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)
        self.run("wineboot", "-i")

    def close(self):
        self.run("wineserver", "-k", check=False)
        for process in (self.manager, self.server):
            process.terminate()
            process.wait()

    def run(self, *command, check=True, **options):
        return subprocess.run(command, env=self.env, check=check, capture_output=True, timeout=WAIT * 2,
                              **options).stdout

    def start(self, exe, dpi=96, title=TITLE):
        """exe at that dpi, once all before it has ended; `wine` keeps its pid as the Windows process."""
        self.run("wineserver", "-k", check=False)
        self.run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                 "/d", str(dpi), "/f")
        self.run("wineserver", "-w")
        self.process = subprocess.Popen(["wine", exe], env=self.env)
        self.window = wait_for(title, lambda: self.run("xdotool", "search", "--onlyvisible", "--pid", str(
            self.process.pid), "--name", f"^{title}$", check=False).strip())
        return self

    def keys(self, *keys):
        self.run("xdotool", "windowactivate", "--sync", self.window)
        self.run("xdotool", "key", "--delay", "100", *keys)

    def report(self, title=TITLE):
        return self.run("wine", PROBE, "window", title).decode().splitlines()


class Win32(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.scratch, self.wine = scratch.name, Wine(scratch.name)
        self.addCleanup(self.wine.close)

    def assertShows(self, scale, clicks):
        """The drawing area (at 24, 24 inside its frame of 2, all scaled) shows the core's picture,
        and still does a moment later."""
        wine = self.wine
        expected = wine.run("convert", "pbm:-", "-depth", "8", "ppm:-", input=wine.run(
            "wine", PICTURE_OF_CLICKS, "--scale", str(scale), clicks))
        area = lambda: wine.run("import", "-window", wine.window, "-crop", f"{455 * scale}x{439 * scale}+"
                                f"{26 * scale}+{26 * scale}", "+repage", "-depth", "8", "ppm:-")
        wait_for(f"the core's picture of clicks '{clicks}' at scale {scale}", lambda: area() == expected)
        time.sleep(0.5)
        self.assertTrue(area() == expected, f"the picture of clicks '{clicks}' at scale {scale} changed")

    def test_end_to_end(self):
        for scale in (1, 2):
            wine = self.wine.start(QUORRIN, 96 * scale)
            for keys, clicks, focus, caption1, caption2 in STEPS:
                if keys:
                    wine.keys(*keys)
                self.assertShows(scale, clicks)
                self.assertEqual(wine.report(), [
                    f"client {525 * scale} {550 * scale} focus {focus}", "104 Picture1", f"101 {caption1}",
                    f"102 {caption2}", "103 New random with taps", "105 Save on clipboard by Alt+PrtSc"])
            wine.run("xdotool", "windowminimize", "--sync", wine.window)
            wine.run("xdotool", "windowactivate", "--sync", wine.window, check=False)
            self.assertShows(scale, "122")
            wine.keys("alt+F4")  # as a user closes it: the window manager asks the window to close
            self.assertEqual(wine.process.wait(WAIT), 0)
        # 17 device pixels per pixel is more than the picture can be shown at: one box, then status 1.
        wine = self.wine.start(QUORRIN, 17 * 96, title="Quorrin")
        self.assertIn("Quorrin must end: a screen density of 17.000000 cannot be shown.",
                      "\n".join(wine.report("Quorrin")))
        wine.keys("Return")
        self.assertEqual(wine.process.wait(WAIT), 1)

    def test_installer(self):
        wine, drive = self.wine, os.path.join(self.wine.env["WINEPREFIX"], "drive_c")
        files = lambda: {os.path.relpath(os.path.join(folder, name), drive)
                         for folder, folders, names in os.walk(drive) for name in names + folders}
        subprocess.run(["cpack", "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", self.scratch],
                       check=True, capture_output=True)
        before = files()
        wine.run("wine", os.path.join(self.scratch, "quorrin-1.0.0.0-win64.exe"), "/S")
        wine.run("wineserver", "-w")
        installed = "\n".join(files() - before) + wine.run("wine", "reg", "query", UNINSTALL_KEY).decode()
        for wanted in ("Program Files/Quorrin/quorrin.exe", "Program Files/Quorrin/Uninstall.exe",
                       "Start Menu/Programs/Quorrin/Quorrin.lnk", "DisplayName    REG_SZ    Quorrin",
                       "DisplayVersion    REG_SZ    1.0.0.0", rf"DisplayIcon    REG_SZ    {INSTALLED}\quorrin.exe"):
            self.assertIn(wanted, installed)
        wine.start(INSTALLED + r"\quorrin.exe").keys("alt+F4")
        self.assertEqual(wine.process.wait(WAIT), 0)
        wine.run("wine", INSTALLED + r"\Uninstall.exe", "/S")
        # The uninstaller runs from a copy in Temp, which the next start of Windows deletes; only the
        # empty folder it was in stays.
        wine.run("wineserver", "-w")
        wine.run("wineboot", "-r")
        wine.run("wineserver", "-w")
        left = [path for path in files() - before if not (os.path.basename(path).startswith("~nsu") and
                                                          not os.listdir(os.path.join(drive, path)))]
        self.assertEqual(left, [], "left behind")
        self.assertNotIn(b"Quorrin", wine.run("wine", "reg", "query", UNINSTALL_KEY, check=False), "still registered")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + [CASE], verbosity=2)
