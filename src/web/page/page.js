// The page around the game (the web host, src/web/, in the module torvin.js):
// the clock, the player's input queued with the millisecond at which it
// arrived, and what the game shows — the scene on the canvas, the captions,
// buttons and Score list written over it at the device's resolution, the
// message boxes. The game decides everything; the page only shows and queues.
//
// The module waits for its next event by awaiting torvinPage.wait(), which
// resolves when the time comes or input arrives; while it waits, nothing here
// calls into it.
//
// window.torvin, for tests and curious players:
//   ready        a promise, resolved once the first game has loaded
//   dump()       a promise of the game's state, as torvin-sim's dump line
//   recording()  the game so far as a script, ended by a dump line
"use strict";

(function () {
  const kSceneWidth = 531;
  const kSceneHeight = 343;
  // How far above a whole factor a scale is still taken down to it, for
  // square pixels: the window's rule.
  const kSnap = 0.05;
  // The window's small font in pixels at scale 1, and the smallest a caption
  // may shrink to.
  const kSmallFont = 11;
  const kSmallestCaption = 7;

  // The kinds of input the module takes (web/page_bridge.h).
  const Kind = {
    Key: 1, Click: 2, Close: 3, Dump: 4, Watch: 5, NewGame: 6, Repaint: 7, StopWatching: 8,
  };
  const kKeyP = 80;
  const kKeyPause = 19;
  const kKeyEscape = 27;
  const kKeyF11 = 122;

  const $ = (id) => document.getElementById(id);
  const stage = $("stage");
  const scene = $("scene");
  const canvas = $("canvas");
  const context = canvas.getContext("2d", { alpha: false });
  const captions = [0, 1, 2, 3, 4].map((i) => $(`caption-${i}`));
  const commands = { 1: $("command1"), 2: $("command2") };
  const score = $("score");
  const pointsView = $("points");
  const pausedView = $("paused");
  const notice = $("notice");
  const newGame = $("new-game");

  // ---- Keys: the key codes the window gives for the same key ----

  // Keys named by the browser whose code is not a character's.
  const kNamedKeys = {
    Backspace: 0x08, Tab: 0x09, Clear: 0x0c, Enter: 0x0d, Shift: 0x10, Control: 0x11,
    Alt: 0x12, Pause: 0x13, CapsLock: 0x14, Escape: 0x1b, " ": 0x20, PageUp: 0x21,
    PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27,
    ArrowDown: 0x28, PrintScreen: 0x2c, Insert: 0x2d, Delete: 0x2e, Help: 0x2f,
    ContextMenu: 0x5d, NumLock: 0x90, ScrollLock: 0x91,
    ";": 0xba, "=": 0xbb, ",": 0xbc, "-": 0xbd, ".": 0xbe, "/": 0xbf, "`": 0xc0,
    "[": 0xdb, "\\": 0xdc, "]": 0xdd, "'": 0xde,
  };
  // The keypad's keys other than its digits, while they write their signs.
  const kKeypadKeys = {
    NumpadMultiply: 0x6a, NumpadAdd: 0x6b, NumpadSubtract: 0x6d, NumpadDecimal: 0x6e,
    NumpadComma: 0x6e, NumpadDivide: 0x6f, NumpadEnter: 0x0d,
  };
  const otherScriptLetter = /^(?=\p{L}$)(?!\p{Script=Latin}).$/u;

  // The virtual-key code of a key-down, as the window gives it: a letter key
  // gives the Latin letter the layout writes (65 to 90 whatever Shift or Caps
  // Lock), or, where the layout writes another script, the letter at the
  // key's place on a US keyboard; a Latin letter beyond A to Z is none of the
  // game's; digits, signs and named keys give their usual codes, the keypad
  // its own. A key the game has no code for gives 0.
  function keyCodeOf(event) {
    const key = event.key;
    if (event.code.startsWith("Numpad")) {
      if (/^[0-9]$/.test(key)) {
        return 0x60 + Number(key);
      }
      if (event.code in kKeypadKeys && key !== "Delete") {
        return kKeypadKeys[event.code];
      }
    }
    if (/^F([1-9]|1[0-9]|2[0-4])$/.test(key)) {
      return 0x70 + Number(key.slice(1)) - 1;
    }
    if (key.length === 1) {
      if (/^[0-9]$/.test(key)) {
        return key.charCodeAt(0);
      }
      if (/^[a-zA-Z]$/.test(key)) {
        return key.toUpperCase().charCodeAt(0);
      }
      if (otherScriptLetter.test(key)) {
        const place = /^Key([A-Z])$/.exec(event.code);
        return place ? place[1].charCodeAt(0) : 0;
      }
    }
    if (key === "Dead" || key === "AltGraph" || key === "Meta" || key === "OS") {
      return 0;
    }
    return kNamedKeys[key] || 0;
  }

  // ---- The clock and the input queue ----

  const clock = {
    started: performance.now(),
    pausedAt: null,  // performance.now() when the clock stopped, while it stands
    pausedFor: 0,    // ms the clock stood still in this game
  };
  const inputs = [];
  let lastStamp = 0;
  let waiter = null;  // { resolve, until, takesInput }
  let wakeTimer = 0;
  let taken = null;   // the input the module took last

  function now() {
    const at = clock.pausedAt !== null ? clock.pausedAt : performance.now();
    return Math.max(0, Math.floor(at - clock.started - clock.pausedFor));
  }

  function queue(kind, value = 0, extra = {}) {
    // Stamps never go back, so the queue stays in time order.
    lastStamp = Math.max(now(), lastStamp);
    inputs.push({ kind, value, time: lastStamp, ...extra });
    arm();
  }

  // Wakes the module's wait once its time has come or input it takes arrived.
  function arm() {
    clearTimeout(wakeTimer);
    const w = waiter;
    if (w === null) {
      return;
    }
    if (w.takesInput && inputs.length > 0) {
      wake();
      return;
    }
    if (w.until < 0 || clock.pausedAt !== null) {
      return;  // only input wakes it, or the end of the pause
    }
    const left = w.until - now();
    if (left <= 0) {
      wake();
    } else {
      wakeTimer = setTimeout(arm, left);  // looked at again: timers may come early
    }
  }

  function wake() {
    const w = waiter;
    waiter = null;
    clearTimeout(wakeTimer);
    w.resolve();
  }

  // ---- The game's state around the game: playing, watching, paused ----

  const state = {
    loaded: false,     // a game is on (also a watched run)
    watching: false,   // a script plays the game
    over: false,       // a watched run reached its end
    endedAt: 0,        // the game's time then
    failed: false,     // the pictures could not be read
    firstFrameAt: null,
    recording: "",
    showPoints: readShowPoints(),
    points: [0, 0],
  };
  const boxes = [];  // open message boxes, innermost last
  const pendingDumps = [];
  const stats = { ticks: 0, courseLateness: [], painted: 0, startedAt: performance.now() };
  let resolveReady;
  let rejectReady;
  const ready = new Promise((resolve, reject) => {
    resolveReady = resolve;
    rejectReady = reject;
  });
  ready.catch(() => {});

  function readShowPoints() {
    try {
      return localStorage.getItem("torvin.showPoints") === "1";
    } catch {
      return false;
    }
  }

  function paused() {
    return clock.pausedAt !== null;
  }

  // Pauses the player's game; a watched run plays on, as a replay in the
  // window does (its clock catches up exactly when the page shows again).
  function pause() {
    if (paused() || !state.loaded || state.over || state.watching) {
      return;
    }
    clock.pausedAt = performance.now();
    pausedView.hidden = false;
    arm();
  }

  function resume() {
    if (!paused()) {
      return;
    }
    clock.pausedFor += performance.now() - clock.pausedAt;
    clock.pausedAt = null;
    pausedView.hidden = true;
    arm();
  }

  // ---- The scene's place: scaled to fit, keeping its shape ----

  const fit = { scale: 1, left: 0, top: 0 };

  function edge(value) {
    return Math.round(value);
  }

  // A box of the scene (its coordinates) where the page shows it, relative to
  // the scene's own top-left corner; edges rounded one by one, so that boxes
  // that touch in the scene still touch.
  function place(element, left, top, width, height) {
    const l = edge(left * fit.scale);
    const t = edge(top * fit.scale);
    element.style.left = `${l}px`;
    element.style.top = `${t}px`;
    element.style.width = `${edge((left + width) * fit.scale) - l}px`;
    element.style.height = `${edge((top + height) * fit.scale) - t}px`;
  }

  function fontPixels(size) {
    return `${Math.max(1, Math.round(size * fit.scale))}px`;
  }

  function layout() {
    const width = stage.clientWidth;
    const height = stage.clientHeight;
    let scale = Math.min(width / kSceneWidth, height / kSceneHeight);
    const whole = Math.floor(scale);
    if (whole >= 1 && scale - whole <= kSnap * scale) {
      scale = whole;
    }
    if (!(scale > 0)) {
      scale = 1;
    }
    fit.scale = scale;
    fit.left = edge((width - kSceneWidth * scale) / 2);
    fit.top = edge((height - kSceneHeight * scale) / 2);
    const shownWidth = edge(kSceneWidth * scale);
    const shownHeight = edge(kSceneHeight * scale);
    scene.style.left = `${fit.left}px`;
    scene.style.top = `${fit.top}px`;
    scene.style.width = `${shownWidth}px`;
    scene.style.height = `${shownHeight}px`;
    canvas.style.width = `${shownWidth}px`;
    canvas.style.height = `${shownHeight}px`;
    const ratio = window.devicePixelRatio || 1;
    const deviceWidth = Math.max(1, Math.round(shownWidth * ratio));
    const deviceHeight = Math.max(1, Math.round(shownHeight * ratio));
    if (canvas.width !== deviceWidth || canvas.height !== deviceHeight) {
      // The old pixels stretched stand in until the module has painted the
      // scene at its new size (after the still moment of a fall, at worst).
      const old = document.createElement("canvas");
      old.width = canvas.width;
      old.height = canvas.height;
      old.getContext("2d").drawImage(canvas, 0, 0);
      canvas.width = deviceWidth;
      canvas.height = deviceHeight;
      context.drawImage(old, 0, 0, deviceWidth, deviceHeight);
      if (state.loaded) {
        queue(Kind.Repaint);
      }
    }
    for (const id of [1, 2]) {
      const button = commands[id];
      const box = id === 1 ? [352, 312, 65, 25] : [416, 312, 49, 25];
      place(button, ...box);
      button.style.fontSize = fontPixels(kSmallFont);
    }
    place(score, 496, 16, 33, 314);
    score.style.fontSize = fontPixels(kSmallFont);
    pointsView.style.fontSize = fontPixels(10);
    captions.forEach(layoutCaption);
  }

  // ---- What the module shows ----

  const labels = captions.map(() => null);

  function layoutCaption(element, index) {
    const label = labels[index];
    if (label === null || !label.visible) {
      element.hidden = true;
      return;
    }
    element.hidden = false;
    element.textContent = label.caption;
    place(element, label.left, label.top, label.width, label.height);
    // The largest of the small font's sizes at which the caption fits its
    // box, so that a long caption keeps its last word.
    for (let size = kSmallFont; size >= kSmallestCaption; --size) {
      element.style.fontSize = fontPixels(size);
      if (element.scrollWidth <= element.clientWidth + 0.5 &&
          element.scrollHeight <= element.clientHeight + 0.5) {
        break;
      }
    }
  }

  function showPoints() {
    pointsView.hidden = !state.showPoints || !state.loaded;
    pointsView.textContent = `Points ${state.points[0]} · Total ${state.points[1]}`;
  }

  function visibleBox() {
    for (let i = boxes.length - 1; i >= 0; --i) {
      if (!boxes[i].closing) {
        return boxes[i];
      }
    }
    return null;
  }

  // The player closes the innermost box shown: it goes at once, and the game
  // hears of it at that millisecond.
  function closeBox() {
    const box = visibleBox();
    if (box === null) {
      return false;
    }
    box.closing = true;
    box.element.hidden = true;
    queue(Kind.Close);
    const below = visibleBox();
    if (below !== null) {
      below.ok.focus();
    }
    return true;
  }

  function clearBoxes() {
    for (const box of boxes.splice(0)) {
      box.element.remove();
    }
  }

  function resetPage(watching) {
    clearBoxes();
    score.replaceChildren();
    labels.fill(null);
    captions.forEach(layoutCaption);
    state.recording = "";
    state.watching = watching;
    state.over = false;
    newGame.hidden = !watching;
    notice.textContent = watching ? "Watching a run (Escape stops it)." : "";
    pausedView.hidden = true;
  }

  function download(name, text) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type: "text/plain" }));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  // The game so far as a script, as the window records one.
  function recording() {
    const end = state.over ? state.endedAt : now();
    return `# A game of Torvin, played in the browser\n${state.recording}${end} dump\n`;
  }

  window.torvinPage = {
    now,
    nextInputTime: () => (inputs.length > 0 ? inputs[0].time : -1),
    takeInput() {
      taken = inputs.shift();
      return taken;
    },
    inputBytes: () => taken.bytes,
    inputName: () => taken.name,
    wait(until) {
      if (!state.loaded) {
        state.loaded = true;  // the window has loaded and waits for its first event
        showPoints();
        resolveReady();
        if (document.visibilityState === "hidden") {
          pause();  // opened in a tab in the background
        }
      }
      return new Promise((resolve) => {
        waiter = { resolve, until, takesInput: true };
        arm();
      });
    },
    sleepUntil(until) {
      return new Promise((resolve) => {
        waiter = { resolve, until, takesInput: false };
        arm();
      });
    },
    gameStarted(watching) {
      // The clock starts again with the game; a dump asked for meanwhile is
      // answered by the new game at its start.
      clock.started = performance.now();
      clock.pausedAt = null;
      clock.pausedFor = 0;
      lastStamp = 0;
      const kept = inputs.filter((input) => input.kind === Kind.Dump);
      inputs.splice(0, inputs.length, ...kept.map((input) => ({ ...input, time: 0 })));
      resetPage(watching);
      stats.ticks = 0;
      stats.courseLateness = [];
      stats.startedAt = performance.now();
    },
    watchEnded(endedAt) {
      // The last scene stays as it was, with its boxes; nothing closes them.
      state.over = true;
      state.endedAt = endedAt;
      pausedView.hidden = true;
      clock.pausedAt = null;
      notice.textContent = "The run has been watched to its end.";
      newGame.hidden = false;
    },
    // The game cannot go on: the pictures cannot be read (the window's
    // sentences), or the page failed.
    pictureError(text) {
      state.failed = true;
      console.error(`torvin: ${text}`);
      const failure = $("failure");
      failure.querySelector("pre").textContent = text;
      failure.hidden = false;
      rejectReady(new Error(text));
    },
    scriptRefused(text) {
      notice.textContent = text;
      window.torvin.refusal = text;
    },
    deviceWidth: () => canvas.width,
    deviceHeight: () => canvas.height,
    paint(left, top, width, height, rgba) {
      context.putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), left, top);
      stats.painted += width * height;
      if (state.firstFrameAt === null) {
        state.firstFrameAt = performance.now();
      }
    },
    label(index, visible, left, top, width, height, caption) {
      labels[index] = { visible, left, top, width, height, caption };
      layoutCaption(captions[index], index);
    },
    button(index, caption, enabled) {
      commands[index].textContent = caption;
      commands[index].disabled = !enabled;
    },
    scoreItem(item) {
      const line = document.createElement("div");
      line.setAttribute("role", "listitem");
      line.textContent = item;
      score.append(line);
      score.scrollTop = score.scrollHeight;  // the newest always in sight
    },
    title(caption) {
      document.title = caption;
    },
    points(run, total) {
      state.points = [run, total];
      showPoints();
    },
    boxOpened(text) {
      const element = document.createElement("dialog");
      element.className = "box";
      element.setAttribute("aria-label", "Torvin");
      const heading = document.createElement("h2");
      heading.textContent = "Torvin";
      const message = document.createElement("p");
      message.textContent = text;
      const buttons = document.createElement("div");
      const ok = document.createElement("button");
      ok.type = "button";
      ok.textContent = "OK";
      buttons.append(ok);
      element.append(heading, message, buttons);
      const box = { element, ok, text, closing: false };
      ok.addEventListener("click", (event) => {
        event.preventDefault();
        if (!paused() && !state.watching && visibleBox() === box) {
          closeBox();
        }
      });
      boxes.push(box);
      $("boxes").append(element);
      element.show();
      ok.focus({ preventScroll: true });
    },
    boxClosed() {
      const closed = boxes.pop();
      if (closed !== undefined) {
        closed.element.remove();
      }
      // A player who closed a box just as a newer one opened closed, for the
      // game, the newer one: the older one is still open and shows again.
      for (const box of boxes) {
        box.closing = false;
        box.element.hidden = false;
      }
      const top = visibleBox();
      if (top !== null) {
        top.ok.focus({ preventScroll: true });
      } else if (document.activeElement && document.activeElement.closest("dialog")) {
        document.activeElement.blur();
      }
    },
    recorded(line) {
      state.recording += line;
    },
    dumped(line) {
      const answer = pendingDumps.shift();
      if (answer !== undefined) {
        answer(line);
      }
    },
    ticked(timer, late) {
      ++stats.ticks;
      if (timer === 2 && stats.courseLateness.length < 1000000) {
        stats.courseLateness.push(late);
      }
    },
  };

  window.torvin = {
    ready,
    // The game's state now, as torvin-sim's dump line.
    async dump() {
      await ready;
      return new Promise((resolve) => {
        pendingDumps.push(resolve);
        queue(Kind.Dump);
      });
    },
    recording,
    // For the figures: when the scene was first painted (ms since the page
    // began to load), the pixels painted, the ticks run and how late the
    // course's ticks came.
    stats: () => ({
      firstFrameAt: state.firstFrameAt,
      ticks: stats.ticks,
      painted: stats.painted,  // canvas pixels painted since the page began
      seconds: (performance.now() - stats.startedAt) / 1000,
      courseLateness: stats.courseLateness.slice(),
    }),
    paused,
    // A watched run has reached its end.
    over: () => state.over,
    refusal: null,
  };

  // ---- The player ----

  function playing() {
    return state.loaded && !state.over && !state.failed;
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(() => {});
    }
  }

  function leaveFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
  }

  function togglePoints() {
    state.showPoints = !state.showPoints;
    try {
      localStorage.setItem("torvin.showPoints", state.showPoints ? "1" : "0");
    } catch {
      // a page that may keep nothing still shows them until it is closed
    }
    showPoints();
  }

  // Keys the browser keeps for itself even while the game hears them.
  const kBrowsersKeys = new Set(["Tab", "F5", "F12"]);

  function onKeyDown(event) {
    if (event.isComposing || !state.loaded || state.failed) {
      return;
    }
    const code = keyCodeOf(event);
    const letter = code >= 65 && code <= 90 && event.key.length === 1;
    if (letter && (event.ctrlKey || event.altKey || event.metaKey)) {
      return;  // the browser's own shortcut; never the game's letter
    }
    if (!kBrowsersKeys.has(event.key) && !(event.ctrlKey || event.altKey || event.metaKey)) {
      event.preventDefault();  // no scrolling, no help page, no quick find
    }
    const pausing = (code === kKeyP || code === kKeyPause) && !event.repeat;
    if (code === kKeyF11) {
      if (!event.repeat) {
        toggleFullScreen();
      }
      if (paused() || state.watching || state.over) {
        return;
      }
    } else if (code === 0x71 /* F2 */ && !paused()) {
      // The points on screen; while paused it does nothing, as in the window.
      if (!event.repeat) {
        togglePoints();
      }
      return;
    } else if (state.over) {
      if (code === kKeyEscape) {
        leaveFullScreen();
      }
      return;
    } else if (paused()) {
      // Nothing reaches the game; the key that resumes is not played. Escape
      // still closes an open box (the box has the key), else leaves full
      // screen.
      if (pausing) {
        resume();
      } else if (code === kKeyEscape && !state.watching && visibleBox() !== null) {
        closeBox();
      } else if (code === kKeyEscape) {
        leaveFullScreen();
      }
      return;
    } else if (state.watching) {
      // A watched run plays on its own; Escape stops it.
      if (code === kKeyEscape) {
        queue(Kind.StopWatching);
      }
      return;
    } else if (code === 0x70 /* F1 */) {
      // Exactly the button's click, and only where the button could be clicked.
      if (!event.repeat && boxes.length === 0 && !commands[2].disabled) {
        queue(Kind.Click, 2);
      }
      return;
    }
    queue(Kind.Key, code);
    if (visibleBox() !== null && (code === 0x0d || code === kKeyEscape || code === 0x20)) {
      closeBox();  // the key reached the box, which closes
    } else if (pausing) {
      pause();  // the game heard the key; now its clock stops
    } else if (code === kKeyEscape) {
      leaveFullScreen();
    }
  }

  window.addEventListener("keydown", onKeyDown, true);
  for (const id of [1, 2]) {
    commands[id].addEventListener("click", () => {
      if (playing() && !state.watching && !paused()) {
        queue(Kind.Click, id);
      }
    });
  }
  pausedView.addEventListener("pointerdown", (event) => {
    event.preventDefault();
    resume();
  });
  document.addEventListener("visibilitychange", () => {
    if (document.visibilityState === "hidden") {
      pause();
    }
  });
  window.addEventListener("blur", pause);

  // The page's own buttons give the focus back, so that Space plays on.
  function barButton(id, action) {
    $(id).addEventListener("click", (event) => {
      event.currentTarget.blur();
      action();
    });
  }
  barButton("full-screen", toggleFullScreen);
  barButton("save-run", () => download("torvin-run.script", recording()));
  barButton("watch-run", () => $("run-file").click());
  barButton("new-game", () => {
    if (state.loaded) {
      queue(Kind.NewGame);
    }
  });
  $("run-file").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    event.target.value = "";
    if (file !== undefined) {
      window.torvin.watch(new Uint8Array(await file.arrayBuffer()), file.name);
    }
  });
  // Watches the script `bytes` (a Uint8Array or a string) called `name`; a bad
  // one is refused with the reader's sentence (window.torvin.refusal).
  window.torvin.watch = (bytes, name = "run.script") => {
    const data = typeof bytes === "string" ? new TextEncoder().encode(bytes) : bytes;
    window.torvin.refusal = null;
    queue(Kind.Watch, 0, { bytes: data, name });
  };

  // A fault of the page itself stops the game: it says so instead of
  // standing still without a word.
  window.addEventListener("error", (event) => {
    if (!state.failed) {
      window.torvinPage.pictureError(`The game stopped: ${event.message}`);
    }
  });

  window.addEventListener("resize", layout);
  document.addEventListener("fullscreenchange", layout);
  layout();
  showPoints();
})();

// The module's settings: it runs main() (the game) as soon as it has loaded.
var Module = {
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),
};
