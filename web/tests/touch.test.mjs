// The game on a phone: a touch screen and no mouse (a mobile context; fingers through the
// DevTools protocol's touch events, lib/page.mjs), checked by sampled canvas pixels.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { servedBrowser } from './lib/session.mjs';
import { openGame } from './lib/page.mjs';
import * as colour from './lib/colours.mjs';
import { difficultyButtons, expectMenu, expectPlay } from './lib/screens.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = process.env.VEXMO_WEB_DIR || path.join(here, '../../build-web/web');
const kMenuFrames = 150;
// Long enough for the ship to go half way round the rim (4 degrees an update) and fire.
const kSteerFrames = 60;

const session = servedBrowser(webDir);

// Where the ship is and whether it fires: bright, saturated points in a strip across the top
// and across the bottom of the rim (the ship is a wide sprite there, a passing shot a thin
// dash, and the rim the same at both), and rows with a shot in a band through the dish's centre, above and below it (a ship
// at the top fires down the upper half first, one at the bottom up the lower half). A shot is
// drawn a little to one side of its line, so the band is wider than a shot.
async function look(game) {
  const [w, h] = await game.canvasSize();
  const cx = Math.round(w / 2);
  const cy = Math.round(h / 2);
  const strips = [];
  for (let dy = 4; dy <= 20; dy += 4) {
    for (let dx = -40; dx <= 40; dx += 2) strips.push([cx + dx, dy], [cx + dx, h - dy]);
  }
  const band = [];
  for (let d = 20; d <= h * 0.38; d += 4) {
    for (const dx of [-16, -8, 0, 8, 16]) band.push([cx + dx, cy - d], [cx + dx, cy + d]);
  }
  const px = await game.pixels([...strips, ...band]);
  const lit = (i) => colour.isShot(px[i]);
  const strip = (side) => px.slice(0, strips.length).filter((_, i) => i % 2 === side);
  const rows = (side) => {
    const hit = new Set();
    band.forEach((p, i) => {
      if (i % 2 === side && lit(strips.length + i)) hit.add(p[1]);
    });
    return hit.size;
  };
  return { top: strip(0), bottom: strip(1), shotsAbove: rows(0), shotsBelow: rows(1) };
}
// The strips as they are with the ship at the side (`side`) show the rim alone; the ship
// changes a few dozen points of its own strip, a passing shot a few.
const changed = (now, was) => now.filter((p, i) => p.some((c, k) => Math.abs(c - was[i][k]) > 60)).length;
const shipAt = (s, side) => {
  const top = changed(s.top, side.top);
  const bottom = changed(s.bottom, side.bottom);
  return { top: top >= 20 && bottom <= 10, bottom: bottom >= 20 && top <= 10, seen: [top, bottom] };
};
const told = (s, side) => JSON.stringify({ ...shipAt(s, side), above: s.shotsAbove, below: s.shotsBelow });

test('with fingers alone: a tap starts, a held finger steers and fires, a second finger steers nothing, a tap pauses', async (t) => {
  const game = await openGame(session.browser, session.server.url, { phone: true });
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  const [w, h] = await game.canvasSize();

  // A tap shorter than one update starts the game.
  const [, normal] = difficultyButtons(w, h);
  await game.tap(normal[0], normal[1]);
  await game.step(150);
  await expectPlay(game);

  // Held at the right edge, the finger brings the ship to the side: the strips show the rim.
  await game.fingerDown(0, w - 4, Math.round(h / 2));
  await game.step(kSteerFrames);
  await game.fingerLift(0);
  await game.step(40);
  const side = await look(game);
  const atTop = (s) => shipAt(s, side).top;
  const atBottom = (s) => shipAt(s, side).bottom;
  const top = [Math.round(w / 2), 4];
  const bottom = [Math.round(w / 2), h - 4];
  await game.fingerDown(0, ...top);
  await game.step(kSteerFrames);
  const top1 = await look(game);
  assert.ok(atTop(top1) && top1.shotsAbove >= 8, `ship at the top, firing: ${told(top1, side)}`);

  await game.fingerDown(0, ...bottom); // the finger slides to the bottom
  await game.step(kSteerFrames);
  const bottom1 = await look(game);
  assert.ok(atBottom(bottom1) && bottom1.shotsBelow >= 8, `ship at the bottom, firing: ${told(bottom1, side)}`);

  // A second finger at the top, and then the first one lifting, leave the ship at the bottom:
  // the first finger steers until it lifts, and a finger still down keeps the guns firing.
  // Had the ship followed the second finger at any time, it would have reached the top (half
  // way round takes 45 updates) and nothing would have brought it back. It is looked for once
  // the shots have left the dish.
  await game.fingerDown(1, ...top);
  await game.step(kSteerFrames);
  await game.fingerLift(0);
  await game.step(kSteerFrames);
  const secondOnly = await look(game);
  await game.fingerLift(1);
  await game.step(40);
  const after = await look(game);
  assert.ok(secondOnly.shotsBelow >= 4, `the second finger fires: ${told(secondOnly, side)}`);
  assert.ok(atBottom(after), `the ship stayed at the bottom: ${told(after, side)}`);

  // The pause button in the top-left corner.
  await game.step(30);
  await game.tap(Math.round((w * 12) / 640), Math.round((h * 12) / 480));
  await game.step(30);
  const [dimmed] = await game.pixels([[12, 12]]);
  assert.ok(!colour.isWhite(dimmed) && dimmed[0] > 40, `the pause menu dims the field, got ${dimmed}`);
  assert.deepEqual(game.errors, []);
});

// The badge box's list: the wheel steps it half a row (28 units) a notch, a finger's drag
// moves it with the finger. Seen as the column of badge pictures shifted up by as much.
test('the badge box scrolls with the mouse wheel and with a drag of a finger', async (t) => {
  const game = await openGame(session.browser, session.server.url, { phone: true });
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  // The badge button, above the sound button at the left edge (game/layout.cpp).
  await game.tap(32, 168);
  await game.step(60);
  const column = [];
  for (let y = 100; y < 420; y += 2) column.push([37, y]);
  // The shift (in steps of 2 pixels) that lines the list up best again; the box is a little
  // see-through over the moving menu, so points need only come close.
  const near = (a, b) => a.every((c, k) => Math.abs(c - b[k]) <= 24);
  const shiftedBy = async (before) => {
    const after = await game.pixels(column);
    let best = -1;
    let bestScore = -1;
    for (let s = 0; s <= 60; s++) {
      const n = column.length - s;
      let score = 0;
      for (let i = 0; i < n; i++) if (near(after[i], before[i + s])) score++;
      if (score / n > bestScore) {
        bestScore = score / n;
        best = 2 * s;
      }
    }
    return best;
  };
  const start = await game.pixels(column);
  await game.movePointer(320, 240);
  await game.page.mouse.wheel(0, 300); // three notches toward the user
  await game.step(10);
  assert.equal(await shiftedBy(start), 84, 'three wheel notches scroll a row and a half');

  const wheeled = await game.pixels(column);
  await game.fingerDown(0, 320, 300);
  await game.step(2);
  for (let y = 290; y >= 240; y -= 10) {
    await game.fingerDown(0, 320, y);
    await game.step(2);
  }
  await game.fingerLift(0);
  await game.step(10);
  assert.equal(await shiftedBy(wheeled), 60, 'a drag of 60 pixels up scrolls 60 pixels');
  assert.deepEqual(game.errors, []);
});
