// Frames per second of a live page in headless Chromium (SwiftShader's
// WebGL on the machine's cores): the page is opened, started with a click,
// and the browser's animation frames are counted over a stretch of the show,
// with the music time at its ends. The program draws one frame per animation
// frame, so a frame that takes longer than the display's interval shows as a
// lower rate. Also printed: the time from opening the page to its first
// animation frame after the click with the music running.
//
//   node bench/web/page_fps.mjs --site build/web/site [--page index.html]
//        [--seconds 10] [--size 800x600] [--wait-for EXPR]
//
// --wait-for names a condition in the page that holds once the show draws
// (default: the music time has moved past 50 ms).
import { parseArgs } from 'node:util';
import * as b from '../../tests/web/browser.mjs';

const { values: o } = parseArgs({
  options: {
    site: { type: 'string' }, page: { type: 'string', default: 'index.html' },
    seconds: { type: 'string', default: '10' }, size: { type: 'string', default: '800x600' },
    'wait-for': { type: 'string' }, help: { type: 'boolean' },
  },
});
if (o.help || !o.site) {
  console.log('usage: node bench/web/page_fps.mjs --site FOLDER [--page index.html] [--seconds 10] ' +
    '[--size 800x600] [--wait-for EXPR]');
  process.exit(o.help ? 0 : 2);
}
const [width, height] = o.size.split('x').map(Number);
const seconds = Number(o.seconds);
const waitFor = o['wait-for'] ||
  '(window.Module && Module.vantorAudio && Module.vantorAudio.position() > 0.05)';

const server = await b.serve(o.site);
const browser = await b.launch({ width, height });
try {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  const opened = Date.now();
  await page.goto(`http://127.0.0.1:${server.address().port}/${o.page}`);
  // The click the page waits for, once its start line is there.
  await page.waitForFunction(() => document.getElementById('vantor-start') || window.vantorError !== undefined,
    { timeout: 120000 });
  await page.mouse.click(width / 2, height / 2);
  await page.waitForFunction(`${waitFor} || window.vantorError !== undefined`, { timeout: 300000, polling: 50 });
  const error = await page.evaluate(() => window.vantorError);
  if (error) throw new Error(`the page failed: ${error}`);
  const firstFrame = Date.now() - opened;
  const result = await page.evaluate((ms) => new Promise((resolve) => {
    const music = () => (Module.vantorAudio ? Module.vantorAudio.position() * 1000 : NaN);
    let frames = 0;
    let longest = 0;
    let last = performance.now();
    const begin = last;
    const musicBegin = music();
    const step = (now) => {
      ++frames;
      longest = Math.max(longest, now - last);
      last = now;
      if (now - begin < ms) requestAnimationFrame(step);
      else resolve({ frames, ms: now - begin, longest, musicFrom: musicBegin, musicTo: music() });
    };
    requestAnimationFrame(step);
  }), seconds * 1000);
  const fps = result.frames / (result.ms / 1000);
  console.log(`${o.page} at ${width}x${height}: ${fps.toFixed(1)} frames/s over ${(result.ms / 1000).toFixed(1)} s ` +
    `(music ${Math.round(result.musicFrom)}-${Math.round(result.musicTo)} ms), longest frame ` +
    `${result.longest.toFixed(0)} ms; page opened to the show running: ${(firstFrame / 1000).toFixed(1)} s`);
  if (errors.length) console.log(`page errors:\n${errors.join('\n')}`);
} finally {
  await browser.close();
  server.close();
}
