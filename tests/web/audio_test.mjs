// The soundtrack through Web Audio as the music clock, in headless Chromium
// with sound: a test soundtrack of silence with tone bursts at known times is
// played, and the music time is checked against what the audio output plays
// (the level an analyser on the output reads), against the page's own clock
// while it plays, and through pauses, seeks, the end of the soundtrack and a
// hidden tab. The page's keys arrive as the demo's virtual-key codes.
import fs from 'node:fs';
import { parseArgs } from 'node:util';
import * as b from './browser.mjs';
import { makeSite } from './audio_site.mjs';

const { values: options } = parseArgs({ options: { site: { type: 'string' }, out: { type: 'string' } } });

const { site, kSeconds } = makeSite(options.site);

const failures = [];
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures.push(what);
}

// Samples the clock and the output's level on every animation frame for ms.
async function sample(page, ms) {
  return page.evaluate((ms) => new Promise((resolve) => {
    const audio = Module.vantorAudio;
    const wave = new Float32Array(audio.analyser.fftSize);
    const samples = [];
    const begin = performance.now();
    function step() {
      audio.analyser.getFloatTimeDomainData(wave);
      let sum = 0;
      for (const v of wave) sum += v * v;
      samples.push({ at: performance.now(), music: Module._audio_page_time(), level: Math.sqrt(sum / wave.length) });
      if (performance.now() - begin < ms) requestAnimationFrame(step); else resolve(samples);
    }
    requestAnimationFrame(step);
  }), ms);
}

// The music time at which the output's level first rises (the burst heard).
function burstAt(samples) {
  const loud = samples.find((s) => s.level > 0.05);
  return loud ? loud.music : undefined;
}

// The clock's rate against the page's clock over the samples.
function rate(samples) {
  const first = samples[0], last = samples[samples.length - 1];
  return (last.music - first.music) / (last.at - first.at);
}

const server = await b.serve(site);
const browser = await b.launch({ sound: true });
const url = `http://127.0.0.1:${server.address().port}/audio.html`;
try {
  const { page, error, messages } = await b.openUntilDone(browser, url, 30000);
  if (error) throw new Error(`the page failed: ${error}\n${messages.join('\n')}`);
  const length = await page.evaluate(() => window.vantorAudioPage.length);
  check(Math.abs(length - kSeconds * 1000) <= 30, `the soundtrack's length ${length} ms is the tone's 6000 ms`);
  check(await page.evaluate(() => window.vantorAudioPage.archiveBytes) === 4096,
    'the archive was fetched into the file system before main');

  // Nothing plays before the page's gesture; from a click on, the first
  // burst is heard at music time 1000.
  await new Promise((r) => setTimeout(r, 300));
  check(await page.evaluate(() => Module._audio_page_time() === 0 && !window.vantorAudioPage.audible),
    'before a click the clock stands at 0 and nothing plays');
  await page.mouse.click(400, 300);
  const start = await sample(page, 1800);
  const heard = burstAt(start);
  console.log(`    burst heard at music time ${heard} ms; clock rate ${rate(start).toFixed(4)}`);
  check(heard !== undefined && Math.abs(heard - 1000) <= 80, 'the first burst is heard at music time 1000 ms (±80)');
  check(Math.abs(rate(start) - 1) <= 0.03, 'the music time runs at the page clock\'s rate (±3%)');
  check(start.every((s, i) => i === 0 || s.music >= start[i - 1].music), 'the music time never steps back');

  // Paused: the position stands, and a play goes on from it.
  const pausedAt = await page.evaluate(() => { Module._audio_page_pause(); return Module._audio_page_time(); });
  const whilePaused = await sample(page, 400);
  check(whilePaused.every((s) => s.music === pausedAt), `paused at ${pausedAt} ms, the position stands`);
  check(whilePaused.every((s) => s.level < 0.01) || pausedAt > 1400, 'nothing plays while paused');
  const resumed = await page.evaluate(() => { Module._audio_page_play(); return Module._audio_page_time(); });
  check(resumed === pausedAt, `a play goes on from the paused position (${resumed} ms)`);

  // A seek while paused reads back exactly; a seek while playing is heard there.
  const exact = await page.evaluate(() => {
    Module._audio_page_pause();
    Module._audio_page_seek(2345);
    const read = [Module._audio_page_time(), Module._audio_page_paused()];
    Module._audio_page_seek(3700);
    Module._audio_page_play();
    return read;
  });
  check(exact[0] === 2345 && exact[1] === 1, `a seek while paused reads back as 2345 ms and stays paused`);
  const afterSeek = await sample(page, 800);
  const secondBurst = burstAt(afterSeek);
  console.log(`    second burst heard at music time ${secondBurst} ms`);
  check(secondBurst !== undefined && Math.abs(secondBurst - 4000) <= 80,
    'after a seek to 3700 ms the second burst is heard at 4000 ms (±80)');
  check(afterSeek[0].music >= 3700 && afterSeek[0].music < 3800, 'the clock goes on from the seek');

  // Past the soundtrack's end the position runs on over silence.
  await page.evaluate(() => Module._audio_page_seek(5800));
  const overEnd = await sample(page, 600);
  const last = overEnd[overEnd.length - 1].music;
  check(last > 6200 && overEnd.every((s) => s.level < 0.01), `past the end the clock runs on (${last} ms), silent`);

  // A hidden tab: the clock and the sound run on; no frames are drawn.
  await page.evaluate(() => Module._audio_page_seek(500));
  const hidden = await page.evaluate(() => new Promise((resolve) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => 'hidden' });
    document.dispatchEvent(new Event('visibilitychange'));
    setTimeout(() => {
      const before = { frames: window.vantorAudioPage.frames, music: Module._audio_page_time() };
      setTimeout(() => {
        const after = { frames: window.vantorAudioPage.frames, music: Module._audio_page_time(),
          visible: window.vantorAudioPage.visible };
        delete document.hidden;
        delete document.visibilityState;
        document.dispatchEvent(new Event('visibilitychange'));
        resolve({ before, after });
      }, 700);
    }, 100);
  }));
  check(hidden.after.frames === hidden.before.frames && hidden.after.visible === false,
    'while the tab is hidden no frame is drawn');
  check(hidden.after.music - hidden.before.music >= 600, `the clock runs on while hidden (+${hidden.after.music - hidden.before.music} ms)`);
  await new Promise((r) => setTimeout(r, 200));
  check(await page.evaluate(() => window.vantorAudioPage.visible), 'shown again, the page draws again');

  // A burst of keys between two frames (a tab whose frames stall): the queue
  // keeps its bound and the newest keys.
  const burst = await page.evaluate(() => new Promise((resolve) => {
    const before = window.vantorAudioPage.keys.length;
    for (let i = 0; i < 1000; ++i) window.dispatchEvent(new KeyboardEvent('keydown', { code: 'KeyA' }));
    window.dispatchEvent(new KeyboardEvent('keydown', { code: 'KeyB' }));
    setTimeout(() => {
      const keys = window.vantorAudioPage.keys.slice(before);
      window.vantorAudioPage.keys.length = before;
      resolve({ count: keys.length, last: keys.at(-1) });
    }, 300);
  }));
  check(burst.count === 256 && burst.last === 66,
    `1001 keys between two frames: the newest 256 arrive (${burst.count}, the last ${burst.last})`);

  // Keys: their virtual-key codes; Escape stops the page.
  for (const key of ['KeyA', 'Digit7', 'F5', 'ShiftLeft', 'ArrowUp', 'Numpad3']) await page.keyboard.press(key);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => window.vantorAudioPage.stopped === true, { timeout: 5000 });
  const keys = await page.evaluate(() => window.vantorAudioPage.keys);
  check(JSON.stringify(keys) === JSON.stringify([65, 55, 116, 16, 38, 99, 27]),
    `keys arrive as their virtual-key codes (${keys.join(' ')})`);
  const stoppedAt = await page.evaluate(() => Module._audio_page_time());
  await new Promise((r) => setTimeout(r, 300));
  check(await page.evaluate(() => Module._audio_page_time()) === stoppedAt, 'after Escape the music stands');
  check(messages.length < 10, `the console stays quiet (${messages.length} lines)`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(site, { recursive: true, force: true });
}
if (failures.length) {
  console.error(`${failures.length} checks failed`);
  process.exit(1);
}
