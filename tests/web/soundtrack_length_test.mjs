// The page's soundtrack length (counted from the MP3 frame headers) against
// the native decoder's on the shipped soundtrack and on broken copies of it:
// the same files refused, the same lengths within 30 ms (the decoder's
// gapless trimming against the encoder's stated delay and padding), and no
// byte sequence that stops the scan.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { parseArgs } from 'node:util';

const { values: o } = parseArgs({
  options: { native: { type: 'string' }, web: { type: 'string' }, soundtrack: { type: 'string' }, out: { type: 'string' } },
});
const dir = path.join(o.out, 'soundtrack');
fs.mkdirSync(dir, { recursive: true });
const whole = fs.readFileSync(o.soundtrack);
let seed = 7;
const random = (n) => Buffer.from(Array.from({ length: n }, () => ((seed = (seed * 1103515245 + 12345) >>> 0) >>> 16) & 255));
const files = {
  'whole.mp3': whole,
  'first-half.mp3': whole.subarray(0, whole.length >> 1),
  'cut-mid-frame.mp3': whole.subarray(0, 100001),
  'junk-before.mp3': Buffer.concat([random(3000), whole.subarray(0, 400000)]),
  'empty.mp3': Buffer.alloc(0),
  'random.mp3': random(200000),
  'sync-bytes.mp3': Buffer.alloc(50000, 0xff),
  // An ID3 tag whose size runs past the end of the file.
  'id3-past-end.mp3': Buffer.concat([Buffer.from('ID3\x04\x00\x00\x7f\x7f\x7f\x7f', 'latin1'), whole.subarray(0, 1000)]),
};
const names = Object.keys(files);
for (const name of names) fs.writeFileSync(path.join(dir, name), files[name]);
const run = (command, args) => execFileSync(command, args, { encoding: 'utf8' }).trim().split('\n');
const paths = names.map((n) => path.join(dir, n));
const native = run(o.native, paths);
const web = run('node', [o.web, ...paths]);
let failed = false;
names.forEach((name, i) => {
  const a = native[i], b = web[i];
  const ok = a === 'refused' || b === 'refused' ? a === b : Math.abs(Number(a) - Number(b)) <= 30;
  console.log(`${name}: native ${a}, page ${b}${ok ? '' : '  <- differs'}`);
  if (!ok) failed = true;
});
process.exit(failed ? 1 : 0);
