// Drives Debian's headless Firefox over WebDriver BiDi for engines.py: one JSON command a line on
// standard input, one JSON answer a line on standard output ({value} or {error}).
"use strict";

const readline = require("node:readline");
const puppeteer = require("puppeteer-core");

async function main() {
  // System access lets the browser's own realm set preferences while a page is open.
  const browser = await puppeteer.launch({
    browser: "firefox",
    executablePath: "/usr/bin/firefox-esr",
    headless: true,
    protocol: "webDriverBiDi",
    args: ["--remote-allow-system-access"],
  });
  const page = await browser.newPage();
  const console_ = [];
  page.on("console", (message) => console_.push(`${message.type()}: ${message.text()}`.slice(0, 300)));
  page.on("pageerror", (error) => console_.push(`error: ${error.message}`.slice(0, 300)));
  const bidi = browser.connection;
  const chrome = (await bidi.send("browsingContext.getTree", { "moz:scope": "chrome", maxDepth: 0 })).result.contexts[0];
  const context = page.mainFrame()._id;

  const commands = {
    open: ({ url }) => page.goto(url).then(() => null),
    run: ({ script }) => page.evaluate(`(async () => {\n${script}\n})()`),
    keys: async ({ keys }) => {
      for (const key of keys) {
        await page.keyboard.press(key);
      }
      return null;
    },
    click: ({ selector }) => page.click(selector).then(() => null),
    viewport: ({ width, height, density }) => page.setViewport({ width, height, deviceScaleFactor: density }).then(() => null),
    screenshot: () => page.screenshot({ encoding: "base64" }),
    preferences: async ({ values }) => {
      const expression = Object.entries(values)
        .map(([name, value]) => `Services.prefs.setIntPref(${JSON.stringify(name)}, ${value});`)
        .join("");
      await bidi.send("script.evaluate", { expression, target: { context: chrome.context }, awaitPromise: false });
      return null;
    },
    // Nodes by their role and, if given, their name, as the browser computes them for assistive technology.
    count: async ({ role, name }) => {
      const value = name === null ? { role } : { role, name };
      const found = await bidi.send("browsingContext.locateNodes", { context, locator: { type: "accessibility", value } });
      return found.result.nodes.length;
    },
    console: async () => console_.splice(0),
  };

  for await (const line of readline.createInterface({ input: process.stdin })) {
    const { command, ...arguments_ } = JSON.parse(line);
    let answer;
    try {
      answer = { value: await commands[command](arguments_) };
    } catch (error) {
      answer = { error: String(error.message || error).slice(0, 1000) };
    }
    process.stdout.write(JSON.stringify(answer) + "\n");
  }
  await browser.close();
}

main().catch((error) => {
  process.stdout.write(JSON.stringify({ error: String(error.message || error) }) + "\n");
  process.exit(1);
});
