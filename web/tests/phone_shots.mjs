// Screenshots of the menu, play, the pause menu and game over on phone and tablet screens, for
// looking at what each layout shows (run by hand): node phone_shots.mjs DIR OUT
// Each screen is a touch-only context; the pause menu is opened and quit with keys, which
// every layout places alike. The page's own words (the portrait hint) are in page-*.png.
import fs from 'node:fs';
import path from 'node:path';

import { serve } from './lib/server.mjs';
import { launch } from './lib/browser.mjs';
import { openGame } from './lib/page.mjs';

const [dir, out, ...only] = process.argv.slice(2);
const screens = [
  ['phone-landscape', 844, 390, 3],
  ['phone-portrait', 390, 844, 3],
  ['tablet', 1024, 768, 2],
  ['wide-phone', 2400, 1080, 1],
];
fs.mkdirSync(out, { recursive: true });
const server = await serve(dir);
const browser = await launch();
try {
  for (const [name, width, height, ratio] of screens) {
    if (only.length && !only.includes(name)) continue;
    const game = await openGame(browser, server.url, {
      phone: true,
      viewport: { width, height },
      deviceScaleFactor: ratio,
    });
    const shot = (what) => game.screenshot(path.join(out, `${name}-${what}.png`));
    await game.step(150, 600000);
    await shot('menu');
    await game.page.screenshot({ path: path.join(out, `page-${name}.png`) });
    const [w, h] = await game.canvasSize();
    const normal = width > height ? [w * 0.4, h * 0.7] : [w * 0.3, h * 0.65];
    await game.tap(...normal.map(Math.round));
    await game.step(150, 600000);
    await game.fingerDown(0, w - 4, Math.round(h / 2));
    await game.step(90, 600000);
    await shot('play');
    await game.fingerLift(0);
    await game.press('Escape');
    await game.step(30, 600000);
    await shot('pause');
    await game.press('ArrowLeft');
    await game.step(5);
    await game.press('Enter');
    await game.step(30, 600000);
    await shot('gameover');
    if (game.errors.length) console.log(`${name}: page errors: ${game.errors.join('; ')}`);
    await game.close();
    console.log(`${name}: ${w} x ${h} pixels`);
  }
} finally {
  await browser.close();
  server.close();
}
