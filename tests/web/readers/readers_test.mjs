// The KPX readers compiled to WebAssembly (run by node) against the native
// ones on the same files: PCX and TGA must agree byte for byte, JPEG within a
// step or two per channel (libjpeg-turbo's portable code against its SIMD
// kernels).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { parseArgs } from 'node:util';

const { values: o } = parseArgs({
  options: { native: { type: 'string' }, web: { type: 'string' }, out: { type: 'string' } },
});
const dir = path.join(o.out, 'readers');
fs.mkdirSync(dir, { recursive: true });
const names = ['sample.jpg', 'sample.tga', 'sample.pcx'];
const pairs = (suffix) => names.flatMap((n) => [path.join(dir, n), path.join(dir, `${n}.${suffix}.rgba`)]);
execFileSync(o.native, ['--make', dir, ...pairs('native')], { stdio: 'inherit' });
execFileSync('node', [o.web, ...pairs('web')], { stdio: 'inherit' });

let failed = false;
for (const name of names) {
  const a = fs.readFileSync(path.join(dir, `${name}.native.rgba`));
  const b = fs.readFileSync(path.join(dir, `${name}.web.rgba`));
  const bound = name.endsWith('.jpg') ? 2 : 0;
  let worst = a.length === b.length ? 0 : Infinity;
  for (let i = 0; i < a.length && worst !== Infinity; ++i) worst = Math.max(worst, Math.abs(a[i] - b[i]));
  const ok = worst <= bound;
  console.log(`${name}: largest difference ${worst} (bound ${bound})${ok ? '' : '  <- differs'}`);
  if (!ok) failed = true;
}
process.exit(failed ? 1 : 0);
