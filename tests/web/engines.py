# The three browser engines the page is tested in, each behind the same few calls: open the page
# in a colour scheme, run a script in it, type keys, click a control, switch the scheme or the
# viewport and density of the open page, take a screenshot, find what a screen reader finds, and
# tell what reached the console.
# A call an engine cannot do returns False, and the scenario says what it skipped.
import base64, json, os, subprocess, time

from selenium import webdriver
from selenium.common.exceptions import WebDriverException

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 525, 550  # the window and a margin


class Selenium:
    """What the engines Selenium drives do alike."""

    def run(self, script):
        return self.driver.execute_script(script)

    def keys(self, names):
        webdriver.ActionChains(self.driver).send_keys(*[getattr(webdriver.Keys, name) for name in names]).perform()

    def click(self, name):
        self.driver.find_element("id", name).click()

    def screenshot(self):
        return self.driver.get_screenshot_as_png()


class Chromium(Selenium):
    """Headless Chromium through chromedriver; schemes, forced colours and density by emulation."""
    name = "chromium"

    def __init__(self):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=webdriver.chrome.service.Service("/usr/bin/chromedriver"),
                                       options=options)
        self.viewport(WIDTH, HEIGHT)

    def open(self, url, scheme):
        self.switch(scheme)
        self.driver.get(url)
        return True

    def switch(self, scheme):
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
            {"name": "prefers-color-scheme", "value": "light" if scheme == "light" else "dark"},
            {"name": "forced-colors", "value": "active" if scheme == "forced" else "none"}]})
        return True

    # Headless Chromium passes a new density on only with a new viewport size: it gets one, briefly.
    def viewport(self, width, height, density=1):
        for narrower in (1, 0):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width - narrower, "height": height, "deviceScaleFactor": density, "mobile": False})
        return True

    # A script that runs in every page opened from now on, before the page's own.
    def before_pages(self, source):
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": source})

    # A finger's tap at that point of the viewport.
    def tap(self, x, y):
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True})
        for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
            self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def count(self, role, name=None):
        nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        return sum(node["role"].get("value") == role and
                   name in (None, node.get("name", {}).get("value")) for node in nodes)

    def console(self):
        return [entry["message"][:300] for entry in self.driver.get_log("browser")]

    def quit(self):
        self.driver.quit()


# What reaches the console, and errors nobody caught, kept in the page from the moment this runs.
CONSOLE = """
window.consoleSeen = [];
for (const level of ['debug', 'log', 'info', 'warn', 'error']) {
  const write = console[level];
  console[level] = (...parts) => { consoleSeen.push(`${level}: ${parts.join(' ')}`.slice(0, 300)); write.apply(console, parts); };
}
addEventListener('error', (event) => consoleSeen.push(`error: ${event.message}`));
addEventListener('unhandledrejection', (event) => consoleSeen.push(`error: ${event.reason}`));
"""


class WebKit(Selenium):
    """WebKitGTK's MiniBrowser through WebKitWebDriver, on an X server of its own. Its scheme is
    chosen at launch (GTK's dark preference), so a new scheme is a new browser; it can neither
    force colours nor change the density of an open page. Under automation it writes the page's
    console nowhere and its driver keeps no log, so the console is read from the page itself: what
    reaches it after the page has loaded."""
    name = "webkit"

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["/usr/bin/Xvfb", "-displayfd", str(write), "-nolisten", "tcp",
                                        "-screen", "0", "1024x768x24"], pass_fds=[write],
                                       stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as display:
            os.environ["DISPLAY"] = ":" + display.readline().strip()
        self.driver, self.scheme, self.messages = None, None, []

    def open(self, url, scheme):
        if scheme == "forced":
            return False
        if scheme != self.scheme:
            self.stop()
            options = webdriver.WebKitGTKOptions()
            options.binary_location = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
            for argument in ["--automation"] + (["--dark-mode"] if scheme == "dark" else []):
                options.add_argument(argument)
            self.driver = webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver", options=options)
            # The same viewport as in the other engines, below the browser's toolbar.
            self.driver.set_window_rect(0, 0, WIDTH, HEIGHT)
            width, height = self.run("return [innerWidth, innerHeight]")
            self.toolbar = WIDTH - width, HEIGHT - height
            self.viewport(WIDTH, HEIGHT)
            self.scheme = scheme
        else:
            self.messages += self.run("return consoleSeen")
        self.driver.get(url)
        self.run(CONSOLE)
        return True

    def switch(self, scheme):
        return scheme == self.scheme

    # The window takes its new size a moment later, and no narrower than its toolbar: the page
    # has it once the viewport is as asked, or after 3 s.
    def viewport(self, width, height, density=1):
        if density == 1:
            self.driver.set_window_rect(0, 0, width + self.toolbar[0], height + self.toolbar[1])
            for _ in range(30):
                if self.run("return [innerWidth, innerHeight]") == [width, height]:
                    break
                time.sleep(0.1)
        return density == 1

    # Each element's role and name as WebDriver computes them for assistive technology; an element
    # that is not shown (the closed dialog, the script) has neither.
    def count(self, role, name=None):
        def matches(element):
            try:
                return element.aria_role == role and name in (None, element.accessible_name)
            except WebDriverException:
                return False
        return sum(map(matches, self.driver.find_elements("css selector", "body *")))

    def console(self):
        self.messages += self.run("return consoleSeen")
        return self.messages

    def stop(self):
        if self.driver:
            self.messages += self.run("return consoleSeen")
            self.driver.quit()
            self.driver = None

    def quit(self):
        self.stop()
        self.server.terminate()
        self.server.wait()


class Firefox:
    """Headless Firefox over WebDriver BiDi, by firefox.js (puppeteer-core), one command a line.
    Schemes and forced colours are the browser's preferences, set while the page is open."""
    name = "firefox"
    KEYS = {"ENTER": "Enter", "TAB": "Tab", "SPACE": " "}

    def __init__(self):
        self.process = subprocess.Popen(["/usr/bin/node", os.path.join(HERE, "firefox.js")], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        self.viewport(WIDTH, HEIGHT)

    def send(self, command, **arguments):
        self.process.stdin.write(json.dumps(dict(arguments, command=command)) + "\n")
        self.process.stdin.flush()
        answer = json.loads(self.process.stdout.readline() or '{"error": "firefox.js has ended"}')
        if "error" in answer:
            raise RuntimeError(f"firefox {command}: {answer['error']}")
        return answer.get("value")

    def open(self, url, scheme):
        self.switch(scheme)
        self.send("open", url=url)
        return True

    def run(self, script):
        return self.send("run", script=script)

    def keys(self, names):
        self.send("keys", keys=[self.KEYS[name] for name in names])

    def click(self, name):
        self.send("click", selector="#" + name)

    def switch(self, scheme):
        self.send("preferences", values={
            "layout.css.prefers-color-scheme.content-override": 1 if scheme == "light" else 0,
            "browser.display.document_color_use": 2 if scheme == "forced" else 0})
        return True

    def viewport(self, width, height, density=1):
        self.send("viewport", width=width, height=height, density=density)
        return True

    def screenshot(self):
        return base64.b64decode(self.send("screenshot"))

    def count(self, role, name=None):
        return self.send("count", role=role, name=name)

    def console(self):
        return self.send("console")

    def quit(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


ENGINES = {engine.name: engine for engine in (Chromium, Firefox, WebKit)}
