#!/usr/bin/env python3
# The real quorrin.exe under Wine, on an X server and window manager of the test's own. At 96 and
# 192 dpi keys go in through xdotool, the picture comes back through import and must equal the core's
# picture for the same clicks, and what only Windows knows comes from probe.exe; at a density too high
# to show, the fatal error. And the installer: silent install, the installed program's window, silent
# uninstall that leaves nothing behind.
#   end_to_end.py QUORRIN_EXE PICTURE_OF_CLICKS_EXE PROBE_EXE BUILD_DIR Win32.test_...
import os, subprocess, sys, tempfile, time, unittest

TITLE = "Random discharge directions causing river systems Arvelt"
# What the user does, the clicks that give the core the same picture (streams and back: the first
# drainage again), then the focused control and the captions of Command1 and Command2. Were Enter a
# click, the space after it would toggle back.
STEPS = [([], "", 104, "New random", "Show streams"),
         (["Tab", "space"], "1", 101, "random 48x48", "Show streams"),
         (["Tab", "space"], "12", 102, "random 48x48", "Show drainage"),
         (["Return", "space"], "1", 102, "random 48x48", "Show streams")]
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrin"
INSTALLED = r"C:\Program Files\Quorrin"
WAIT = 30  # seconds; a passing run never comes near
QUORRIN, PICTURE_OF_CLICKS, PROBE, BUILD, CASE = sys.argv[1:]


def wait_for(what, check):
    for _ in range(5 * WAIT):
        if result := check():
            return result
        time.sleep(0.2)
    raise AssertionError("gave up waiting for " + what)


class Win32(unittest.TestCase):
    # An X server (-noreset: a program started as its last client leaves must find it), a window
    # manager and a Wine prefix, all of the test's own.
    def setUp(self):
        self.scratch = self.enterContext(tempfile.TemporaryDirectory())
        self.env = dict(os.environ, WINEPREFIX=f"{self.scratch}/prefix", WINEDEBUG="-all")
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp", "-screen", "0",
                                   "2400x1300x24"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        self.env["DISPLAY"] = ":" + self.enterContext(os.fdopen(read)).readline().strip()
        for process in (server, subprocess.Popen(["openbox"], env=self.env, stderr=subprocess.DEVNULL)):
            self.addCleanup(process.kill)
        self.addCleanup(self.call, "wineserver", "-k", check=False)
        self.call("wineboot", "-i")

    def call(self, *command, check=True, **options):
        return subprocess.run(command, env=self.env, check=check, capture_output=True, timeout=2 * WAIT,
                              **options).stdout

    # exe at that dpi; `wine` keeps its pid as the Windows process.
    def start(self, exe, dpi=96, title=TITLE):
        self.call("sh", "-c", rf"wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d {dpi} /f "
                  "&& wineserver -w")
        self.process = subprocess.Popen(["wine", exe], env=self.env)
        self.window = wait_for(title, lambda: self.call("xdotool", "search", "--onlyvisible", "--pid", str(
            self.process.pid), "--name", f"^{title}$", check=False).strip())

    def keys(self, *keys):
        self.call("xdotool", "windowactivate", "--sync", self.window, "key", "--delay", "100", *keys)

    # The drawing area (at 24, 24 inside its frame of 2, all scaled) shows the core's picture, and
    # still does a moment later.
    def assertShows(self, scale, clicks):
        what = f"the core's picture of clicks '{clicks}' at scale {scale}"
        core = self.call("wine", PICTURE_OF_CLICKS, "--scale", str(scale), clicks)
        expected = self.call("convert", "pbm:-", "-depth", "8", "ppm:-", input=core)
        area = lambda: self.call("import", "-window", self.window, "-crop", f"{455 * scale}x{439 * scale}+"
                                f"{26 * scale}+{26 * scale}", "+repage", "-depth", "8", "ppm:-") == expected
        wait_for(what, area)
        time.sleep(0.5)
        self.assertTrue(area(), what + ", and a moment later")

    def test_end_to_end(self):
        for scale in (1, 2):
            self.start(QUORRIN, 96 * scale)
            for keys, clicks, focus, caption1, caption2 in STEPS:
                if keys:
                    self.keys(*keys)
                self.assertShows(scale, clicks)
                self.assertEqual(self.call("wine", PROBE, "window", TITLE).decode().splitlines(), [
                    f"client {525 * scale} {550 * scale} focus {focus}", "104 Picture1", f"101 {caption1}",
                    f"102 {caption2}", "103 New random with taps", "105 Save on clipboard by Alt+PrtSc"])
            self.call("xdotool", "windowminimize", "--sync", self.window, "windowactivate", "--sync", self.window,
                      check=False)
            self.assertShows(scale, "1")
            self.keys("alt+F4")  # as a user closes it: the window manager asks the window to close
            self.assertEqual(self.process.wait(WAIT), 0)
        # 17 device pixels per pixel is more than the picture can be shown at: one box, then status 1.
        self.start(QUORRIN, 17 * 96, title="Quorrin")
        self.assertIn(b"Quorrin must end: a screen density of 17.000000 cannot be shown.",
                      self.call("wine", PROBE, "window", "Quorrin"))
        self.keys("Return")
        self.assertEqual(self.process.wait(WAIT), 1)

    def test_installer(self):
        drive = f"{self.env['WINEPREFIX']}/drive_c"
        files = lambda: {os.path.relpath(os.path.join(top, name), drive)
                         for top, folders, names in os.walk(drive) for name in folders + names}
        self.call("cpack", "--config", f"{BUILD}/CPackConfig.cmake", "-B", self.scratch)
        before = files()
        self.call("wine", f"{self.scratch}/quorrin-1.0.0.0-win64.exe", "/S")
        self.call("wineserver", "-w")
        installed = "\n".join(files() - before) + self.call("wine", "reg", "query", UNINSTALL_KEY).decode()
        for wanted in ("Program Files/Quorrin/quorrin.exe", "Program Files/Quorrin/Uninstall.exe",
                       "Start Menu/Programs/Quorrin/Quorrin.lnk", "DisplayName    REG_SZ    Quorrin",
                       "DisplayVersion    REG_SZ    1.0.0.0", rf"DisplayIcon    REG_SZ    {INSTALLED}\quorrin.exe"):
            self.assertIn(wanted, installed)
        self.start(INSTALLED + r"\quorrin.exe")
        self.keys("alt+F4")
        self.assertEqual(self.process.wait(WAIT), 0)
        self.call("wine", INSTALLED + r"\Uninstall.exe", "/S")
        # The uninstaller runs from a copy in Temp, which the next start of Windows deletes; only the
        # empty folder it was in stays.
        self.call("sh", "-c", "wineserver -w && wineboot -r && wineserver -w")
        left = [path for path in files() - before
                if not (os.path.basename(path).startswith("~nsu") and not os.listdir(os.path.join(drive, path)))]
        self.assertEqual(left, [], "left behind")
        self.assertNotIn(b"Quorrin", self.call("wine", "reg", "query", UNINSTALL_KEY, check=False), "still registered")


unittest.main(argv=sys.argv[:1] + [CASE], verbosity=2)
