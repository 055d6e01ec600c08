// The game's page in headless Chromium, played as a player would: served by
// `scripts/web.sh serve` and opened as the single file from the disk; the How
// to boxes; Start, a hop, a trick on it, a manual, a backflip that cannot close
// before the landing and its "Fail!" box closed with Return; the pause; the
// canvas against the scene the native renderer composes for the same game;
// the page's recording replayed in the native torvin-sim to the page's own
// state; a script played in the page to torvin-sim's state, and a bad one
// refused with the reader's sentence; a hidden page's clock standing still.
// A screenshot of each page is kept for a person to look at.
//
//   TORVIN_WEB_BUILD=build-web TORVIN_SIM=build/bin/torvin-sim \
//   TORVIN_SCENE_AT_END=build/bin/scene_at_end TORVIN_ASSETS=build/bin \
//   NODE_PATH=build-web/node/node_modules node --test tests/web/page_test.js
"use strict";

const assert = require("node:assert");
const { execFile, execFileSync, spawn } = require("node:child_process");
const fs = require("node:fs");
const net = require("node:net");
const os = require("node:os");
const path = require("node:path");
const { pathToFileURL } = require("node:url");
const { test } = require("node:test");
const { launchBrowser, openPage, outputFolder } = require("./browser");
const { serveFolder } = require("./static_server");

const root = path.resolve(__dirname, "../..");
const webBuild = path.resolve(process.env.TORVIN_WEB_BUILD || "build-web");
const nativeSim = process.env.TORVIN_SIM || "build/bin/torvin-sim";
const sceneAtEnd = process.env.TORVIN_SCENE_AT_END || "build/bin/scene_at_end";
const assets = process.env.TORVIN_ASSETS || "build/bin";
// The window, when it was built: it replays the page's recording too.
const game = process.env.TORVIN_GAME || "";
// The stage is the browser window less the page's bar: 531 x 343 at scale 1.
const kBar = 32;
const viewport = { width: 531, height: 343 + kBar, deviceScaleFactor: 1 };

const withoutAppPath = (line) => line.replace(/"appPath":"[^"]*"/g, '"appPath":""');
const lastLine = (text) => text.trim().split("\n").pop();
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function work() {
  return fs.mkdtempSync(path.join(os.tmpdir(), "torvin-page-test-"));
}

function nativeDump(script, folder) {
  const file = path.join(folder, "run.script");
  fs.writeFileSync(file, script);
  return lastLine(execFileSync(nativeSim, ["--assets", assets, file], { encoding: "utf8" }));
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// `scripts/web.sh serve PORT`, until it says where it serves the page.
async function serveWithWebSh() {
  const port = await freePort();
  const server = spawn(path.join(root, "scripts/web.sh"), ["serve", String(port)], {
    cwd: root,
    stdio: ["ignore", "pipe", "inherit"],
  });
  const url = await new Promise((resolve, reject) => {
    let said = "";
    const timer = setTimeout(() => reject(new Error(`web.sh serve said: ${said}`)), 120000);
    server.stdout.on("data", (chunk) => {
      said += chunk;
      const found = /on (http:\/\/127\.0\.0\.1:\d+\/)/.exec(said);
      if (found) {
        clearTimeout(timer);
        resolve(found[1]);
      }
    });
    server.once("exit", (status) => reject(new Error(`web.sh serve ended (${status}): ${said}`)));
  });
  return { url, close: () => server.kill("SIGTERM") };
}

async function openGame(browser, url) {
  const page = await openPage(browser);
  await page.setViewport(viewport);
  await page.goto(url);
  await page.evaluate(() => window.torvin.ready);
  return page;
}

const dump = async (page) => JSON.parse(await page.evaluate(() => window.torvin.dump()));
const gameTime = (page) => page.evaluate(() => window.torvinPage.now());
const boxTexts = (page) =>
  page.$$eval("#boxes dialog:not([hidden])", (boxes) => boxes.map((b) => b.querySelector("p").textContent));

// Waits until the page's game clock reads `time`.
async function until(page, time) {
  await page.waitForFunction((t) => window.torvinPage.now() >= t, { polling: 5 }, time);
}

// The canvas's pixels as red, green, blue bytes, row after row.
async function canvasRgb(page) {
  const rgba = await page.evaluate(() => {
    const canvas = document.getElementById("canvas");
    const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    return { width: canvas.width, height: canvas.height, bytes: Array.from(data) };
  });
  const rgb = Buffer.alloc(rgba.width * rgba.height * 3);
  for (let i = 0, j = 0; i < rgba.bytes.length; i += 4, j += 3) {
    rgb[j] = rgba.bytes[i];
    rgb[j + 1] = rgba.bytes[i + 1];
    rgb[j + 2] = rgba.bytes[i + 2];
  }
  return { width: rgba.width, height: rgba.height, rgb };
}

function readPpm(file) {
  const data = fs.readFileSync(file);
  const header = /^P6\n(\d+) (\d+)\n255\n/.exec(data.subarray(0, 32).toString("latin1"));
  return { width: Number(header[1]), height: Number(header[2]), rgb: data.subarray(header[0].length) };
}

function differingPixels(a, b) {
  let differing = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) {
      ++differing;
    }
  }
  return differing;
}

test("the page served by web.sh plays the game as the window does", async (t) => {
  const server = await serveWithWebSh();
  t.after(() => server.close());
  const browser = await launchBrowser();
  t.after(() => browser.close());
  const page = await openGame(browser, server.url);
  const folder = work();
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));

  let windowReplay = null;

  await t.test("the How to boxes open one after another and close with OK", async () => {
    // Boxes follow one another: each opens once the one before has closed.
    const nextBox = async (before) => {
      await page.waitForFunction((text) => {
        const shown = [...document.querySelectorAll("#boxes dialog:not([hidden]) p")];
        return shown.length === 1 && shown[0].textContent !== text;
      }, {}, before);
      return (await boxTexts(page))[0];
    };
    await page.click("#command2");
    const seen = [];
    for (let box = 0; box < 3; ++box) {
      seen.push(await nextBox(seen[box - 1] || ""));
      assert.strictEqual(await page.$eval("#boxes dialog h2", (h) => h.textContent), "Torvin");
      await page.click("#boxes dialog:not([hidden]) button");
    }
    await page.waitForFunction(() => document.querySelectorAll("#boxes dialog").length === 0);
    assert.match(seen[0], /^Trick list: Bunny hop - H;/);
    assert.strictEqual(new Set(seen).size, 3);
    assert.strictEqual((await dump(page)).MessageBox, null);
    // F1 opens them as the button does; Escape, Space and Return close them.
    await page.keyboard.press("F1");
    for (let box = 0; box < 3; ++box) {
      assert.strictEqual(await nextBox(seen[box - 1] || ""), seen[box]);
      await page.keyboard.press(["Escape", "Space", "Enter"][box]);
    }
    await page.waitForFunction(() => document.querySelectorAll("#boxes dialog").length === 0);
    assert.strictEqual((await dump(page)).MessageBox, null);
    const recording = await page.evaluate(() => window.torvin.recording());
    assert.match(recording, new RegExp("^# A game of Torvin, played in the browser\n\\d+ click Command2\n(\\d+ close\n){3}\\d+ click Command2\n" +
                                       "\\d+ key 27\n\\d+ close\n\\d+ key 32\n\\d+ close\n" +
                                       "\\d+ key 13\n\\d+ close\n\\d+ dump\n$"));
  });

  await t.test("a run: a hop, a trick on it, a manual, and a backflip that ends in Fail!", async () => {
    const painted = await page.evaluate(() => window.torvin.stats().painted);
    await page.click("#command1");
    const start = Number(/(\d+) click Command1\n[^]*$/.exec(await page.evaluate(() => window.torvin.recording()))[1]);
    assert.ok((await dump(page)).GameState.courseRunning !== 0, "the course runs after Start");
    await until(page, start + 1000);
    // Riding paints what changed: the course, not the whole scene 25 times a
    // second.
    const riding = (await page.evaluate(() => window.torvin.stats().painted)) - painted;
    assert.ok(riding > 0 && riding < 25 * 531 * 343 / 2, `${riding} pixels painted in a second`);
    await page.keyboard.press("KeyH");
    await until(page, start + 1210);
    await page.keyboard.press("KeyQ");
    await until(page, start + 3000);
    await page.keyboard.press("KeyA");
    await until(page, start + 8100);
    await page.keyboard.press("KeyR");
    await page.waitForSelector("#boxes dialog");
    assert.deepStrictEqual(await boxTexts(page), ["Fail!"]);
    assert.strictEqual((await dump(page)).MessageBox, "Fail!");
    const shot = path.join(outputFolder(), "page-fail.png");
    await page.screenshot({ path: shot });
    t.diagnostic(`screenshot: ${shot}`);
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => document.querySelectorAll("#boxes dialog").length === 0);
    // After the pause the run's points go to the Score list.
    await page.waitForFunction(() => document.querySelectorAll("#score div").length === 1);
    const score = await page.$eval("#score div", (line) => line.textContent);
    const state = await dump(page);
    assert.strictEqual(state.Score.items[0], score);
    assert.ok(Number(score) > 0, `the can-can on the hop scored (${score})`);
    assert.strictEqual(state.GameState.totalScore, Number(score));
    // The points on screen (shown or not) follow the game's.
    assert.strictEqual(await page.$eval("#points", (p) => p.textContent),
                       `Points ${state.GameState.runScore} · Total ${state.GameState.totalScore}`);
  });

  await t.test("P pauses after the game heard it; the paused page's state replays natively", async () => {
    await page.keyboard.press("KeyP");
    await page.waitForFunction(() => window.torvin.paused());
    const before = await dump(page);
    const paintedBefore = await page.evaluate(() => window.torvin.stats().painted);
    await sleep(600);
    const after = await dump(page);
    assert.strictEqual(after.t, before.t, "the clock stands still while paused");
    assert.strictEqual(await page.evaluate(() => window.torvin.stats().painted), paintedBefore,
                       "a paused scene is painted again");
    assert.strictEqual(await page.$eval("#paused", (p) => !p.hidden), true);
    // A key while paused does nothing.
    await page.keyboard.press("KeyH");
    const recording = await page.evaluate(() => window.torvin.recording());
    assert.match(recording, /\d+ key 80\n\d+ dump\n$/);
    assert.doesNotMatch(recording, /key 72\n\d+ dump\n$/);
    const line = await page.evaluate(() => window.torvin.dump());
    assert.strictEqual(withoutAppPath(nativeDump(recording, folder)), withoutAppPath(line));
    // "Save this run" downloads the same script.
    const downloads = path.join(folder, "downloads");
    fs.mkdirSync(downloads);
    const session = await browser.target().createCDPSession();
    await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
    await page.click("#save-run");
    const saved = path.join(downloads, "torvin-run.script");
    for (let tries = 0; tries < 100 && !fs.existsSync(saved); ++tries) {
      await sleep(50);
    }
    assert.strictEqual(fs.readFileSync(saved, "utf8"), recording);
    if (game !== "") {
      // The window replays it at real speed, while the tests below go on.
      const replay = path.join(folder, "for-the-window.script");
      fs.writeFileSync(replay, recording);
      windowReplay = new Promise((resolve, reject) => {
        execFile(game, ["--replay", replay], { env: { ...process.env, QT_QPA_PLATFORM: "offscreen" } },
                 (error, stdout, stderr) => (error ? reject(new Error(`${error.message}: ${stderr}`))
                                                   : resolve({ stdout, line })));
      });
    }

    // The canvas shows, pixel for pixel, the scene the native renderer composes.
    const script = path.join(folder, "paused.script");
    fs.writeFileSync(script, recording);
    execFileSync(sceneAtEnd, [script, assets, path.join(outputFolder(), "page-native-scene")]);
    const native = readPpm(path.join(outputFolder(), "page-native-scene.ppm"));
    const shown = await canvasRgb(page);
    assert.deepStrictEqual([shown.width, shown.height], [531, 343]);
    assert.deepStrictEqual([native.width, native.height], [531, 343]);
    assert.strictEqual(differingPixels(shown.rgb, native.rgb), 0, "pixels differ from the native scene");

    // Twice the size: every scene pixel a square of four, the same colour.
    await page.setViewport({ ...viewport, width: 2 * 531, height: 2 * 343 + kBar });
    await page.waitForFunction(() => document.getElementById("canvas").width === 1062);
    await page.waitForFunction(() => {
      const canvas = document.getElementById("canvas");
      const data = canvas.getContext("2d").getImageData(1061, 685, 1, 1).data;
      return data[3] === 255 && (data[0] | data[1] | data[2]) !== 0;  // painted again
    });
    const twice = await canvasRgb(page);
    let unlike = 0;
    for (let y = 0; y < 343; ++y) {
      for (let x = 0; x < 531; ++x) {
        for (const [dx, dy] of [[0, 0], [1, 0], [0, 1], [1, 1]]) {
          const at = ((2 * y + dy) * 1062 + 2 * x + dx) * 3;
          const from = (y * 531 + x) * 3;
          if (twice.rgb.compare(shown.rgb, from, from + 3, at, at + 3) !== 0) {
            ++unlike;
          }
        }
      }
    }
    assert.strictEqual(unlike, 0, "the scene at twice its size is not the scene's pixels doubled");
    await page.setViewport(viewport);
    await page.waitForFunction(() => document.getElementById("canvas").width === 531);

    // The resuming key is not played; the clock goes on from where it stood.
    await page.keyboard.press("KeyP");
    await page.waitForFunction(() => !window.torvin.paused());
    await sleep(300);
    assert.ok((await dump(page)).t > after.t);
    assert.match(await page.evaluate(() => window.torvin.recording()), /\d+ key 80\n\d+ dump\n$/);
  });

  await t.test("a hidden page's clock stands still until a click on the scene", async () => {
    const other = await browser.newPage();
    await other.bringToFront();
    const hidden = await page.evaluate(() => document.visibilityState);
    if (hidden !== "hidden") {
      // Where the browser keeps a page in the background visible, it is told so.
      await page.evaluate(() => {
        Object.defineProperty(document, "visibilityState", { value: "hidden", configurable: true });
        document.dispatchEvent(new Event("visibilitychange"));
      });
    }
    await page.waitForFunction(() => window.torvin.paused());
    const before = await gameTime(page);
    await sleep(700);
    assert.strictEqual(await gameTime(page), before);
    await page.bringToFront();
    await other.close();
    await page.evaluate(() => delete document.visibilityState);
    assert.strictEqual(await gameTime(page), before, "showing the page does not resume it");
    await page.mouse.click(200, 150);
    await page.waitForFunction(() => !window.torvin.paused());
    await sleep(200);
    assert.ok((await gameTime(page)) > before);
    assert.doesNotMatch(await page.evaluate(() => window.torvin.recording()), /key 80\n[^]*key 80\n/);
    // Played on after two pauses, the recording still replays to the page's state.
    await page.keyboard.press("KeyH");
    await sleep(400);
    await page.keyboard.press("KeyP");
    await page.waitForFunction(() => window.torvin.paused());
    const line = await page.evaluate(() => window.torvin.dump());
    assert.strictEqual(withoutAppPath(nativeDump(await page.evaluate(() => window.torvin.recording()), folder)),
                       withoutAppPath(line));
    await page.keyboard.press("KeyP");
  });

  await t.test("a window's recording plays in the page to torvin-sim's state; a bad one is refused", async () => {
    await page.evaluate(() => window.torvin.watch("0 click Command1\n5 bogus\n", "bad.script"));
    await page.waitForFunction(() => window.torvin.refusal !== null);
    const refusal = await page.evaluate(() => window.torvin.refusal);
    const badFile = path.join(folder, "bad.script");
    fs.writeFileSync(badFile, "0 click Command1\n5 bogus\n");
    let native = "";
    try {
      execFileSync(nativeSim, [badFile], { encoding: "utf8", stdio: "pipe" });
    } catch (error) {
      native = error.stderr.trim();
    }
    assert.strictEqual(`torvin-sim: ${refusal.replace("bad.script", badFile)}`, native);
    assert.strictEqual(await page.$eval("#notice", (n) => n.textContent), refusal);

    // A recording made in the window (torvin --record) plays in the page.
    const script = fs.readFileSync(path.join(__dirname, "window_run.script"), "utf8");
    // A dump asked for just as a run starts is answered, by the new game;
    // Escape stops the run.
    const early = await page.evaluate(async (s) => {
      window.torvin.watch(s, "window_run.script");
      return window.torvin.dump();
    }, script);
    assert.strictEqual(JSON.parse(early).t, 0);
    await page.keyboard.press("Escape");
    await page.waitForFunction(() => window.torvin.over());
    assert.ok((await dump(page)).t < 1123, "stopped before the run's Start");

    // "Watch a run" opens the file the player chooses.
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#watch-run")]);
    await chooser.accept([path.join(__dirname, "window_run.script")]);
    await page.waitForFunction(() => !window.torvin.over());
    await page.keyboard.press("KeyP");  // a watched run is never paused
    assert.strictEqual(await page.evaluate(() => window.torvin.paused()), false);
    await page.waitForFunction(() => window.torvin.over(), { timeout: 10000 });
    const watched = await page.evaluate(() => window.torvin.dump());
    assert.strictEqual(withoutAppPath(watched), withoutAppPath(nativeDump(script, folder)));
    // The end of a watched run shows its last state, and starts no new game.
    await sleep(300);
    assert.strictEqual(await page.evaluate(() => window.torvin.dump()), watched);
    // Its recording is the run again, ended where it ended.
    const again = await page.evaluate(() => window.torvin.recording());
    assert.strictEqual(withoutAppPath(nativeDump(again, folder)), withoutAppPath(watched));
    await page.click("#new-game");
    await page.waitForFunction(() => document.getElementById("new-game").hidden);
    assert.strictEqual((await dump(page)).GameState.courseRunning, 0);
    assert.deepStrictEqual(page.problems, []);
  });

  await t.test("keys: full screen, points on screen, layouts and the browser's shortcuts", async () => {
    const recorded = () => page.evaluate(() => window.torvin.recording());
    // F11 toggles full screen and reaches the game as the window's F11 does;
    // Escape leaves full screen, and reaches the game too.
    await page.keyboard.press("F11");
    await page.waitForFunction(() => document.fullscreenElement !== null);
    await page.keyboard.press("Escape");
    await page.waitForFunction(() => document.fullscreenElement === null);
    assert.match(await recorded(), /\d+ key 122\n\d+ key 27\n\d+ dump\n$/);

    // F2 shows the points, is remembered, and never reaches the game.
    const before = await recorded();
    await page.keyboard.press("F2");
    assert.strictEqual(await page.$eval("#points", (p) => p.hidden), false);
    assert.match(await page.$eval("#points", (p) => p.textContent), /^Points 0 · Total 0$/);
    await page.reload();
    await page.evaluate(() => window.torvin.ready);
    assert.strictEqual(await page.$eval("#points", (p) => p.hidden), false);
    await page.keyboard.press("F2");
    assert.strictEqual(await page.$eval("#points", (p) => p.hidden), true);
    assert.strictEqual((await recorded()).replace(/\d+ dump\n$/, ""), "# A game of Torvin, played in the browser\n");
    assert.notStrictEqual(before, "");
    // While paused F2 does nothing, as every key but the pause, F11 and Escape.
    await page.keyboard.press("KeyP");
    await page.waitForFunction(() => window.torvin.paused());
    await page.keyboard.press("F2");
    assert.strictEqual(await page.$eval("#points", (p) => p.hidden), true);
    await page.keyboard.press("KeyP");
    await page.waitForFunction(() => !window.torvin.paused());

    // Ctrl with a letter is the browser's: the game hears Ctrl, never the letter.
    await page.keyboard.down("Control");
    await page.keyboard.press("KeyQ");
    await page.keyboard.up("Control");
    assert.match(await recorded(), /\n\d+ key 17\n\d+ dump\n$/);
    assert.doesNotMatch(await recorded(), /key 81/);

    // Every layout plays: the key codes the window gives for the same keys.
    const seen = (await recorded()).split("\n").length - 2;
    await page.evaluate(() => {
      const keys = [
        ["KeyH", "h"], ["KeyH", "р"], ["KeyQ", "a"], ["KeyI", "ı"], ["Semicolon", "ö"],
        ["Semicolon", ";"], ["Digit1", "!"], ["Digit1", "1"], ["Numpad1", "1"], ["Numpad1", "End"],
        ["NumpadEnter", "Enter"], ["NumpadAdd", "+"], ["ArrowLeft", "ArrowLeft"], ["Space", " "],
        ["F5", "F5"], ["AltRight", "AltGraph"],
      ];
      for (const [code, key] of keys) {
        window.dispatchEvent(new KeyboardEvent("keydown", { code, key, bubbles: true }));
      }
    });
    await dump(page);  // answered once the keys before it have been handled
    const codes = (await recorded()).split("\n").slice(seen, -2).map((line) => Number(line.split(" ")[2]));
    assert.deepStrictEqual(codes, [72, 72, 65, 0, 0, 0xba, 0, 49, 0x61, 0x23, 0x0d, 0x6b, 0x25, 0x20,
                                   0x74, 0]);
    assert.deepStrictEqual(page.problems, []);
  });

  await t.test("the page's recording replays in the window to the page's state", { skip: game === "" }, async () => {
    const { stdout, line } = await windowReplay;
    assert.strictEqual(withoutAppPath(lastLine(stdout)), withoutAppPath(line));
  });
});

test("the page opens from the disk as one file and plays", async (t) => {
  const browser = await launchBrowser();
  t.after(() => browser.close());
  const page = await openGame(browser, pathToFileURL(path.join(webBuild, "torvin.html")).href);
  await page.click("#command1");
  await page.waitForFunction(() => window.torvinPage.now() > 1500);
  const state = await dump(page);
  assert.notStrictEqual(state.GameState.courseRunning, 0);
  assert.strictEqual(state.Command1.Enabled, false);
  const shot = path.join(outputFolder(), "page-one-file.png");
  await page.screenshot({ path: shot });
  t.diagnostic(`screenshot: ${shot}`);
  assert.deepStrictEqual(page.problems, []);
});

test("a picture that cannot be read is told on the page as the window tells it", async (t) => {
  // The first GIF of the page's pictures no longer starts as a GIF.
  const site = path.join(webBuild, "site");
  const files = JSON.parse(/"files":(\[[^\]]*\])/.exec(fs.readFileSync(path.join(site, "torvin.js"), "utf8"))[1]);
  const gif = files.find((file) => file.filename.endsWith(".gif"));
  const data = Buffer.from(fs.readFileSync(path.join(site, "torvin.data")));
  data.write("XXXXXX", gif.start, "latin1");

  const folder = work();
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  const pictures = path.join(folder, "assets");
  fs.cpSync(assets, pictures, { recursive: true });
  const name = gif.filename.replace(/^\/assets\//, "");
  const bad = fs.readFileSync(path.join(pictures, name));
  bad.write("XXXXXX", 0, "latin1");
  fs.writeFileSync(path.join(pictures, name), bad);
  let native = "";
  try {
    execFileSync(nativeSim, ["--assets", pictures], { input: "0 dump\n", stdio: "pipe" });
  } catch (error) {
    native = error.stderr.toString().trim();
  }

  const server = await serveFolder(site);
  t.after(() => server.close());
  const browser = await launchBrowser();
  t.after(() => browser.close());
  const page = await openPage(browser);
  await page.setRequestInterception(true);
  page.on("request", (request) => {
    if (request.url().endsWith("/torvin.data")) {
      request.respond({ status: 200, contentType: "application/octet-stream", body: data });
    } else {
      request.continue();
    }
  });
  await page.goto(server.url);
  await page.waitForSelector("#failure:not([hidden])");
  const told = await page.$eval("#failure pre", (pre) => pre.textContent);
  assert.strictEqual(`torvin-sim: ${told.replaceAll("/assets/", `${pictures}/`)}`, native);
  assert.match(told, /^These pictures of the game are missing or unreadable:\n/);
  assert.strictEqual(await page.evaluate(() => window.torvin.ready.then(() => "ready", () => "refused")),
                     "refused");
});
