// Replays in the browser build: a game played in the page leaves its replay in IndexedDB at
// once, and the desktop program verifies it to the score the page's game reached; a replay the
// desktop recorded verifies in the page to the line the desktop prints, and plays in the canvas
// and then goes back to the game's menu.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { servedBrowser } from './lib/session.mjs';
import { openGame } from './lib/page.mjs';
import { expectMenu, expectPlay } from './lib/screens.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = process.env.VEXMO_WEB_DIR || path.join(here, '../../build-web/web');
const nativeDir = process.env.VEXMO_NATIVE_DIR || path.join(here, '../../build');
const golden = path.join(here, '../../tests/game/golden/normal.vxr');
const kMenuFrames = 150;

const session = servedBrowser(webDir, { files: { '/golden/normal.vxr': golden } });

// What `vexmo --verify` prints for the file.
function verifyNatively(file) {
  const out = execFileSync(
    path.join(nativeDir, 'vexmo'),
    ['--data', path.join(nativeDir, 'data'), '--verify', file],
    { encoding: 'utf8', env: { ...process.env, ALSOFT_DRIVERS: 'null' } },
  );
  return out.trim().split('\n').pop();
}

// The files of the page's IndexedDB (the /save folder's store) whose paths match `pattern`, as
// base64 by path.
function storedFiles(game, pattern) {
  return game.page.evaluate(
    (source) =>
      new Promise((resolve, reject) => {
        const open = indexedDB.open('/save');
        open.onerror = () => reject(open.error);
        open.onblocked = () => reject(new Error('IndexedDB blocked'));
        open.onsuccess = () => {
          const db = open.result;
          if (!db.objectStoreNames.contains('FILE_DATA')) {
            db.close();
            reject(new Error(`no FILE_DATA store in ${[...db.objectStoreNames]}`));
            return;
          }
          const found = {};
          const store = db.transaction('FILE_DATA', 'readonly').objectStore('FILE_DATA');
          const walk = store.openCursor();
          walk.onerror = () => reject(walk.error);
          walk.onsuccess = () => {
            try {
              visit(walk.result);
            } catch (e) {
              reject(e);
            }
          };
          const visit = (cursor) => {
            if (!cursor) {
              db.close();
              resolve(found);
              return;
            }
            const key = String(cursor.key);
            const contents = cursor.value.contents;
            if (new RegExp(source).test(key) && contents) {
              const bytes = new Uint8Array(contents.buffer, contents.byteOffset, contents.byteLength);
              let text = '';
              for (const b of bytes) text += String.fromCharCode(b);
              found[key] = btoa(text);
            }
            cursor.continue();
          };
        };
      }),
    pattern.source,
  );
}

// Steps a page that may go to another address meanwhile: false once it has.
function stepAcrossLeaving(game, count) {
  return game.page
    .evaluate(
      (n) =>
        new Promise((resolve) => {
          const probe = window.__vexmo;
          const target = probe.frames + n;
          probe.runUntil = target;
          const wait = () => (probe.frames >= target ? resolve(true) : setTimeout(wait, 20));
          wait();
        }),
      count,
    )
    .catch(() => false);
}

test('a demo game in the page leaves a replay in IndexedDB that the desktop verifies to its score', async (t) => {
  const game = await openGame(session.browser, session.server.url, { query: '?demo&demo-saves' });
  t.after(() => game.close());
  const over = /^demo: game 1 over, score \d+ in round (\d+)/;
  for (let i = 0; i < 200 && !game.lines.some((l) => over.test(l)); i++) await game.step(60);
  const [, round] = over.exec(game.lines.find((l) => over.test(l)));
  // The game over overlay, then the menu: the replay is kept and stored on the way, before the
  // record is saved again.
  let kept = {};
  for (let i = 0; i < 40 && Object.keys(kept).length === 0; i++) {
    await game.step(15);
    kept = await storedFiles(game, /^\/save\/replays\/game-.*\.vxr$/);
  }
  const names = Object.keys(kept);
  assert.equal(names.length, 1, `one game's replay in IndexedDB: ${names}`);
  // The score the game filed: the newest of the normal table's last games, field 57 of the
  // record (RecordRecentField(1, 0) in game/record_layout.h).
  const record = await storedFiles(game, /^\/save\/\.vantorstate$/);
  const score = Buffer.from(record['/save/.vantorstate'], 'base64').toString().split('|')[57];
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'vexmo-replay-')), 'page.vxr');
  t.after(() => fs.rmSync(path.dirname(file), { recursive: true, force: true }));
  fs.writeFileSync(file, Buffer.from(kept[names[0]], 'base64'));
  const line = verifyNatively(file);
  assert.match(line, new RegExp(`^score ${score} difficulty 2 rounds ${round} updates \\d+$`));
  assert.deepEqual(game.errors, []);
});

test('a desktop replay verifies in the page to the desktop line, and plays in the canvas back to the menu', async (t) => {
  const expected = verifyNatively(golden);
  assert.match(expected, /^score \d+ difficulty 2 rounds \d+ updates \d+$/);

  const check = await openGame(session.browser, session.server.url, {
    query: '?verify=golden/normal.vxr',
  });
  t.after(() => check.close());
  await check.page.waitForFunction(() => window.vexmoVerdict, null, { timeout: 120000 });
  assert.deepEqual(await check.page.evaluate(() => window.vexmoVerdict), { line: expected, ok: true });
  assert.equal(await check.page.evaluate(() => window.vexmoPage.note), expected);
  assert.ok(check.lines.includes(expected), `the console says it: ${check.lines.slice(-3)}`);
  assert.deepEqual(check.errors, []);

  const watch = await openGame(session.browser, session.server.url, {
    query: '?replay=golden/normal.vxr',
  });
  t.after(() => watch.close());
  // Half a second in, once the canvas has the replay's size.
  await watch.step(30);
  await expectPlay(watch);
  // The right arrow held plays at 4x to the end, where the page goes back to the game.
  await watch.page.keyboard.down('ArrowRight');
  let watching = true;
  for (let i = 0; i < 200 && watching; i++) {
    watching = (await stepAcrossLeaving(watch, 30)) && watch.page.url().includes('replay=');
  }
  await watch.page.keyboard.up('ArrowRight');
  await watch.page.waitForURL((url) => !url.search.includes('replay'));
  assert.equal(new URL(watch.page.url()).search, '');
  await watch.step(kMenuFrames);
  await expectMenu(watch);
  assert.deepEqual(watch.errors, []);
});
