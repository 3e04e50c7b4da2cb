// The music player reads its tunes back from the screen: each strip frame is drawn and its
// pixels decoded into note fields. The browser draws through WebGL, the desktop through its own
// GL, and the two must decode every field of the nine tunes alike. tune_fields (built for both)
// prints one line per tune with a digest of all its fields; this compares the page's lines with
// the desktop program's, run on this machine's display.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { servedBrowser } from './lib/session.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const webDir = process.env.VEXMO_WEB_DIR || path.join(here, '../../build-web/web');
const nativeDir = process.env.VEXMO_NATIVE_DIR || path.join(here, '../../build');

const tuneLines = (text) => text.split('\n').filter((l) => l.startsWith('tune '));

const session = servedBrowser(webDir);

test('the nine tunes decode in the browser exactly as on the desktop', async (t) => {
  if (!process.env.DISPLAY) {
    t.skip('the desktop reading needs a display (scripts/test-browser starts one)');
    return;
  }
  const desktop = tuneLines(
    execFileSync(path.join(nativeDir, 'tests/vexmo_tune_fields'), { cwd: nativeDir }).toString(),
  );
  assert.equal(desktop.length, 9, `the desktop read nine tunes: ${desktop.join(' | ')}`);
  // Silence decodes as well as music: make sure there are notes to compare.
  for (const line of desktop) assert.doesNotMatch(line, / nonzero 0 /, line);

  const page = await session.browser.newPage();
  const lines = [];
  const errors = [];
  page.on('console', (m) => lines.push(m.text()));
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(session.server.url + 'tune_fields.html');
  const start = Date.now();
  while (!lines.includes('tunes done') && Date.now() - start < 120000) {
    await page.waitForTimeout(100);
  }
  assert.deepEqual(errors, []);
  assert.deepEqual(tuneLines(lines.join('\n')), desktop);
  await page.close();
});
