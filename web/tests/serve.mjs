// Serves the built page until interrupted: node serve.mjs DIR [PORT]
import { serve } from './lib/server.mjs';

const [dir, port = '8080'] = process.argv.slice(2);
const server = await serve(dir, Number(port));
console.log(`Vexmo is at ${server.url} (Ctrl+C ends)`);
