// Headless Chromium (Debian's, WebGL through SwiftShader) driven with
// puppeteer-core, and a static server for a site folder on a free loopback
// port: what every browser test of the web build starts with.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import os from 'node:os';
import puppeteer from 'puppeteer-core';
import { PNG } from 'pngjs';

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.mp3': 'audio/mpeg', '.ppd': 'application/octet-stream', '.png': 'image/png',
};

export function serve(folder) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(root, path.normalize(name === '/' ? '/index.html' : name));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

export async function launch({ width = 800, height = 600, sound = false, extraArgs = [] } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-chromium-'));
  const args = [
    '--headless=new', '--no-sandbox', '--no-first-run', '--disable-quic', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-default-apps', '--disable-extensions',
    '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--ignore-gpu-blocklist',
    `--user-data-dir=${profile}`, `--window-size=${width},${height}`,
  ];
  if (sound) args.push('--autoplay-policy=no-user-gesture-required');
  else args.push('--mute-audio');
  args.push(...extraArgs);
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args,
    defaultViewport: { width, height },
  });
  browser.on('disconnected', () => {
    try { fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 }); } catch { /* Chromium may still write */ }
  });
  return browser;
}

// Opens url and waits for window.vantorDone or window.vantorError; prepare,
// when given, is awaited with the new page before it loads.
export async function openUntilDone(browser, url, timeoutMs, prepare) {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  const messages = [];
  page.on('console', (m) => messages.push(m.text()));
  page.on('pageerror', (e) => messages.push(String(e)));
  await page.goto(url);
  try {
    await page.waitForFunction(() => window.vantorDone === true || window.vantorError !== undefined,
      { timeout: timeoutMs, polling: 100 });
  } catch (e) {
    throw new Error(`${url}: neither done nor failed after ${timeoutMs} ms\n${messages.join('\n')}`);
  }
  const error = await page.evaluate(() => window.vantorError);
  return { page, error, messages };
}

// The canvas as RGBA, top row first.
export async function canvasPixels(page, selector = 'canvas') {
  const url = await page.evaluate((s) => document.querySelector(s).toDataURL('image/png'), selector);
  return PNG.sync.read(Buffer.from(url.split(',')[1], 'base64'));
}

export function readPng(file) { return PNG.sync.read(fs.readFileSync(file)); }
export function writePng(file, image) { fs.writeFileSync(file, PNG.sync.write(image)); }

// Per-channel comparison of two images of one size (alpha left out): the
// mean absolute difference and the share of pixels off by more than `near`.
export function compare(a, b, near = 24) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let sum = 0, far = 0;
  const pixels = a.width * a.height;
  for (let i = 0; i < pixels; ++i) {
    let worst = 0;
    for (let k = 0; k < 3; ++k) {
      const d = Math.abs(a.data[i * 4 + k] - b.data[i * 4 + k]);
      sum += d;
      worst = Math.max(worst, d);
    }
    if (worst > near) ++far;
  }
  return { mean: sum / (pixels * 3), farShare: far / pixels };
}

// Difference image for looking at a failure: grey where the images agree.
export function differenceImage(a, b) {
  const out = new PNG({ width: a.width, height: a.height });
  for (let i = 0; i < a.data.length; i += 4) {
    for (let k = 0; k < 3; ++k) out.data[i + k] = Math.min(255, 128 + (a.data[i + k] - b.data[i + k]) * 2);
    out.data[i + 3] = 255;
  }
  return out;
}
