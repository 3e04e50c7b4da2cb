// The page kept for offline play (web/sw.js): after one visit the game opens with the server
// stopped, a new build replaces the kept one once, and the saved record outlives both.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { serve } from './lib/server.mjs';
import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';
import { expectMenu } from './lib/screens.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = process.env.VEXMO_WEB_DIR || path.join(here, '../../build-web/web');
const kMenuFrames = 150;

// What each of the page's caches holds: cache name -> file names.
function kept(game) {
  return game.page.evaluate(async () => {
    const out = {};
    for (const name of await caches.keys()) {
      const cache = await caches.open(name);
      out[name] = (await cache.keys()).map((r) => new URL(r.url).pathname.slice(1)).sort();
    }
    return out;
  });
}

async function waitFor(what, probe, holds, timeoutMs = 60000) {
  const start = Date.now();
  for (;;) {
    const seen = await probe();
    if (holds(seen)) return seen;
    if (Date.now() - start > timeoutMs) assert.fail(`${what}: ${JSON.stringify(seen)}`);
    await new Promise((r) => setTimeout(r, 200));
  }
}

const readRecord = (game) =>
  game.page.evaluate(() => {
    try {
      return FS.readFile('/save/kept-by-test', { encoding: 'utf8' });
    } catch (e) {
      return null;
    }
  });

// A copy of the built page's own files in a fresh folder (without the data package if `data`
// is false).
function copyPage({ data = true } = {}) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vexmo-offline-'));
  for (const name of fs.readdirSync(webDir)) {
    if (!data && name === 'vexmo.data') continue;
    if (/^(index\.html|page\.js|sw\.js|manifest\.webmanifest|icon.*\.png|vexmo\..*)$/.test(name)) {
      fs.copyFileSync(path.join(webDir, name), path.join(dir, name));
    }
  }
  return dir;
}

test('a download that fails is told on the page', async (t) => {
  const dir = copyPage({ data: false });
  const server = await serve(dir);
  const browser = await launch();
  t.after(async () => {
    await browser.close();
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  });
  const game = await openGame(browser, server.url, { phone: true });
  const note = game.page.locator('#note');
  await note.waitFor({ state: 'visible', timeout: 60000 });
  assert.match(await note.textContent(), /could not be downloaded.*reload the page/);
});

test('offline after one visit; a new build replaces the kept one; the record survives both', async (t) => {
  // A copy of the page, so a new build can be made of it.
  const dir = copyPage();
  let server = await serve(dir);
  const browser = await launch();
  t.after(async () => {
    await browser.close();
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  });
  const game = await openGame(browser, server.url, { phone: true });
  await game.step(kMenuFrames);
  await expectMenu(game);
  const files = ['icon-192.png', 'icon-512.png', 'index.html', 'vexmo.data', 'vexmo.js', 'vexmo.wasm'];
  const first = await waitFor('the first visit keeps the game', () => kept(game), (k) => {
    const names = Object.keys(k);
    return names.length === 1 && files.every((f) => k[names[0]].includes(f));
  });
  const progress = await game.page.evaluate(() => window.vexmoPage);
  const size = fs.statSync(path.join(dir, 'vexmo.data')).size;
  assert.equal(progress.total, size, 'the progress bar counts the data package');
  assert.equal(progress.loaded, size, 'the progress bar filled up');

  // Something in the saved record, written as a save is.
  await game.page.evaluate(() => {
    FS.writeFile('/save/kept-by-test', 'a record');
    Module.vexmoSyncSaves();
  });
  await game.page.waitForFunction(() => Module.vexmoSaves.syncs > 0);

  server.close();
  await game.page.reload();
  await game.step(kMenuFrames);
  await expectMenu(game);
  assert.equal(await readRecord(game), 'a record', 'the record after the offline visit');

  // A new build: another page and service worker at the same address.
  const oldName = Object.keys(first)[0];
  const sw = fs.readFileSync(path.join(dir, 'sw.js'), 'utf8');
  const build = /const kBuild = '([^']+)'/.exec(sw)[1];
  fs.writeFileSync(path.join(dir, 'sw.js'), sw.replace(build, 'rebuilt' + build));
  const page = fs.readFileSync(path.join(dir, 'index.html'), 'utf8');
  fs.writeFileSync(path.join(dir, 'index.html'), page.replace('<title>Vexmo', '<title>Vexmo, the new build'));
  server = await serve(dir, server.port);
  await game.page.reload();
  await game.step(kMenuFrames);
  await expectMenu(game);
  // The running page keeps its build; the new one takes over once it is all kept.
  await waitFor('the new build replaces the kept one', () => kept(game), (k) => {
    const names = Object.keys(k);
    return names.length === 1 && names[0] !== oldName && files.every((f) => k[names[0]].includes(f));
  });
  server.close();
  await game.page.reload();
  await game.step(kMenuFrames);
  await expectMenu(game);
  assert.equal(await game.page.title(), 'Vexmo, the new build', 'the page is the new build, offline');
  assert.equal(await readRecord(game), 'a record', 'the record after the new build');
  assert.deepEqual(game.errors, []);
});
