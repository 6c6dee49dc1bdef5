// The show's page played live in headless Chromium with sound: the loading
// screen is shown while the effects are built, with the page's timers and
// frames running between the start-up's groups; the show waits at its start
// with "Click to start" until a click, then its music time runs with the
// soundtrack heard (an analyser on the output); a 1-pixel window keeps it
// playing; Escape stops it with a line in the page's panel.
import { parseArgs } from 'node:util';
import * as b from './browser.mjs';

const { values: options } = parseArgs({ options: { site: { type: 'string' }, out: { type: 'string' } } });

const failures = [];
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}

const server = await b.serve(options.site);
const browser = await b.launch({ width: 640, height: 480, sound: true });
try {
  const page = await browser.newPage();
  const messages = [];
  page.on('console', (m) => messages.push(m.text()));
  page.on('pageerror', (e) => messages.push(String(e)));
  // Until the first show frame: the animation frames and timer tasks the page
  // had, and the brightest canvas one of those frames showed.
  await page.evaluateOnNewDocument(() => {
    const seen = { frames: 0, ticks: 0, brightest: 0 };
    window.vantorStartupSeen = seen;
    const started = () => window.vantorStats && window.vantorStats.firstFrameAt !== undefined;
    const loading = () => window.Module && window.Module.calledRun && !started();
    const timer = setInterval(() => {
      if (loading()) ++seen.ticks;
      if (started()) clearInterval(timer);
    }, 5);
    const probe = document.createElement('canvas');
    probe.width = 32;
    probe.height = 24;
    const frame = () => {
      if (loading()) {
        ++seen.frames;
        const context = probe.getContext('2d', { willReadFrequently: true });
        context.drawImage(document.getElementById('canvas'), 0, 0, 32, 24);
        const data = context.getImageData(0, 0, 32, 24).data;
        let sum = 0;
        for (let i = 0; i < data.length; i += 4) sum += data[i] + data[i + 1] + data[i + 2];
        seen.brightest = Math.max(seen.brightest, sum / (32 * 24 * 3));
      }
      if (!started()) requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/index.html`);
  await page.waitForFunction(() => (window.vantorStats && window.vantorStats.firstFrameAt !== undefined) ||
    window.vantorError !== undefined, { timeout: 120000, polling: 100 });
  check(await page.evaluate(() => window.vantorError) === undefined, 'the show starts up');
  const startup = await page.evaluate(() => window.vantorStartupSeen);
  check(startup.frames >= 6 && startup.ticks >= 6,
    `the page had ${startup.frames} animation frames and ${startup.ticks} timer tasks during the start-up (6 each at least)`);
  check(startup.brightest > 20, `the loading screen was shown (brightest mean level ${startup.brightest.toFixed(0)})`);

  // Waiting for the click, with the soundtrack decoded.
  await page.waitForFunction(() => Module.vantorAudio.state === 2, { timeout: 60000, polling: 100 });
  await new Promise((r) => setTimeout(r, 500));
  const waiting = await page.evaluate(() => ({
    time: Module.vantorAudio.position(), running: Module.vantorAudio.context.state,
    start: getComputedStyle(document.getElementById('vantor-start')).display,
  }));
  check(waiting.time === 0 && waiting.running !== 'running' && waiting.start !== 'none',
    `before the click: the music at ${waiting.time}, the sound ${waiting.running}, "Click to start" shown`);

  await page.mouse.click(320, 240);
  const played = await page.evaluate(() => new Promise((resolve) => {
    const audio = Module.vantorAudio;
    const wave = new Float32Array(audio.analyser.fftSize);
    const begin = performance.now();
    const first = audio.position();
    let loudest = 0;
    const step = () => {
      audio.analyser.getFloatTimeDomainData(wave);
      for (const v of wave) loudest = Math.max(loudest, Math.abs(v));
      if (performance.now() - begin < 3000) requestAnimationFrame(step);
      else resolve({ first, last: audio.position(), ms: performance.now() - begin, loudest,
        frames: window.vantorStats.frames || 0 });
    };
    requestAnimationFrame(step);
  }));
  const rate = (played.last - played.first) * 1000 / played.ms;
  console.log(`    music ${(played.first * 1000).toFixed(0)}-${(played.last * 1000).toFixed(0)} ms over ` +
    `${played.ms.toFixed(0)} ms, loudest sample ${played.loudest.toFixed(3)}`);
  check(Math.abs(rate - 1) < 0.1, `after the click the music time runs with the page's clock (rate ${rate.toFixed(3)})`);
  check(played.loudest > 0.01, 'the soundtrack is heard');

  // A window shrunk to one pixel and back: the show plays on, at the size.
  await page.setViewport({ width: 1, height: 1 });
  await new Promise((r) => setTimeout(r, 700));
  const tiny = await page.evaluate(() => [canvas.width, canvas.height, window.vantorError]);
  await page.setViewport({ width: 640, height: 480 });
  await new Promise((r) => setTimeout(r, 700));
  const back = await page.evaluate(() => [canvas.width, canvas.height, window.vantorError, Module.vantorAudio.position()]);
  check(tiny.join() === '1,1,' && back.slice(0, 3).join() === '640,480,' && back[3] > played.last,
    `a 1-pixel window draws into a ${tiny[0]} x ${tiny[1]} buffer and back into ${back[0]} x ${back[1]}, playing on`);

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.vantorDone === true, { timeout: 10000 });
  const stopped = await page.evaluate(() => ({
    panel: document.getElementById('vantor-messages').textContent, time: Module.vantorAudio.position(),
  }));
  await new Promise((r) => setTimeout(r, 300));
  check(/The show is over/.test(stopped.panel) && await page.evaluate(() => Module.vantorAudio.position()) === stopped.time,
    'Escape stops the show and its music, with a line in the panel');
  check(messages.length <= 10, `a quiet console (${messages.length} lines)`);
  if (messages.length) console.log(messages.slice(0, 20).join('\n'));
} finally {
  await browser.close();
  server.close();
}
if (failures.length) {
  console.error(`${failures.length} checks failed`);
  process.exit(1);
}
