// What the browser tests share: the page served on 127.0.0.1, Debian's
// Chromium started headless through puppeteer-core, and reading the canvas.
// The page's folder, puppeteer-core's node_modules and a folder for
// Chromium's profiles come from scripts/test.sh web.
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

const page_dir = process.env.ORRERY_PAGE_DIR;
const node_modules = process.env.ORRERY_NODE_MODULES;
const profiles = process.env.ORRERY_PROFILE_DIR;
if (!page_dir || !node_modules || !profiles) {
  throw new Error('run through scripts/test.sh web (ORRERY_PAGE_DIR, ORRERY_NODE_MODULES, ORRERY_PROFILE_DIR)');
}
const puppeteer = createRequire(join(node_modules, 'x.js'))('puppeteer-core');

const mime_types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.png': 'image/png', '.css': 'text/css', '.md': 'text/plain; charset=utf-8',
};

// A static server for the page's folder, on the loopback only.
function serve(override = null) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const answer = override?.(path);
    if (answer) {
      response.writeHead(answer.status, answer.type ? { 'Content-Type': answer.type } : {});
      response.end(answer.body ?? '');
      return;
    }
    const file = join(page_dir, path.endsWith('/') ? 'index.html' : path);
    try {
      const body = readFileSync(file);
      response.writeHead(200, { 'Content-Type': mime_types[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Helpers put into the page before its own scripts: snapshots of the canvas
// and their comparison, and a count of the browser's animation frames.
function page_helpers() {
  const shots = new Map();
  let frames = 0;
  // Its own hold on the browser's frames, whatever the page does with them later.
  const request_frame = window.requestAnimationFrame.bind(window);
  const count = () => { frames += 1; request_frame(count); };
  request_frame(count);
  const pixels = () => {
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(canvas, 0, 0);
    return context.getImageData(0, 0, copy.width, copy.height);
  };
  // Whether each context menu the page was asked for was refused, as the
  // window sees it once the canvas has had it.
  const menus = [];
  window.addEventListener('contextmenu', (event) => menus.push(event.defaultPrevented));
  window.orrery_test = {
    frames: () => frames,
    menus: () => menus,
    shoot: (name) => { shots.set(name, pixels()); },
    // Share of pixels of two snapshots that differ by more than 24 levels in a channel.
    changed: (a, b) => {
      const x = shots.get(a), y = shots.get(b);
      if (x.width !== y.width || x.height !== y.height) return 1;
      let differing = 0;
      for (let i = 0; i < x.data.length; i += 4) {
        if (Math.abs(x.data[i] - y.data[i]) > 24 || Math.abs(x.data[i + 1] - y.data[i + 1]) > 24 ||
            Math.abs(x.data[i + 2] - y.data[i + 2]) > 24) differing += 1;
      }
      return differing / (x.width * x.height);
    },
    // Mean red, green and blue of a square of the live canvas around (cx, cy),
    // and the share of its pixels brighter than 60 in some channel.
    square: (cx, cy, half) => {
      const image = pixels();
      let r = 0, g = 0, b = 0, bright = 0, n = 0;
      for (let y = cy - half; y <= cy + half; y += 1) {
        for (let x = cx - half; x <= cx + half; x += 1) {
          const i = 4 * (y * image.width + x);
          r += image.data[i]; g += image.data[i + 1]; b += image.data[i + 2];
          if (Math.max(image.data[i], image.data[i + 1], image.data[i + 2]) > 60) bright += 1;
          n += 1;
        }
      }
      return { r: r / n, g: g / n, b: b / n, bright: bright / n };
    },
  };
}

const chromium_flags = [
  '--headless', '--no-sandbox', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// The page in a fresh browser: the page, every error it reported, and
// `close`. The viewport is larger than the canvas, so that full screen has a
// size of its own. `flags` are more of Chromium's; `script` runs in the page
// before the page's own.
export const engine = 'chromium';
export async function open_page({ flags = [], script = null, serve: override = null } = {}) {
  const server = await serve(override);
  const profile = mkdtempSync(join(profiles, 'chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.ORRERY_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: [...chromium_flags, ...flags, `--user-data-dir=${profile}`],
    defaultViewport: { width: 1024, height: 768 },
  });
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(`page error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(`console error: ${message.text()}`);
  });
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  await page.evaluateOnNewDocument(page_helpers);
  if (script) await page.evaluateOnNewDocument(script);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  const close = async () => {
    await browser.close();
    await new Promise((resolve) => server.close(resolve));
    rmSync(profile, { recursive: true, force: true });
  };
  const evaluate = (fn, ...args) => page.evaluate(fn, ...args);
  const wait_for = (fn, args = [], { timeout = 30000 } = {}) =>
    page.waitForFunction(fn, { polling: 100, timeout }, ...args);
  const key = (code) => page.keyboard.press(code);
  return { page, engine, errors, close, evaluate, wait_for, key };
}

// Evaluates `expression` in the page without the user gesture that
// puppeteer's own evaluation carries: for what a browser allows only after
// the user's input (full screen).
export async function evaluate_without_gesture(page, expression) {
  const session = await page.createCDPSession();
  const { result, exceptionDetails } = await session.send('Runtime.evaluate', {
    expression, awaitPromise: true, returnByValue: true, userGesture: false,
  });
  await session.detach();
  if (exceptionDetails) throw new Error(exceptionDetails.text);
  return result.value;
}

// The canvas's top left corner in the viewport.
export async function canvas_origin(page) {
  return page.$eval('#canvas', (canvas) => {
    const box = canvas.getBoundingClientRect();
    return { x: box.left, y: box.top };
  });
}

// Waits until `count` more animation frames have passed.
export async function frames_pass(page, count) {
  const start = await page.evaluate(() => orrery_test.frames());
  await page.waitForFunction((until) => orrery_test.frames() >= until, { polling: 'raf' }, start + count);
}

// Waits, without a user gesture, until `expression` is true in the page.
export async function wait_without_gesture(page, expression, timeout = 30000) {
  const end = Date.now() + timeout;
  while (!(await evaluate_without_gesture(page, expression))) {
    if (Date.now() > end) throw new Error(`timed out waiting for ${expression}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Says what this engine could not check, and why (never silently).
export function not_checked(t, what, why) {
  const line = `NOT CHECKED in ${engine}: ${what}: ${why}`;
  console.log(line);
  t.diagnostic(line);
}
