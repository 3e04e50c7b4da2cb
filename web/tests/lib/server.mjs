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

// Resolves to { url, close } once listening; port 0 picks a free one.
export function serve(root, port = 0) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    if (!file.startsWith(path.resolve(root))) {
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
      });
      res.end(body);
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
