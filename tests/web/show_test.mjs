// The show's page in headless Chromium against vantor-capture: one page run
// on a virtual clock holds the canvas at each given music time, and each is
// compared with the native frame drawn at the same time and rate. Optionally
// every registered effect must have drawn by the end of the run.
//
// Bound (per picture): mean absolute difference per channel at most 2 levels
// and at most 1.5 % of pixels off by more than 24 — the GL layer rasterises
// edges and samples magnified textures a little apart from the native GL.
// Pictures with the film grain on (--grain) are allowed 6 levels and 6 %, as
// the grain may land on other pixels; cel-shaded ones (--bands) 3 % of
// pixels, as a pixel whose light lies on a step of the ramp may fall into
// the band beside it.
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { parseArgs } from 'node:util';
import * as b from './browser.mjs';

const { values: options } = parseArgs({
  options: {
    site: { type: 'string' }, native: { type: 'string' }, out: { type: 'string' },
    times: { type: 'string' }, grain: { type: 'string', default: '' }, bands: { type: 'string', default: '' }, fps: { type: 'string', default: '5' },
    'all-effects': { type: 'boolean', default: false }, name: { type: 'string', default: 'show' },
  },
});
const times = options.times.split(',').map(Number);
const timeSet = (list) => new Set(list ? list.split(',').map(Number) : []);
const grain = timeSet(options.grain);
const bands = timeSet(options.bands);
const out = path.join(options.out, options.name);
execFileSync('rm', ['-rf', out]);
execFileSync('mkdir', ['-p', path.join(out, 'native')]);

const started = Date.now();
// The native frames, drawn by the release build from its own demo folder.
execFileSync(path.join(options.native, 'tools/vantor_capture/vantor-capture'),
  ['--quiet', '--fps', options.fps, '--at', times.join(','), path.join(out, 'native') + '/'],
  { cwd: path.join(options.native, 'demo'), stdio: 'inherit' });
const nativeMs = Date.now() - started;

const server = await b.serve(options.site);
const browser = await b.launch({ width: 640, height: 480 });
let failed = false;
const fail = (text) => { failed = true; console.log(text); };
try {
  const page = await browser.newPage();
  const messages = [];
  page.on('console', (m) => messages.push(m.text()));
  page.on('pageerror', (e) => messages.push(String(e)));
  const loaded = Date.now();
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html#at=${times.join(',')}&fps=${options.fps}`);
  for (const time of times) {
    const last = time === times[times.length - 1];
    // Each picture comes within five minutes (the show's scenes draw slowly in SwiftShader).
    await page.waitForFunction((t, last) => (last ? window.vantorDone === true : window.vantorHeld && window.vantorAt === t)
      || window.vantorError !== undefined, { timeout: 300000, polling: 200 }, time, last);
    const error = await page.evaluate(() => window.vantorError);
    if (error) throw new Error(`the page failed: ${error}\n${messages.join('\n')}`);
    const shot = await b.canvasPixels(page);
    const reference = b.readPng(path.join(out, 'native', `${time}.png`));
    b.writePng(path.join(out, `${time}-web.png`), shot);
    const r = b.compare(shot, reference);
    const [meanBound, farBound] = grain.has(time) ? [6, 0.06] : bands.has(time) ? [2, 0.03] : [2, 0.015];
    const ok = r.mean <= meanBound && r.farShare <= farBound;
    console.log(`${time} ms: mean ${r.mean.toFixed(2)}, far ${(r.farShare * 100).toFixed(2)}%` +
      (grain.has(time) ? ' (grain)' : bands.has(time) ? ' (cel bands)' : '') + (ok ? '' : '  <- differs'));
    if (!ok) {
      failed = true;
      b.writePng(path.join(out, `${time}-difference.png`), b.differenceImage(shot, reference));
    }
    if (!last) await page.evaluate(() => { window.vantorHeld = false; });
  }
  const { stats, effects } = await page.evaluate(() => ({ stats: window.vantorStats, effects: window.vantorEffects }));
  const webMs = Date.now() - loaded;
  // Frames a second over the whole run (the browser draws in its GPU
  // process: the page's own drawing time leaves that out).
  const rate = (frames, ms) => (frames * 1000 / ms).toFixed(1);
  console.log(`${stats.frames} frames at ${options.fps} fps of music: native ${nativeMs} ms ` +
    `(${rate(stats.frames, nativeMs)} frames/s with its start-up), page ${webMs} ms ` +
    `(${rate(stats.frames, webMs - stats.firstFrameAt)} frames/s after the first show frame, ` +
    `${stats.firstFrameAt.toFixed(0)} ms after load)`);
  const idle = effects.filter((e) => e.draws === 0).map((e) => e.id);
  console.log(`${effects.length} registered effects; not drawn: ${idle.length ? idle.join(', ') : 'none'}`);
  if (options['all-effects'] && idle.length) fail('every registered effect should have drawn by the end of the show');
  const noisy = messages.filter((m) => /GL layer|WebGL: |error/i.test(m));
  if (noisy.length) fail('console:\n' + noisy.join('\n'));
} finally {
  await browser.close();
  server.close();
}
if (failed) {
  console.error(`the page differs from vantor-capture (pictures and differences in ${out})`);
  process.exit(1);
}
