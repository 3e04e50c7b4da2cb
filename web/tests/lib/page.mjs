// Opens the game in a page and gives tests a player's view of it: frames counted, canvas pixels
// sampled right after a frame is drawn, clicks and keys on the canvas.
//
// Animation frames in headless Chromium come slowly and unevenly, so a stepped page replaces the
// clock, and the clock runs only while a test steps it: each of the `count` frames of a step
// advances it by exactly 1/60 s (one update per frame), and those frames follow each other as
// fast as they can be drawn. Between steps the clock stands still, and frames are drawn on the
// page's animation frames without updates: the browser gets its rendering steps, where it hands
// the page input and resizes, and pixels sampled after a step show exactly the state its last
// update left, however slowly the machine answers. Tests wait for frame counts, never wall time.

// Runs in the page before any of its scripts.
function installProbe({ stepped, refuseStorage }) {
  // The clock runs while frames < runUntil; `fast` says whether frames are back to back.
  const probe = { frames: 0, stepped, runUntil: 0, fast: false, requests: [], opened: [] };
  if (refuseStorage) {
    // As a browser with storage turned off for the site does.
    IDBFactory.prototype.open = () => {
      throw new DOMException('access to IndexedDB is denied', 'SecurityError');
    };
  }
  window.__vexmo = probe;
  if (stepped) {
    let now = 0;
    performance.now = () => now;
    probe.advance = (ms) => {
      now += ms;
    };
  }
  let module;
  Object.defineProperty(window, 'Module', {
    configurable: true,
    get() {
      return module;
    },
    set(value) {
      module = value;
      if (!module || module.__probed) return;
      module.__probed = true;
      // Every path the game opens in the page's file system, for checks of the image set.
      module.preRun = module.preRun || [];
      module.preRun.push(() => {
        const open = FS.open;
        FS.open = function (p, ...rest) {
          probe.opened.push(String(p));
          return open.call(this, p, ...rest);
        };
      });
      module.preMainLoop = () => {
        if (!probe.stepped) return;
        const running = probe.frames < probe.runUntil;
        if (running !== probe.fast) {
          // 2, 0: back to back (setImmediate); 1, 1: every animation frame.
          if (running) module._emscripten_set_main_loop_timing(2, 0);
          else module._emscripten_set_main_loop_timing(1, 1);
          probe.fast = running;
        }
        if (running) probe.advance(1000 / 60);
      };
      module.postMainLoop = () => {
        probe.frames++;
        const gl = module.ctx;
        if (gl && !gl.__probed) {
          gl.__probed = true;
          for (const name of ['drawArrays', 'drawElements']) {
            const draw = gl[name];
            gl[name] = function (...args) {
              probe.drew = true;
              return draw.apply(this, args);
            };
          }
        }
        const drew = probe.drew;
        probe.drew = false;
        if (probe.requests.length === 0) return;
        // A frame that drew nothing leaves an empty drawing buffer; the read waits for one
        // that drew, and a stopped clock runs one more update to draw it.
        if (!drew) {
          if (probe.stepped && probe.frames >= probe.runUntil) probe.runUntil = probe.frames + 1;
          return;
        }
        const pending = probe.requests;
        probe.requests = [];
        for (const request of pending) request(gl, module.canvas);
      };
    },
  });
}

export async function openGame(
  browser,
  baseUrl,
  { query = '', stepped = true, refuseStorage = false, viewport, deviceScaleFactor, phone, context: kept } = {},
) {
  // A phone: a touch screen and no mouse; fingers go through Game.fingerDown. A `context` given
  // is a browser profile visited before (its service worker and caches), left open on close.
  const context =
    kept ||
    (await browser.newContext({
      viewport: viewport || { width: 640, height: 480 },
      deviceScaleFactor: deviceScaleFactor || 1,
      ...(phone ? { isMobile: true, hasTouch: true } : {}),
    }));
  const page = await context.newPage();
  const game = new Game(page, context, !kept);
  await page.addInitScript(installProbe, { stepped, refuseStorage });
  await page.goto(baseUrl + 'index.html' + query);
  return game;
}

export class Game {
  constructor(page, context, ownsContext = true) {
    this.page = page;
    this.context = context;
    this.ownsContext = ownsContext;
    this.lines = [];
    this.errors = [];
    this.fingers = new Map();
    page.on('console', (m) => this.lines.push(m.text()));
    page.on('pageerror', (e) => this.errors.push(String(e)));
  }

  // The paths opened so far; forgetOpened starts the list afresh.
  opened() {
    return this.page.evaluate(() => window.__vexmo.opened);
  }
  forgetOpened() {
    return this.page.evaluate(() => {
      window.__vexmo.opened = [];
    });
  }

  frames() {
    return this.page.evaluate(() => window.__vexmo.frames);
  }

  // Runs the game `count` frames (on a stepped page, `count` updates) and waits for them.
  async step(count, timeoutMs = 120000) {
    const target = await this.page.evaluate((n) => {
      const probe = window.__vexmo;
      probe.runUntil = probe.frames + n;
      return probe.runUntil;
    }, count);
    await this.page.waitForFunction((t) => window.__vexmo.frames >= t, target, {
      timeout: timeoutMs,
      polling: 50,
    });
  }

  // Samples `points` (as pixels() does) every few frames until `holds(samples)` is true or
  // `maxFrames` more frames have been drawn; returns the last samples either way, for the
  // caller's assertions. Loading takes a varying number of frames (a new image set after a
  // resize, a cold cache), so checks wait for what a player would wait for.
  async sampleUntil(points, holds, maxFrames = 900) {
    for (let run = 0; ; run += 5) {
      const samples = await this.pixels(points);
      if (holds(samples) || run >= maxFrames) return samples;
      await this.step(5);
    }
  }

  // Waits for a console line matching `pattern`.
  async waitForLine(pattern, timeoutMs = 60000) {
    const start = Date.now();
    while (Date.now() - start < timeoutMs) {
      if (this.lines.some((l) => pattern.test(l))) return;
      await this.page.waitForTimeout(100);
    }
    throw new Error(`no console line like ${pattern} (last: ${this.lines.slice(-5).join(' | ')})`);
  }

  // The canvas's drawing-buffer size in pixels.
  canvasSize() {
    return this.page.evaluate(() => [Module.canvas.width, Module.canvas.height]);
  }

  // RGBA of canvas pixels (x, y from the top-left, in drawing-buffer pixels) read right after
  // the next frame that draws: on a stepped page with its clock stopped, after one more update.
  pixels(points) {
    return this.page.evaluate(
      (pts) =>
        new Promise((resolve) => {
          window.__vexmo.requests.push((gl, canvas) => {
            const out = [];
            const px = new Uint8Array(4);
            for (const [x, y] of pts) {
              gl.readPixels(x, canvas.height - 1 - y, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
              out.push([px[0], px[1], px[2], px[3]]);
            }
            resolve(out);
          });
        }),
      points,
    );
  }

  // The whole next frame as a PNG file (the canvas is not kept between frames, so it is read
  // inside one).
  async screenshot(file) {
    const dataUrl = await this.page.evaluate(
      () =>
        new Promise((resolve) => {
          window.__vexmo.requests.push((gl, canvas) => {
            const w = canvas.width;
            const h = canvas.height;
            const px = new Uint8Array(w * h * 4);
            gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
            const out = document.createElement('canvas');
            out.width = w;
            out.height = h;
            const c2d = out.getContext('2d');
            const image = c2d.createImageData(w, h);
            for (let y = 0; y < h; y++) {
              const from = (h - 1 - y) * w * 4;
              image.data.set(px.subarray(from, from + w * 4), y * w * 4);
            }
            for (let i = 3; i < image.data.length; i += 4) image.data[i] = 255;
            c2d.putImageData(image, 0, 0);
            resolve(out.toDataURL('image/png'));
          });
        }),
    );
    const fs = await import('node:fs');
    fs.writeFileSync(file, Buffer.from(dataUrl.split(',')[1], 'base64'));
  }

  // Input: Playwright returns once the page has handled the event, and the clock stands still
  // until the next step, whose first update sees it.
  // The pointer to canvas pixel (x, y), in CSS pixels for the mouse.
  async movePointer(x, y) {
    const ratio = await this.page.evaluate(() => window.devicePixelRatio || 1);
    await this.page.mouse.move(x / ratio, y / ratio);
  }
  pointerDown() {
    return this.page.mouse.down();
  }
  pointerUp() {
    return this.page.mouse.up();
  }

  async click(x, y, holdFrames = 3) {
    await this.movePointer(x, y);
    await this.step(2);
    await this.pointerDown();
    await this.step(holdFrames);
    await this.pointerUp();
  }

  // Fingers on a touch screen, through the DevTools protocol as a phone's touch screen sends
  // them (no mouse events): `down` puts finger `id` at canvas pixel (x, y) or moves it there,
  // `lift` takes it away. Each call sends the fingers still down, as the protocol wants.
  async fingerDown(id, x, y) {
    const ratio = await this.page.evaluate(() => window.devicePixelRatio || 1);
    const type = this.fingers.has(id) ? 'touchMove' : 'touchStart';
    this.fingers.set(id, { x: x / ratio, y: y / ratio, id });
    await this.touchEvent(type);
  }
  async fingerLift(id) {
    this.fingers.delete(id);
    await this.touchEvent('touchEnd');
  }
  async touchEvent(type) {
    this.cdp = this.cdp || (await this.context.newCDPSession(this.page));
    await this.cdp.send('Input.dispatchTouchEvent', { type, touchPoints: [...this.fingers.values()] });
  }
  // A tap shorter than one update: down and up with the clock stopped between them.
  async tap(x, y, id = 0) {
    await this.fingerDown(id, x, y);
    await this.fingerLift(id);
  }

  async press(key, holdFrames = 3) {
    await this.page.keyboard.down(key);
    await this.step(holdFrames);
    await this.page.keyboard.up(key);
  }

  close() {
    return this.ownsContext ? this.context.close() : this.page.close();
  }
}
