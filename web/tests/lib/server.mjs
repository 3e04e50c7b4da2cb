// A static file server for the page on 127.0.0.1 (wasm needs its own content type to stream).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// Resolves to { url, port, close } once listening; port 0 picks a free one. `bitsPerSecond`
// paces every response as a link of that speed would (all responses share it). `files` serves
// files from elsewhere too, by address path: { '/golden/normal.vxr': '/path/to/normal.vxr' }.
export function serve(root, port = 0, { bitsPerSecond = 0, files = {} } = {}) {
  let linkFreeAt = 0;
  const send = (res, body) => {
    if (!bitsPerSecond) return res.end(body);
    const chunk = 16384;
    let at = 0;
    const next = () => {
      if (at >= body.length) return res.end();
      const piece = body.subarray(at, at + chunk);
      at += piece.length;
      const now = Date.now();
      linkFreeAt = Math.max(linkFreeAt, now) + (piece.length * 8 * 1000) / bitsPerSecond;
      res.write(piece);
      setTimeout(next, Math.max(0, linkFreeAt - now));
    };
    next();
  };
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = files[name] || path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    if (!files[name] && !file.startsWith(path.resolve(root))) {
      res.writeHead(403).end();
      return;
    }
    fs.readFile(file, (err, body) => {
      if (err) {
        res.writeHead(404).end();
        return;
      }
      res.writeHead(200, {
        'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-store',
        'Content-Length': body.length,
      });
      send(res, body);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const { port: bound } = server.address();
      // Closing drops the open connections too, as a server that stops does.
      const close = () => {
        server.close();
        server.closeAllConnections();
      };
      resolve({ url: `http://127.0.0.1:${bound}/`, port: bound, close });
    });
  });
}
