// The browser build in Debian's headless Chromium, checked the way a player sees it: sampled
// canvas pixels after stepped frames (lib/page.mjs), the page's console, and what the page
// opened from its data package. Run: node --test (VEXMO_WEB_DIR names the built page).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { servedBrowser } from './lib/session.mjs';
import { openGame } from './lib/page.mjs';
import * as colour from './lib/colours.mjs';
import { expectMenu, expectPlay, startNormal } from './lib/screens.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = process.env.VEXMO_WEB_DIR || path.join(here, '../../build-web/web');
// Loading takes about half a second and the menu slides in over another half.
const kMenuFrames = 150;
// The game-over overlay stays 90 updates before the menu comes back.
const kGameOverFrames = 150;

const session = servedBrowser(webDir);

// Escape opens the pause menu, Left moves its focus from resume to quit, Enter takes it; the
// game-over overlay follows.
async function quitThroughPause(game) {
  await game.press('Escape');
  await game.step(20);
  await game.press('ArrowLeft');
  await game.step(5);
  await game.press('Enter');
  await game.step(kGameOverFrames);
}

test('the menu appears with its three difficulty buttons', async (t) => {
  const game = await openGame(session.browser, session.server.url);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  assert.deepEqual(game.errors, []);
});

test('Normal starts play, firing draws along the line of fire, Escape pauses, Quit returns to the menu', async (t) => {
  const game = await openGame(session.browser, session.server.url);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await startNormal(game);
  await expectPlay(game);

  // The ship turns toward the pointer while it is held, 4 degrees an update: holding it at the
  // right edge for a second brings the ship to the right of the rim. Shots then travel left
  // from it along the middle row toward the dish's centre.
  await game.movePointer(600, 240);
  await game.pointerDown();
  await game.step(60);
  await game.pointerUp();
  await game.step(30);
  const line = [];
  for (let x = 340; x <= 520; x += 4) line.push([x, 240]);
  const reds = (px) => px.filter(colour.isRedShot).length;
  const idle = reds(await game.pixels(line));
  await game.pointerDown();
  await game.step(12);
  const firing = reds(await game.pixels(line));
  await game.pointerUp();
  assert.ok(idle <= 2, `no shots before firing (${idle} red points)`);
  assert.ok(firing >= 8, `shots along the line of fire (${firing} red points)`);

  await game.press('Escape');
  await game.step(30);
  const [dimmed] = await game.pixels([[12, 12]]);
  assert.ok(!colour.isWhite(dimmed) && dimmed[0] > 40, `pause menu dims the field, got ${dimmed}`);
  // Left moves the focus from resume to quit, Enter takes it.
  await game.press('ArrowLeft');
  await game.step(5);
  await game.press('Enter');
  await game.step(kGameOverFrames + kMenuFrames);
  await expectMenu(game);
  assert.deepEqual(game.errors, []);
});

test('a finished game is in the menu lists after a reload (IndexedDB)', async (t) => {
  const game = await openGame(session.browser, session.server.url);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  const [w, h] = await game.canvasSize();
  // The score columns at the right: top ten, then last ten.
  const lists = [];
  for (let y = Math.round(h * 0.15); y < h * 0.9; y += 3) {
    for (let x = Math.round(w * 0.96); x < w * 0.995; x += 2) lists.push([x, y]);
  }
  const fresh = await game.pixels(lists);
  await startNormal(game);
  await game.movePointer(600, 240);
  await game.pointerDown();
  await game.step(240);
  await game.pointerUp();
  await quitThroughPause(game);
  await expectMenu(game);
  await game.page.waitForFunction(() => Module.vexmoSaves.syncs > 0, null, { timeout: 30000 });
  const played = await game.pixels(lists);
  assert.ok(!colour.same(fresh, played), 'the finished game changes the lists');

  await game.page.reload();
  await game.step(kMenuFrames);
  await expectMenu(game);
  const reloaded = await game.sampleUntil(lists, (px) => colour.same(played, px), 120);
  assert.ok(colour.same(played, reloaded), 'the lists after the reload are the lists before it');
  assert.deepEqual(game.errors, []);
});

test('a browser refusing storage plays on without saving and says so', async (t) => {
  const game = await openGame(session.browser, session.server.url, { refuseStorage: true });
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  assert.ok(game.lines.some((l) => /refuses storage/.test(l)), 'the console says saves are off');
  await startNormal(game);
  await expectPlay(game);
  // A game quit through the pause menu is saved, or here, told as not saved.
  await quitThroughPause(game);
  await expectMenu(game);
  assert.ok(
    game.lines.some((l) => l === 'Save failed: this browser refuses storage'),
    `the save is told as failed: ${game.lines.filter((l) => /Save/.test(l))}`,
  );
  assert.deepEqual(game.errors, []);
});

test('a resize to 1280x1024 keeps the game working and loads the -hd2 images', async (t) => {
  const game = await openGame(session.browser, session.server.url);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await game.forgetOpened();
  await game.page.setViewportSize({ width: 1280, height: 1024 });
  await game.step(kMenuFrames);
  assert.deepEqual(await game.canvasSize(), [1280, 1024]);
  await expectMenu(game);
  const files = await game.opened();
  assert.ok(files.some((f) => /-hd2\.png$/.test(f)), `-hd2 images opened: ${files.slice(0, 5)}`);
  await startNormal(game);
  await expectPlay(game);
  assert.deepEqual(game.errors, []);
});

test('a 3x screen gets the -hd2 images from the start', async (t) => {
  // A small page on a phone-class screen: 420 x 300 CSS pixels are 1260 x 900 device pixels.
  const game = await openGame(session.browser, session.server.url, {
    deviceScaleFactor: 3,
    viewport: { width: 420, height: 300 },
  });
  t.after(() => game.close());
  await game.step(kMenuFrames);
  assert.deepEqual(await game.canvasSize(), [1260, 900]);
  await expectMenu(game);
  const files = await game.opened();
  assert.ok(files.some((f) => /-hd2\.png$/.test(f)), `-hd2 images opened: ${files.slice(0, 5)}`);
});

test('a 60 second demo logs no uncaught error and no runtime error', async (t) => {
  const game = await openGame(session.browser, session.server.url, { query: '?demo' });
  t.after(() => game.close());
  await game.step(60 * 60, 300000);
  const bad = game.lines.filter((l) => /Runtime Error|Uncaught|Aborted|Failed to load/i.test(l));
  assert.deepEqual(bad, []);
  assert.deepEqual(game.errors, []);
  // The autopilot played: it left the menu for play at least once.
  assert.ok(game.lines.some((l) => /^Playing /.test(l)), 'a tune started, so a round was played');
});
