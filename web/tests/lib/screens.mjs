// What a player sees of the screens the checks pass through, as sampled canvas pixels.
import assert from 'node:assert/strict';

import * as colour from './colours.mjs';

// The difficulty buttons of a landscape menu at rest: 0.2, 0.4 and 0.6 of the width across,
// 0.7 of the height down (game/layout.cpp); the render scales the virtual screen uniformly.
export function difficultyButtons(width, height) {
  return [0.2, 0.4, 0.6].map((f) => [Math.round(width * f), Math.round(height * 0.7)]);
}

export const isMenu = ([e, n, r, sea]) =>
  colour.isGreen(e) && colour.isOrange(n) && colour.isRed(r) && colour.isMenuBackground(sea);

export async function expectMenu(game) {
  const [w, h] = await game.canvasSize();
  const [easy, normal, hard] = difficultyButtons(w, h);
  const points = [easy, normal, hard, [Math.round(w * 0.88), Math.round(h * 0.42)]];
  const [e, n, r, sea] = await game.sampleUntil(points, isMenu);
  assert.ok(colour.isGreen(e), `easy button green, got ${e}`);
  assert.ok(colour.isOrange(n), `normal button orange, got ${n}`);
  assert.ok(colour.isRed(r), `hard button red, got ${r}`);
  assert.ok(colour.isMenuBackground(sea), `menu background, got ${sea}`);
}

export async function startNormal(game) {
  const [w, h] = await game.canvasSize();
  const [, normal] = difficultyButtons(w, h);
  await game.click(normal[0], normal[1]);
  await game.step(150);
}

export async function expectPlay(game) {
  const [w, h] = await game.canvasSize();
  // The corner shows play's background; the pause button sits in the top-left corner.
  const points = [[8, h - 10], [Math.round((w * 12) / 640), Math.round((h * 12) / 480)]];
  const isPlay = ([c, p]) => colour.isPlayBackground(c) && colour.isWhite(p);
  const [corner, pause] = await game.sampleUntil(points, isPlay);
  assert.ok(colour.isPlayBackground(corner), `play background, got ${corner}`);
  assert.ok(colour.isWhite(pause), `pause button, got ${pause}`);
}
