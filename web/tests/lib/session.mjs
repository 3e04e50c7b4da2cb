// One page server and one Chromium for all the checks of a test file, started before the first
// and closed after the last.
import { before, after } from 'node:test';

import { serve } from './server.mjs';
import { launch } from './browser.mjs';

// The returned object's `server` and `browser` are set once the file's checks begin; `files`
// are served beside the page (lib/server.mjs).
export function servedBrowser(webDir, { files } = {}) {
  const session = { server: null, browser: null };
  before(async () => {
    session.server = await serve(webDir, 0, { files });
    session.browser = await launch();
  });
  after(async () => {
    await session.browser?.close();
    session.server?.close();
  });
  return session;
}
