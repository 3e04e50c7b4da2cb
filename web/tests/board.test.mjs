// The page as a score board serves it (vexmo-scores --web): the globe shows on the menu once the
// board answers, and it opens the World box with the board's list and asks for the name; the page served without a
// board (every other test file) shows no globe. Needs the native build's board program and data
// (VEXMO_NATIVE_DIR, as scripts/test-browser sets it).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';
import { expectMenu } from './lib/screens.mjs';
import { serve } from './lib/server.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.join(here, '../..');
const webDir = process.env.VEXMO_WEB_DIR || path.join(root, 'build-web/web');
const nativeDir = process.env.VEXMO_NATIVE_DIR || path.join(root, 'build');
const golden = path.join(root, 'tests/game/golden/normal.vxr');
const kMenuFrames = 150;
// Landscape at 640 x 480: the globe sits 72 units right of the medal, which is 72 above the
// sound button at the left edge's middle (game/layout.cpp).
const kGlobe = [104, 168];

const freePort = () =>
  new Promise((resolve) => {
    const s = net.createServer();
    s.listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });

let board;
let boardUrl;
let plain;
let browser;
let work;
before(async () => {
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexmo-board-'));
  const port = await freePort();
  board = spawn(path.join(nativeDir, 'scores/vexmo-scores'),
    ['--port', String(port), '--db', path.join(work, 'scores.db'), '--web', webDir],
    { env: { ...process.env, VEXMO_SCORES_DATA: path.join(nativeDir, 'data') }, stdio: 'ignore' });
  boardUrl = `http://127.0.0.1:${port}/`;
  for (let i = 0; i < 100; i++) {
    try {
      if ((await fetch(boardUrl + 'v1/health')).ok) break;
    } catch {}
    await new Promise((r) => setTimeout(r, 100));
  }
  const posted = await fetch(boardUrl + 'v1/games?name=Golden', {
    method: 'POST',
    body: fs.readFileSync(golden),
  });
  assert.equal(posted.status, 201, await posted.text());
  plain = await serve(webDir);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  plain?.close();
  board?.kill('SIGTERM');
  if (work) fs.rmSync(work, { recursive: true, force: true });
});

const globeShown = ([p]) => p[2] > 150 && p[2] > p[0] + 60;

test('the page a board serves shows the globe, which opens the World box with its list', async (t) => {
  const game = await openGame(browser, boardUrl);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  const [globe] = await game.sampleUntil([kGlobe], globeShown);
  assert.ok(globeShown([globe]), `a blue globe beside the medal, got ${globe}`);
  await game.click(...kGlobe);
  await game.step(30);
  // The golden game's row in the normal column, in white (" 1.  <score> Golden", from x 242).
  const row = [];
  for (let x = 236; x < 400; x += 2) row.push([x, 74]);
  let whites = 0;
  for (let i = 0; i < 20 && whites < 8; i++) {
    whites = (await game.pixels(row)).filter(([r, g, b]) => r > 200 && g > 200 && b > 200).length;
    if (whites < 8) await game.step(10);
  }
  assert.ok(whites >= 8, `the normal column shows a row (${whites} white pixels)`);
  // A tap on the name line asks in the browser's own box (a phone has no keys for the canvas);
  // the name is kept beside the record, and one the board would not take is refused.
  const answers = ['Phone Ann', 'x'];
  game.page.on('dialog', (d) => d.accept(answers.shift()));
  const readName = () =>
    game.page.evaluate(() => {
      try {
        return FS.readFile('/save/player-name', { encoding: 'utf8' });
      } catch {
        return '';
      }
    });
  for (const expected of ['Phone Ann\n', 'Phone Ann\n']) {
    await game.click(200, 358);
    await game.step(10);
    assert.equal(await readName(), expected);
  }
  assert.equal(answers.length, 0, 'both answers were asked for');
  fs.mkdirSync(path.join(webDir, '../shots'), { recursive: true });
  await game.screenshot(path.join(webDir, '../shots/world-box.png'));
  assert.deepEqual(game.errors, []);
});

test('a page served without a board shows no globe', async (t) => {
  const game = await openGame(browser, plain.url);
  t.after(() => game.close());
  await game.step(kMenuFrames);
  await expectMenu(game);
  await game.step(60);
  const [spot] = await game.pixels([kGlobe]);
  assert.ok(!globeShown([spot]), `no globe, got ${spot}`);
  // Looking for the board left nothing on the console of a page served without one.
  assert.deepEqual(game.lines.filter((l) => /Failed to load/.test(l)), []);
});
