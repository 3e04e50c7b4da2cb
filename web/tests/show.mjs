// For a machine without a display: serves the page, opens it in headless Chromium, takes a
// screenshot of the menu, lets the autopilot play for at least SECONDS and takes one of play.
// node show.mjs DIR PORT OUT SECONDS
import fs from 'node:fs';
import path from 'node:path';

import { serve } from './lib/server.mjs';
import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';

const [dir, port, out, seconds] = process.argv.slice(2);
const server = await serve(dir, Number(port));
console.log(`Vexmo is at ${server.url}`);
const browser = await launch();
try {
  // Stepped frames: one update per frame whatever pace headless Chromium keeps. The menu is
  // shown by a page of its own, since the autopilot leaves it after a few seconds.
  const menu = await openGame(browser, server.url);
  await menu.step(150, 600000);
  await menu.screenshot(path.join(out, 'menu.png'));
  await menu.close();
  const game = await openGame(browser, server.url, { query: '?demo' });
  await game.step(Number(seconds) * 60, 1800000);
  await game.screenshot(path.join(out, 'play.png'));
  fs.writeFileSync(path.join(out, 'console.log'), game.lines.join('\n') + '\n');
  if (game.errors.length) console.log(`page errors: ${game.errors.join('; ')}`);
} finally {
  await browser.close();
  server.close();
}
