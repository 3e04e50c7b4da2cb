// Debian's Chromium through playwright-core, with software WebGL (no GPU on these machines).
import { chromium } from 'playwright-core';

export const kChromiumFlags = [
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  '--no-sandbox',
  '--autoplay-policy=no-user-gesture-required',
];

export function launch({ headless = true, extraArgs = [] } = {}) {
  return chromium.launch({
    executablePath: process.env.VEXMO_CHROMIUM || '/usr/bin/chromium',
    headless,
    args: [...kChromiumFlags, ...extraArgs],
  });
}
