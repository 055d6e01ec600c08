// The browser test harness tried on the web build's small page: served on
// 127.0.0.1, loaded in headless Chromium, the simulator run inside the page
// gives what the native torvin-sim gives for the same script, and a
// screenshot is kept.
//
//   TORVIN_WEB_BUILD=build-web TORVIN_SIM=build/bin/torvin-sim \
//   NODE_PATH=build-web/node/node_modules node --test tests/web/smoke_test.js
"use strict";

const assert = require("node:assert");
const { execFileSync } = require("node:child_process");
const path = require("node:path");
const { test } = require("node:test");
const { launchBrowser, openPage, outputFolder } = require("./browser");
const { serveFolder } = require("./static_server");

const webBuild = process.env.TORVIN_WEB_BUILD || "build-web";
const nativeSim = process.env.TORVIN_SIM || "build/bin/torvin-sim";

// The pictures folder is where each program found them; the rest is the same.
const withoutAppPath = (output) => output.replace(/"appPath":"[^"]*"/g, '"appPath":""');

test("the smoke page plays the game in Chromium as torvin-sim does", async (t) => {
  const server = await serveFolder(path.join(webBuild, "smoke"));
  t.after(() => server.close());
  const browser = await launchBrowser();
  t.after(() => browser.close());
  const page = await openPage(browser);

  await page.goto(`${server.url}index.html`);
  await page.evaluate(() => window.smoke.ready);
  assert.deepStrictEqual(page.problems, []);

  const { script, output } = await page.evaluate(() => window.smoke);
  const native = execFileSync(nativeSim, ["--trace"], { input: script, encoding: "utf8" });
  assert.strictEqual(withoutAppPath(output), withoutAppPath(native));

  // The rider's picture on the canvas, as the decoder in the page gave it: the
  // size of Image1, and not a blank.
  const dump = JSON.parse(output.trim().split("\n").pop());
  const canvas = await page.evaluate(() => {
    const rider = document.getElementById("rider");
    const pixels = rider.getContext("2d").getImageData(0, 0, rider.width, rider.height).data;
    const opaque = pixels.filter((value, i) => i % 4 === 3 && value === 255).length;
    return { width: rider.width, height: rider.height, opaque };
  });
  assert.strictEqual(canvas.width, dump.Image1.Width);
  assert.strictEqual(canvas.height, dump.Image1.Height);
  assert.ok(canvas.opaque > 0, "the canvas is blank");

  const shot = path.join(outputFolder(), "smoke.png");
  await page.screenshot({ path: shot, fullPage: true });
  t.diagnostic(`screenshot: ${shot}`);
});
