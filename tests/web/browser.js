// Headless Chromium for the web page's tests: Debian's chromium, driven by
// puppeteer-core, started so that it reaches nothing but the test's own
// server on 127.0.0.1 (no background networking, updates, sync or QUIC), with
// a fresh profile of its own that is removed when the browser closes.
"use strict";

const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const puppeteer = require("puppeteer-core");

const chromium = process.env.TORVIN_CHROMIUM || "/usr/bin/chromium";

async function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "torvin-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: [
      "--no-sandbox",  // the tests may run as root
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
    ],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A new page whose console errors, script errors and failed loads (with
// their addresses) are collected in page.problems, so that a test can show
// them when it fails.
async function openPage(browser) {
  const page = await browser.newPage();
  page.problems = [];
  page.on("console", (message) => {
    // A failed load is told with its address below.
    if (message.type() === "error" && !message.text().startsWith("Failed to load resource")) {
      page.problems.push(`console: ${message.text()}`);
    }
  });
  page.on("response", (response) => {
    if (response.status() >= 400) {
      page.problems.push(`${response.status()} for ${response.url()}`);
    }
  });
  page.on("pageerror", (error) => page.problems.push(`page error: ${error.message}`));
  page.on("requestfailed", (request) =>
    page.problems.push(`failed to load ${request.url()}: ${request.failure().errorText}`));
  return page;
}

// Where the tests keep what a person may want to look at (screenshots).
function outputFolder() {
  const folder = process.env.TORVIN_TEST_OUTPUT || path.join(os.tmpdir(), "torvin-web-tests");
  fs.mkdirSync(folder, { recursive: true });
  return folder;
}

module.exports = { launchBrowser, openPage, outputFolder };
