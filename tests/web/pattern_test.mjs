// The GL layer's test pattern in headless Chromium against the same pattern
// drawn by the native GL: every cell (colours, textures over two units, the
// ramp, blending, alpha test, masks, depth, culling, lighting, copies) must
// agree up to rasterisation differences at edges.
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { parseArgs } from 'node:util';
import * as b from './browser.mjs';

const { values: options } = parseArgs({
  options: { site: { type: 'string' }, 'reference-program': { type: 'string' }, out: { type: 'string' } },
});
const out = options.out;
const referenceFile = path.join(out, 'pattern-native.png');
execFileSync(options['reference-program'], [referenceFile], { stdio: 'inherit' });
const reference = b.readPng(referenceFile);

const server = await b.serve(options.site);
const browser = await b.launch();
let failed = false;
try {
  const { page, error, messages } = await b.openUntilDone(
    browser, `http://127.0.0.1:${server.address().port}/pattern.html`, 20000);
  if (error) throw new Error(`the page failed: ${error}\n${messages.join('\n')}`);
  const shot = await b.canvasPixels(page);
  b.writePng(path.join(out, 'pattern-web.png'), shot);
  b.writePng(path.join(out, 'pattern-difference.png'), b.differenceImage(shot, reference));
  // Whole frame, then each of the twelve 80 x 80 cells on its own so one
  // broken feature cannot hide in the average of the others.
  const whole = b.compare(shot, reference);
  console.log(`whole pattern: mean difference ${whole.mean.toFixed(2)}, ${(whole.farShare * 100).toFixed(2)}% far`);
  for (let row = 0; row < 3; ++row)
    for (let column = 0; column < 4; ++column) {
      const crop = (image) => {
        const c = { width: 80, height: 80, data: Buffer.alloc(80 * 80 * 4) };
        for (let y = 0; y < 80; ++y)
          image.data.copy(c.data, y * 320, ((row * 80 + y) * image.width + column * 80) * 4,
            ((row * 80 + y) * image.width + column * 80 + 80) * 4);
        return c;
      };
      const r = b.compare(crop(shot), crop(reference));
      // Bounds: a mean of 3 levels and 2% of the pixels off by more than 24
      // (the edges of polygons and the sphere's silhouette rasterise apart).
      const ok = r.mean <= 3 && r.farShare <= 0.02;
      if (!ok) failed = true;
      console.log(`cell ${column},${row}: mean ${r.mean.toFixed(2)}, far ${(r.farShare * 100).toFixed(2)}%` +
        (ok ? '' : '  <- differs'));
    }
  if (messages.some((m) => /GL layer|WebGL: |error/i.test(m))) {
    failed = true;
    console.log('console:\n' + messages.join('\n'));
  }
} finally {
  await browser.close();
  server.close();
}
if (failed) {
  console.error('the browser frame differs from the native one (see pattern-difference.png)');
  process.exit(1);
}
