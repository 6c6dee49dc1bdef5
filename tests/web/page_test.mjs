// The page's manners with bad input, in headless Chromium: opened from
// file://, an archive or soundtrack that is missing, cut short in transfer or
// not a soundtrack, a browser without WebGL, a window of 1 pixel, and no
// sound before the page's gesture. Each case must end in a clear message in
// the page's panel (and window.vantorError), never a hang, with a quiet
// console.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { parseArgs } from 'node:util';
import * as b from './browser.mjs';
import { makeSite } from './audio_site.mjs';

const { values: options } = parseArgs({ options: { site: { type: 'string' }, out: { type: 'string' } } });
const { site } = makeSite(options.site);
fs.writeFileSync(path.join(site, 'noise.mp3'), Buffer.alloc(20000, 0x5a));

// A static server that can fail some files: `missing` answer 404, `cut` send
// a Content-Length of the whole file and then only its first 1000 bytes before
// closing, `renamed` serve another file under the name, `slow` wait 1.5 s first.
function serveWith({ missing = [], cut = [], renamed = {}, slow = [] } = {}) {
  const server = http.createServer(async (request, response) => {
    let name = new URL(request.url, 'http://localhost').pathname.slice(1) || 'audio.html';
    if (missing.includes(name) || !/^[\w.]+$/.test(name)) return response.writeHead(404).end();
    name = renamed[name] || name;
    const file = path.join(site, name);
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    const bytes = fs.readFileSync(file);
    if (slow.includes(name)) await new Promise((r) => setTimeout(r, 1500));
    const type = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' }[path.extname(name)];
    response.writeHead(200, { 'Content-Type': type || 'application/octet-stream', 'Content-Length': bytes.length });
    if (cut.includes(name)) {
      response.write(bytes.subarray(0, 1000), () => setTimeout(() => response.socket.destroy(), 50));
      return;
    }
    response.end(bytes);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const failures = [];
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}

// Opens url, waits for a failure and returns the panel's text and the console.
async function failingPage(browser, url) {
  const page = await browser.newPage();
  const messages = [];
  page.on('console', (m) => messages.push(m.text()));
  page.on('pageerror', (e) => messages.push(String(e)));
  await page.goto(url);
  let error;
  try {
    await page.waitForFunction(() => window.vantorError !== undefined, { timeout: 20000, polling: 100 });
    error = await page.evaluate(() => window.vantorError);
  } catch {
    error = undefined;
  }
  // A little longer: a page that floods the console or changes its mind shows it now.
  await new Promise((r) => setTimeout(r, 500));
  const panel = await page.evaluate(() => {
    const element = document.getElementById('vantor-messages');
    return element && element.style.display !== 'none' ? element.textContent : '';
  });
  const ran = await page.evaluate(() => window.vantorAudioPage !== undefined);
  await page.close();
  return { error, panel, ran, messages };
}

async function expectFailure(browser, url, what, pattern, { mainRuns = false } = {}) {
  const { error, panel, ran, messages } = await failingPage(browser, url);
  check(error !== undefined && pattern.test(error) && panel.includes(error),
    `${what}: "${error}" in the page's panel`);
  check(ran === mainRuns, `${what}: the program ${mainRuns ? 'ran and stopped' : 'never ran'}`);
  check(messages.length <= 12, `${what}: a quiet console (${messages.length} lines)`);
}

const browser = await b.launch({ sound: true });
try {
  await expectFailure(browser, 'file://' + path.join(site, 'audio.html'), 'opened from file://',
    /must be opened through a web server.*http\.server/);

  for (const [what, serverOptions, pattern, mainRuns] of [
    ['a missing archive', { missing: ['vantor.ppd'] }, /vantor\.ppd could not be downloaded \(HTTP 404\)/, false],
    ['an archive cut short', { cut: ['vantor.ppd'] }, /vantor\.ppd was cut short while downloading/, false],
    ['a missing program', { missing: ['audio_page.wasm'] }, /WebAssembly could not be downloaded/, false],
    ['a missing soundtrack', { missing: ['tone.mp3'] }, /tone\.mp3 could not be downloaded \(HTTP 404\)/, true],
    ['a soundtrack cut short', { cut: ['tone.mp3'] }, /tone\.mp3 was cut short while downloading/, true],
    ['a soundtrack that is no MP3', { renamed: { 'tone.mp3': 'noise.mp3' } }, /tone\.mp3 cannot be decoded/, true],
  ]) {
    const server = await serveWith(serverOptions);
    try {
      await expectFailure(browser, `http://127.0.0.1:${server.address().port}/audio.html`, what, pattern,
        { mainRuns });
    } finally {
      server.close();
    }
  }
} finally {
  await browser.close();
}

// Without WebGL.
{
  const server = await serveWith();
  const noGl = await b.launch({ sound: true, extraArgs: ['--disable-webgl', '--disable-3d-apis'] });
  try {
    await expectFailure(noGl, `http://127.0.0.1:${server.address().port}/audio.html`, 'a browser without WebGL',
      /no WebGL 2/);
  } finally {
    await noGl.close();
    server.close();
  }
}

// Nothing plays and the clock stands until a click (headless Chromium itself
// would play at once, with or without its autoplay flags);
// then a window shrunk to 1 pixel and back keeps the page running, letterboxed.
{
  const server = await serveWith();
  const browser = await b.launch();
  try {
    // Watches the start-up from the page: the groups seen at animation frames
    // and by timer tasks, until the first show frame.
    const watchStartup = (page) => page.evaluateOnNewDocument(() => {
      const seen = { groups: [], timerGroups: [] };
      window.vantorStartupSeen = seen;
      // The group each timer task saw: a task between two groups sees the
      // first of them.
      const timer = setInterval(() => {
        const group = window.vantorAudioPage && window.vantorAudioPage.group;
        if (group !== undefined && seen.timerGroups.at(-1) !== group) seen.timerGroups.push(group);
        if (window.vantorAudioPage && window.vantorAudioPage.frames > 0) clearInterval(timer);
      }, 5);
      const frame = () => {
        const group = window.vantorAudioPage && window.vantorAudioPage.group;
        if (group !== undefined && seen.groups.at(-1) !== group) seen.groups.push(group);
        if (!(window.vantorAudioPage && window.vantorAudioPage.frames > 0)) requestAnimationFrame(frame);
      };
      requestAnimationFrame(frame);
    });
    const { page, error, messages } = await b.openUntilDone(
      browser, `http://127.0.0.1:${server.address().port}/audio.html`, 30000, watchStartup);
    check(error === undefined, `the page starts (${error || 'no error'})`);
    // The start-up's groups each drew a frame the browser showed, and the
    // page's timers ran between them.
    const startup = await page.evaluate(() => window.vantorStartupSeen);
    check(startup.groups.join() === '0,1,2,3,4,5', `every start-up group's frame was shown (${startup.groups})`);
    check(['0,1,2,3,4', '0,1,2,3,4,5'].includes(startup.timerGroups.join()),
      `the page's timers ran between every two groups (after groups ${startup.timerGroups})`);
    await new Promise((r) => setTimeout(r, 600));
    const before = await page.evaluate(() => ({
      time: Module._audio_page_time(), audible: window.vantorAudioPage.audible,
      start: getComputedStyle(document.getElementById('vantor-start')).display,
    }));
    check(before.time === 0 && !before.audible && before.start !== 'none',
      `before a gesture: silent, the clock at ${before.time} ms, "Click to start" shown`);
    await page.mouse.click(400, 300);
    await new Promise((r) => setTimeout(r, 800));
    const after = await page.evaluate(() => ({
      time: Module._audio_page_time(), audible: window.vantorAudioPage.audible,
      start: getComputedStyle(document.getElementById('vantor-start')).display,
    }));
    check(after.time > 300 && after.audible && after.start === 'none',
      `after a click: playing (${after.time} ms), the start line gone`);

    // F toggles full screen (the browser's own Escape also leaves it).
    await page.keyboard.press('KeyF');
    await new Promise((r) => setTimeout(r, 300));
    const full = await page.evaluate(() => !!document.fullscreenElement);
    await page.keyboard.press('KeyF');
    await new Promise((r) => setTimeout(r, 300));
    check(full && !(await page.evaluate(() => !!document.fullscreenElement)), 'F enters full screen and F leaves it');

    const fitted = await page.evaluate(() => [canvas.style.width, canvas.style.height, canvas.style.top]);
    check(fitted.join() === '800px,600px,0px', `the canvas fills an 800 x 600 window (${fitted.join(' ')})`);
    await page.setViewport({ width: 1000, height: 500 });
    await new Promise((r) => setTimeout(r, 300));
    const wide = await page.evaluate(() => [canvas.style.width, canvas.style.height, canvas.style.left]);
    check(wide.join() === '666px,500px,167px', `a wide window gets black bars at the sides (${wide.join(' ')})`);
    await page.setViewport({ width: 1, height: 1 });
    await new Promise((r) => setTimeout(r, 500));
    const tiny = await page.evaluate(() => ({
      size: [canvas.style.width, canvas.style.height], last: window.vantorAudioPage.sizes.at(-1),
      time: Module._audio_page_time(), error: window.vantorError,
    }));
    check(tiny.size.join() === '1px,1px' && tiny.last.join() === '1,1' && tiny.error === undefined,
      `a 1-pixel window: a 1 x 1 canvas, a Size of ${tiny.last}, no error`);
    await page.setViewport({ width: 800, height: 600 });
    await new Promise((r) => setTimeout(r, 500));
    const back = await page.evaluate(() => ({
      time: Module._audio_page_time(), last: window.vantorAudioPage.sizes.at(-1),
      frames: window.vantorAudioPage.frames,
    }));
    check(back.time > tiny.time && back.last.join() === '800,600', `back to 800 x 600, still playing (${back.time} ms)`);
    check(messages.length <= 4, `a quiet console (${messages.length} lines)`);
  } finally {
    await browser.close();
    server.close();
  }
}
// A click while the page still loads (the program not yet there) starts the
// sound once the program is.
{
  const server = await serveWith({ slow: ['audio_page.wasm'] });
  const browser = await b.launch();
  try {
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/audio.html`);
    await page.waitForFunction(() => document.getElementById('vantor-start'), { timeout: 10000 });
    const early = await page.evaluate(() => window.Module.calledRun === true);
    await page.mouse.click(400, 300);
    await page.waitForFunction(() => window.vantorDone === true || window.vantorError !== undefined,
      { timeout: 30000, polling: 100 });
    await new Promise((r) => setTimeout(r, 800));
    const late = await page.evaluate(() => ({ time: Module._audio_page_time(), audible: window.vantorAudioPage.audible }));
    check(!early && late.time > 300 && late.audible,
      `a click before the program ran: the sound plays once it is there (${late.time} ms)`);
  } finally {
    await browser.close();
    server.close();
  }
}
fs.rmSync(site, { recursive: true, force: true });
if (failures.length) {
  console.error(`${failures.length} checks failed`);
  process.exit(1);
}
