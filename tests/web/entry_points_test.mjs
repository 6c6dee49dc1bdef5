// Every GL and GLU call the engine makes (read from its sources) is defined
// by the web build's GL layer; a call left out would reach the browser's
// own legacy emulation, which does not draw the program's frames.
import fs from 'node:fs';
import path from 'node:path';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
// Author mode (app/author) stays native.
const engine = ['effects', 'scene', 'runtime', 'imglib', 'app'];
const nativeOnly = path.join(root, 'app/author');
// Reached through the program's lookup of the multitexture entry points.
const lookedUp = new Set(['glActiveTextureARB', 'glMultiTexCoord2fARB', 'glMultiTexCoord2fvARB']);

function sources(folder) {
  return fs.readdirSync(folder, { withFileTypes: true }).flatMap((entry) => {
    const file = path.join(folder, entry.name);
    if (entry.isDirectory()) return sources(file);
    return /\.(cpp|h)$/.test(entry.name) ? [file] : [];
  });
}

const used = new Set(), members = new Set();
for (const file of engine.flatMap((f) => sources(path.join(root, f))).filter((f) => !f.startsWith(nativeOnly))) {
  const text = fs.readFileSync(file, 'utf8');
  for (const match of text.matchAll(/(?<![.>:\w])((?:gl|glu)[A-Z][A-Za-z0-9]*)\s*\(/g)) used.add(match[1]);
  // Engine methods spelled like GL calls (texture->glName()) are called on an object somewhere.
  for (const match of text.matchAll(/(?:\.|->)((?:gl|glu)[A-Z]\w*)\(/g)) members.add(match[1]);
  for (const match of text.matchAll(/\b((?:gl|glu)[A-Z]\w*)\(\)\s*(?:const\s*)?\{/g)) members.add(match[1]);
}
for (const name of members) used.delete(name);

const defined = new Set();
for (const file of sources(path.join(root, 'web/gl')))
  for (const match of fs.readFileSync(file, 'utf8').matchAll(/^[A-Za-z][\w\s*]*?\b((?:gl|glu)[A-Z]\w*)\(/gm))
    defined.add(match[1]);

const missing = [...used].filter((name) => !lookedUp.has(name) && !defined.has(name)).sort();
console.log(`${used.size} GL/GLU entry points used by the engine, ${defined.size} defined by the layer`);

if (used.size < 40) {
  console.error('too few entry points found: the scan of the engine sources is broken');
  process.exit(1);
}
if (missing.length) {
  console.error(`not in the GL layer: ${missing.join(' ')}`);
  process.exit(1);
}
