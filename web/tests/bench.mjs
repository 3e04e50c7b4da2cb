// Browser figures for scripts/bench, in a headed Chromium (animation frames are throttled in a
// headless one): time from navigation to the first menu frame, then updates per second and the
// 99th percentile of the update interval's deviation from 1/60 s over SECONDS of crowded play
// (Normal started, nothing shot, so the dish fills up). Prints one JSON line.
// node bench.mjs DIR SECONDS
import { serve } from './lib/server.mjs';
import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';

const [dir, seconds = '30'] = process.argv.slice(2);
const server = await serve(dir);
const browser = await launch({ headless: false });
try {
  const game = await openGame(browser, server.url, { stepped: false });
  // Every drawn frame is checked for the menu's orange Normal button (0.4, 0.7 of the canvas).
  await game.page.evaluate(() => {
    const probe = window.__vexmo;
    probe.firstMenuMs = -1;
    const look = (gl, canvas) => {
      const px = new Uint8Array(4);
      gl.readPixels(Math.round(canvas.width * 0.4), canvas.height - 1 - Math.round(canvas.height * 0.7), 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
      if (px[0] > 170 && px[1] > 100 && px[1] < px[0] && px[2] < px[1] - 40) {
        probe.firstMenuMs = performance.now();
      } else {
        probe.requests.push(look);
      }
    };
    probe.requests.push(look);
  });
  await game.page.waitForFunction(() => window.__vexmo.firstMenuMs >= 0, null, { timeout: 60000 });
  const firstMenuMs = await game.page.evaluate(() => window.__vexmo.firstMenuMs);
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
  console.log(JSON.stringify({ firstMenuMs: Math.round(firstMenuMs), ups: +ups.toFixed(2), p99IntervalDeviationMs: +p99.toFixed(2), updates: times.length, seconds: +span.toFixed(1), errors: game.errors.length }));
} finally {
  await browser.close();
  server.close();
}
