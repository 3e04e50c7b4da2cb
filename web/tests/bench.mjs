// Browser figures for scripts/bench, in a headed Chromium (animation frames are throttled in a
// headless one): time from navigation to the first menu frame (median of five navigations), then
// updates per second and the 99th percentile of the update interval's deviation from 1/60 s over
// SECONDS of crowded play (Normal started, nothing shot, so the dish fills up); and a first
// visit and a repeat one in the same browser profile over a 10 Mbit/s link, to the first menu
// frame (the repeat finds the game kept by the service worker). Prints one JSON line.
// node bench.mjs DIR SECONDS
import { serve } from './lib/server.mjs';
import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';

const [dir, seconds = '30'] = process.argv.slice(2);
const kStartRuns = 5;
const server = await serve(dir);
const browser = await launch({ headless: false });

// The menu's first frame (its blue-green sea drawn at 0.88, 0.42 of the canvas) and the frame
// in which it comes to rest (the orange Normal button at 0.4, 0.7), in ms after navigation.
async function menuTimes(game) {
  await game.page.evaluate(() => {
    const probe = window.__vexmo;
    probe.menuMs = { shown: -1, rest: -1 };
    const at = (gl, canvas, fx, fy) => {
      const px = new Uint8Array(4);
      const x = Math.round(canvas.width * fx);
      const y = canvas.height - 1 - Math.round(canvas.height * fy);
      gl.readPixels(x, y, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
      return px;
    };
    const look = (gl, canvas) => {
      const now = performance.now();
      const [r, g, b] = at(gl, canvas, 0.88, 0.42);
      if (probe.menuMs.shown < 0 && g > 20 && b > g && b > r) probe.menuMs.shown = now;
      const [nr, ng, nb] = at(gl, canvas, 0.4, 0.7);
      if (nr > 170 && ng > 100 && ng < nr && nb < ng - 40) {
        probe.menuMs.rest = now;
      } else {
        probe.requests.push(look);
      }
    };
    probe.requests.push(look);
  });
  await game.page.waitForFunction(() => window.__vexmo.menuMs.rest >= 0, null, { timeout: 60000 });
  return game.page.evaluate(() => window.__vexmo.menuMs);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

try {
  // Navigations of their own for the start-up figure (the first is the cold one).
  const starts = [];
  for (let run = 0; run < kStartRuns; run++) {
    const first = await openGame(browser, server.url, { stepped: false });
    starts.push(await menuTimes(first));
    await first.close();
  }
  const firstMenuMs = median(starts.map((t) => t.shown));
  const link = await serve(dir, 0, { bitsPerSecond: 10e6 });
  const visit = await openGame(browser, link.url, { stepped: false });
  const firstVisit = await menuTimes(visit);
  for (let waited = 0; waited < 60000; waited += 200) {
    const whole = await visit.page.evaluate(async () => {
      const names = await caches.keys();
      if (names.length !== 1) return false;
      const files = (await (await caches.open(names[0])).keys()).map((r) => r.url);
      return ['vexmo.data', 'vexmo.wasm', 'vexmo.js'].every((f) => files.some((u) => u.endsWith(f)));
    });
    if (whole) break;
    await visit.page.waitForTimeout(200);
  }
  await visit.page.close();
  const repeat = await openGame(browser, link.url, { stepped: false, context: visit.context });
  const cachedVisit = await menuTimes(repeat);
  await visit.context.close();
  link.close();
  const menuAtRestMs = median(starts.map((t) => t.rest));
  const game = await openGame(browser, server.url, { stepped: false });
  await menuTimes(game);
  await game.step(90);
  const [w, h] = await game.canvasSize();
  await game.click(Math.round(w * 0.4), Math.round(h * 0.7));
  await game.step(120);
  // The input device samples the pointer once per update: those calls time the updates.
  await game.page.evaluate(() => {
    const times = (window.__vexmo.updates = []);
    const sample = GLFW.getCursorPos;
    GLFW.getCursorPos = function (...args) {
      times.push(performance.now());
      return sample.apply(this, args);
    };
  });
  await game.page.waitForTimeout(Number(seconds) * 1000);
  const times = await game.page.evaluate(() => window.__vexmo.updates);
  const span = (times[times.length - 1] - times[0]) / 1000;
  const ups = (times.length - 1) / span;
  // Deviation of each update from its place on a 60 Hz grid fitted to the first update.
  const deviations = [];
  for (let i = 1; i < times.length; i++) deviations.push(Math.abs(times[i] - times[i - 1] - 1000 / 60));
  deviations.sort((a, b) => a - b);
  const p99 = deviations[Math.floor(deviations.length * 0.99)];
  console.log(JSON.stringify({ firstMenuMs: Math.round(firstMenuMs), menuAtRestMs: Math.round(menuAtRestMs), coldMenuMs: Math.round(starts[0].shown), firstVisitMs: Math.round(firstVisit.shown), cachedVisitMs: Math.round(cachedVisit.shown), ups: +ups.toFixed(2), p99IntervalDeviationMs: +p99.toFixed(2), updates: times.length, seconds: +span.toFixed(1), errors: game.errors.length }));
} finally {
  await browser.close();
  server.close();
}
