// The site the web platform's page tests serve: the test page and its
// program from the test site, a test soundtrack of silence with tone bursts at
// known times, and a small archive.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const kRate = 44100;
export const kSeconds = 6;
export const kBursts = [1.0, 4.0];

// 6 s of 44.1 kHz stereo: silence, with 880 Hz bursts over [1.0, 1.3) s and
// [4.0, 4.3) s.
function toneWav() {
  const frames = kRate * kSeconds;
  const data = Buffer.alloc(frames * 4);
  for (let i = 0; i < frames; ++i) {
    const t = i / kRate;
    const on = kBursts.some((start) => t >= start && t < start + 0.3);
    const v = on ? Math.round(Math.sin(2 * Math.PI * 880 * t) * 16000) : 0;
    data.writeInt16LE(v, i * 4);
    data.writeInt16LE(v, i * 4 + 2);
  }
  const header = Buffer.alloc(44);
  header.write('RIFF', 0); header.writeUInt32LE(36 + data.length, 4); header.write('WAVE', 8);
  header.write('fmt ', 12); header.writeUInt32LE(16, 16); header.writeUInt16LE(1, 20); header.writeUInt16LE(2, 22);
  header.writeUInt32LE(kRate, 24); header.writeUInt32LE(kRate * 4, 28); header.writeUInt16LE(4, 32);
  header.writeUInt16LE(16, 34); header.write('data', 36); header.writeUInt32LE(data.length, 40);
  return Buffer.concat([header, data]);
}

export function makeSite(testSite) {
  const site = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-audio-site-'));
  for (const name of ['audio.html', 'audio_page.js', 'audio_page.wasm', 'web_page.js'])
    fs.copyFileSync(path.join(testSite, name), path.join(site, name));
  fs.writeFileSync(path.join(site, 'tone.wav'), toneWav());
  execFileSync('lame', ['--quiet', '-b', '192', path.join(site, 'tone.wav'), path.join(site, 'tone.mp3')]);
  fs.writeFileSync(path.join(site, 'vantor.ppd'), Buffer.alloc(4096, 7));
  return { site, kSeconds };
}
