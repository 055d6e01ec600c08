// The game's page in headless Chromium, for the figures of BENCHMARKS.md: the
// sizes of the page's files (raw and gzip -9), the time to the first frame
// from a local server (ROUNDS loads), and a ride of SECONDS: Start, then H,
// Q and A every 1.5 s (a hop, a can-can in it, a manual after it: every trick
// lands, so the run never ends), with the CPU time of the page's renderer
// process (and of the whole browser) per wall second, the lateness of the
// course's ticks (Timer2: median, 99th percentile, worst) and the ticks run
// per second.
//
//   NODE_PATH=build-web/node/node_modules node bench/web_page_bench.js [WEB_BUILD] [SECONDS] [ROUNDS] [WIDTHxHEIGHT]
//
// WIDTHxHEIGHT is the browser window's size for the ride (531x375: the scene at
// its own size above the page's bar).
"use strict";

const fs = require("node:fs");
const path = require("node:path");
const zlib = require("node:zlib");
const { launchBrowser, openPage } = require("../tests/web/browser");
const { serveFolder } = require("../tests/web/static_server");

const webBuild = path.resolve(process.argv[2] || "build-web");
const seconds = Number(process.argv[3] || 30);
const rounds = Number(process.argv[4] || 3);
const [rideWidth, rideHeight] = (process.argv[5] || "531x375").split("x").map(Number);
const kTicksPerSecond = 100;  // /proc's clock ticks (USER_HZ)

function sizes() {
  const files = ["site/torvin.wasm", "site/torvin.js", "site/torvin.data", "site/page.js",
                 "site/page.css", "site/index.html", "torvin.html"];
  return files.map((file) => {
    const data = fs.readFileSync(path.join(webBuild, file));
    return { file, raw: data.length, gzip: zlib.gzipSync(data, { level: 9 }).length };
  });
}

// The processes below `pid`, with their CPU time so far (user + system, s).
function processTree(pid) {
  const all = fs.readdirSync("/proc").filter((name) => /^\d+$/.test(name)).map((name) => {
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, "utf8");
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      const cmdline = fs.readFileSync(`/proc/${name}/cmdline`, "utf8");
      return { pid: Number(name), ppid: Number(fields[1]),
               cpu: (Number(fields[11]) + Number(fields[12])) / kTicksPerSecond,
               renderer: cmdline.includes("--type=renderer") };
    } catch {
      return null;
    }
  }).filter(Boolean);
  const tree = [];
  const wanted = new Set([pid]);
  for (let grown = true; grown;) {
    grown = false;
    for (const proc of all) {
      if (wanted.has(proc.ppid) && !wanted.has(proc.pid)) {
        wanted.add(proc.pid);
        grown = true;
      }
    }
  }
  for (const proc of all) {
    if (wanted.has(proc.pid)) {
      tree.push(proc);
    }
  }
  return tree;
}

function cpuOf(tree, renderersOnly) {
  return tree.filter((proc) => !renderersOnly || proc.renderer).reduce((sum, p) => sum + p.cpu, 0);
}

function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

async function main() {
  console.log("sizes (bytes):");
  for (const { file, raw, gzip } of sizes()) {
    console.log(`  ${file}: ${raw} raw, ${gzip} gzip -9`);
  }
  const server = await serveFolder(path.join(webBuild, "site"));
  const browser = await launchBrowser();
  try {
    const firstFrames = [];
    for (let round = 0; round < rounds; ++round) {
      const page = await openPage(browser);
      await page.setViewport({ width: 531, height: 375 });
      await page.goto(server.url);
      await page.evaluate(() => window.torvin.ready);
      firstFrames.push(await page.evaluate(() => window.torvin.stats().firstFrameAt));
      await page.close();
    }
    console.log(`first frame (ms after the page began to load): ${firstFrames.map(Math.round).join(", ")}`);

    const page = await openPage(browser);
    await page.setViewport({ width: rideWidth, height: rideHeight });
    await page.goto(server.url);
    await page.evaluate(() => window.torvin.ready);
    const canvas = await page.evaluate(() => {
      const shown = document.getElementById("canvas");
      return `${shown.width} x ${shown.height}`;
    });
    console.log(`riding with the canvas at ${canvas}`);
    await page.click("#command1");
    const pid = browser.process().pid;
    const before = processTree(pid);
    const started = Date.now();
    for (let at = 0; at + 1.5 <= seconds; at += 1.5) {
      await page.keyboard.press("KeyH");
      await new Promise((resolve) => setTimeout(resolve, 100));
      await page.keyboard.press("KeyQ");
      await new Promise((resolve) => setTimeout(resolve, 600));
      await page.keyboard.press("KeyA");
      await new Promise((resolve) => setTimeout(resolve, 800));
    }
    const wall = (Date.now() - started) / 1000;
    const after = processTree(pid);
    const stats = await page.evaluate(() => window.torvin.stats());
    const state = JSON.parse(await page.evaluate(() => window.torvin.dump()));
    const late = stats.courseLateness.slice().sort((a, b) => a - b);
    const renderer = (cpuOf(after, true) - cpuOf(before, true)) / wall;
    const whole = (cpuOf(after, false) - cpuOf(before, false)) / wall;
    console.log(`ride of ${wall.toFixed(1)} s: runs ended ${state.Score.items.length}, points ${state.GameState.totalScore}`);
    console.log(`CPU per wall second: renderer ${(100 * renderer).toFixed(1)} %, whole browser ${(100 * whole).toFixed(1)} %`);
    console.log(`course ticks: ${late.length}, ${(late.length / stats.seconds).toFixed(2)} a second; ` +
                `late by median ${percentile(late, 50)} ms, p99 ${percentile(late, 99)} ms, worst ${late[late.length - 1]} ms`);
    console.log(`ticks run (every timer): ${(stats.ticks / stats.seconds).toFixed(1)} a second`);
    console.log(`canvas pixels painted: ${Math.round(stats.painted / stats.seconds)} a second ` +
                `(the whole canvas is ${canvas})`);
    await page.close();
  } finally {
    await browser.close();
    await server.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
