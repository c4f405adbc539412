// The browser build's figures in headless Chromium on SwiftShader, for each
// page given (the build before a change and after it, side by side): the time
// from the page's load to the program's first frame; the frames per second and
// the program's own work a frame in both sphere modes, with the browser pacing
// the frames to its 60 Hz and unpaced; the time of a pick on the Sun and on
// empty space in both modes; and, for the last page, the JavaScript heap and
// the WebGL buffers and textures over 1,000 frames in each mode and ten F1
// switches. Run by scripts/bench.sh web (Chromium through puppeteer-core directly, not
// the tests' engine-neutral harness):
//   node bench/web_bench.mjs LABEL=PAGE_DIR...   (ORRERY_NODE_MODULES, ORRERY_PROFILE_DIR set)
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

const puppeteer = createRequire(join(process.env.ORRERY_NODE_MODULES, 'x.js'))('puppeteer-core');
const mime_types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.css': 'text/css', '.png': 'image/png',
};

function serve(dir) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(dir, path.endsWith('/') ? 'index.html' : path);
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

// Put into the page before its own scripts. Each request for an animation
// frame ends one frame's work, its callback starts the next; a box shown ends
// the work of a pick that hit. WebGL's buffers and textures are counted as the
// page makes and frees them, with the bytes given to each buffer.
function instrument() {
  const request = window.requestAnimationFrame.bind(window);
  const t = { first: null, frames: 0, work: 0, woken: null, works: [], box_after: null };
  window.orrery_timing = t;
  window.requestAnimationFrame = (callback) => {
    const now = performance.now();
    if (t.first === null) t.first = now;
    if (t.woken !== null) {
      t.work += now - t.woken;
      t.works.push(now - t.woken);
      if (t.works.length > 200) t.works.shift();
    }
    t.frames += 1;
    return request((time) => {
      t.woken = performance.now();
      callback(time);
    });
  };
  const show = HTMLDialogElement.prototype.showModal;
  HTMLDialogElement.prototype.showModal = function (...args) {
    t.box_after = performance.now() - t.woken;
    return show.apply(this, args);
  };
  const gl = { buffers: new Map(), bound: new Map(), textures: 0 };
  window.orrery_gl = () => ({
    buffers: gl.buffers.size, textures: gl.textures,
    bytes: [...gl.buffers.values()].reduce((a, b) => a + b, 0),
  });
  const api = WebGLRenderingContext.prototype;
  const wrap = (name, after) => {
    const original = api[name];
    api[name] = function (...args) {
      const result = original.apply(this, args);
      after(args, result);
      return result;
    };
  };
  wrap('createBuffer', (args, buffer) => gl.buffers.set(buffer, 0));
  wrap('deleteBuffer', ([buffer]) => gl.buffers.delete(buffer));
  wrap('bindBuffer', ([target, buffer]) => gl.bound.set(target, buffer));
  wrap('bufferData', ([target, data]) => {
    const buffer = gl.bound.get(target);
    if (gl.buffers.has(buffer)) gl.buffers.set(buffer, typeof data === 'number' ? data : data.byteLength);
  });
  wrap('createTexture', () => { gl.textures += 1; });
  wrap('deleteTexture', ([texture]) => { if (texture) gl.textures -= 1; });
}

const chromium_flags = [
  '--headless', '--no-sandbox', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--enable-precise-memory-info', '--js-flags=--expose-gc',
];

async function open_page(dir, flags) {
  const server = await serve(dir);
  const profile = mkdtempSync(join(process.env.ORRERY_PROFILE_DIR, 'bench-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.ORRERY_CHROMIUM ?? '/usr/bin/chromium', headless: true,
    protocolTimeout: 0,
    args: [...chromium_flags, ...flags, `--user-data-dir=${profile}`],
    defaultViewport: { width: 1024, height: 768 },
  });
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.evaluateOnNewDocument(instrument);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => window.orrery_timing.frames > 30, { timeout: 120000 });
  const close = async () => {
    await browser.close();
    await new Promise((resolve) => server.close(resolve));
    rmSync(profile, { recursive: true, force: true });
  };
  return { page, errors, close };
}

const timing = (page) => page.evaluate(() => ({ ...orrery_timing, works: null, at: performance.now() }));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
async function frames_pass(page, count) {
  const until = (await timing(page)).frames + count;
  await page.waitForFunction((n) => orrery_timing.frames >= n, { timeout: 600000 }, until);
}
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// A pick at the canvas's (x, y): on a body, the work of its frame until the
// box shows (the loop takes a click before it draws); elsewhere, the frame's
// work beyond the median of the frames before it.
async function pick_time(page, x, y) {
  const origin = await page.$eval('#canvas', (c) => c.getBoundingClientRect().toJSON());
  const times = [];
  for (let i = 0; i < 5; i += 1) {
    await frames_pass(page, 10);
    const usual = median(await page.evaluate(() => orrery_timing.works.slice(-20)));
    await page.evaluate(() => { orrery_timing.box_after = null; });
    const frames = (await timing(page)).frames;
    await page.mouse.click(origin.x + x, origin.y + y);
    await page.waitForFunction((n) => orrery_timing.box_after !== null || orrery_timing.frames > n + 2,
      { timeout: 60000 }, frames);
    const box = await page.evaluate(() => orrery_timing.box_after);
    if (box !== null) {
      times.push(box);
      await page.evaluate(() => document.querySelector('#box button').click());
    } else {
      const works = await page.evaluate(() => orrery_timing.works.slice(-3));
      times.push(Math.max(...works) - usual);
    }
  }
  return median(times);
}

async function frame_figures(dir, flags, seconds) {
  const { page, errors, close } = await open_page(dir, flags);
  const first = (await timing(page)).first;
  const rows = [];
  for (const mode of [1, 2]) {
    if (mode === 2) await page.keyboard.press('F5');
    await frames_pass(page, 30);
    const start = await timing(page);
    await sleep(seconds * 1000);
    const end = await timing(page);
    const frames = end.frames - start.frames;
    rows.push({ mode, fps: (1000 * frames) / (end.at - start.at), work: (end.work - start.work) / frames });
  }
  await close();
  if (errors.length > 0) throw new Error(errors.join('\n'));
  return { first, rows };
}

async function pick_figures(dir) {
  const { page, errors, close } = await open_page(dir, []);
  const rows = [];
  for (const mode of [1, 2]) {
    if (mode === 2) await page.keyboard.press('F5');
    rows.push({ mode, sun: await pick_time(page, 400, 300), space: await pick_time(page, 10, 10) });
  }
  await close();
  if (errors.length > 0) throw new Error(errors.join('\n'));
  return rows;
}

async function memory_figures(dir) {
  const { page, errors, close } = await open_page(dir, ['--disable-gpu-vsync', '--disable-frame-rate-limit']);
  const sample = async (label) => {
    await page.evaluate(() => window.gc?.());
    const m = await page.evaluate(() => ({ heap: performance.memory.usedJSHeapSize, ...orrery_gl() }));
    console.log(`    ${label.padEnd(34)} JS heap ${(m.heap / 1048576).toFixed(2)} MB, ` +
      `${m.buffers} WebGL buffers of ${(m.bytes / 1048576).toFixed(2)} MB, ${m.textures} textures`);
  };
  await sample('at the start');
  for (const mode of [1, 2]) {
    if (mode === 2) await page.keyboard.press('F5');
    await frames_pass(page, 100);
    await sample(`sphere mode ${mode}, after 100 frames`);
    await frames_pass(page, 1000);
    await sample(`sphere mode ${mode}, after 1,100 frames`);
  }
  for (let i = 1; i <= 10; i += 1) {
    await page.keyboard.press('F1');
    await frames_pass(page, 20);
    if (i === 2 || i === 10) await sample(`after ${i} F1 switches`);
  }
  await close();
  if (errors.length > 0) throw new Error(errors.join('\n'));
}

const pages = process.argv.slice(2).map((arg) => ({ label: arg.split('=')[0], dir: arg.slice(arg.indexOf('=') + 1) }));
const seconds = Number(process.env.ORRERY_BENCH_SECONDS ?? 5);
// ORRERY_BENCH_PARTS picks some of frames, picks and memory.
const parts = (process.env.ORRERY_BENCH_PARTS ?? 'frames,picks,memory').split(',');
console.log(`headless Chromium, SwiftShader WebGL, 800x600 canvas, ${seconds} s per mode`);
for (const [label, flags] of !parts.includes('frames') ? [] : [
  ['paced by the browser (60 Hz)', []],
  ['unpaced', ['--disable-gpu-vsync', '--disable-frame-rate-limit']],
]) {
  console.log(label);
  for (const { label: name, dir } of pages) {
    const { first, rows } = await frame_figures(dir, flags, seconds);
    for (const row of rows) {
      console.log(`  ${name.padEnd(7)} sphere mode ${row.mode}: ${row.fps.toFixed(1).padStart(6)} frames/s, ` +
        `${row.work.toFixed(2)} ms of the program's work a frame (first frame ${first.toFixed(0)} ms after load)`);
    }
  }
}
if (parts.includes('picks')) console.log('a pick (a click\'s selection pass), median of 5');
for (const { label: name, dir } of parts.includes('picks') ? pages : []) {
  for (const row of await pick_figures(dir)) {
    console.log(`  ${name.padEnd(7)} sphere mode ${row.mode}: on the Sun ${row.sun.toFixed(2)} ms, ` +
      `on empty space ${row.space.toFixed(2)} ms`);
  }
}
const last = pages[pages.length - 1];
if (parts.includes('memory')) {
  console.log(`memory (${last.label}, unpaced)`);
  await memory_figures(last.dir);
}
