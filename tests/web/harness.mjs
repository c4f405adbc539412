// What the browser tests share, in the engine this run drives (ORRERY_ENGINE): the page served on 127.0.0.1 with the
// tests' helpers (in_page.js) before its own scripts, opened in a fresh browser context through the engine's driver
// (driver_*.mjs), its input, and cases grouped on one page (page_suite). Its folders come from tests/web/run.sh.
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { dirname, extname, join, normalize } from 'node:path';
import { after, before, describe, it } from 'node:test';
import { fileURLToPath } from 'node:url';
export const engine = process.env.ORRERY_ENGINE ?? 'chromium';
const page_dir = process.env.ORRERY_PAGE_DIR;
if (!page_dir || !process.env.ORRERY_NODE_MODULES || !process.env.ORRERY_PROFILE_DIR) {
  throw new Error('run through scripts/test.sh web (ORRERY_PAGE_DIR, ORRERY_NODE_MODULES, ORRERY_PROFILE_DIR)');
}
if (!['chromium', 'firefox', 'webkit'].includes(engine)) throw new Error('ORRERY_ENGINE: chromium, firefox or webkit');
const driver = await import(engine === 'webkit' ? './driver_webkit.mjs' : './driver_puppeteer.mjs');
// The browsers (and the X display) start with a test file's first page and end after its last test.
after(() => driver.close_all());
const in_page = readFileSync(join(dirname(fileURLToPath(import.meta.url)), 'in_page.js'));
const mime_types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.css': 'text/css', '.md': 'text/plain; charset=utf-8', '.webmanifest': 'application/manifest+json',
};
// Says in the test's output what this engine could not be made to check, and why.
export function not_checked(t, what, why) {
  const line = `NOT CHECKED in ${engine}: ${what}: ${why}`;
  console.log(line);
  t.diagnostic(line);
}
// A static server for the page's folder, on the loopback only. Every HTML page gets the tests' scripts first in its
// head; `serve` may answer a request itself. Nothing is cached, as the page changes between builds.
function start_server(script, serve) {
  const ours = {
    '/orrery-test/start': { body: '<!doctype html><title>-</title>', type: mime_types['.html'] },
    '/orrery-test/in_page.js': { body: in_page, type: mime_types['.js'] },
    '/orrery-test/script.js': script && { body: `(${script})();\n`, type: mime_types['.js'] },
  };
  const scripts = '<script src="/orrery-test/in_page.js"></script>' +
    (script ? '<script src="/orrery-test/script.js"></script>' : '');
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    let answer = ours[path] || await serve?.(path);
    if (!answer) {
      const file = join(page_dir, path.endsWith('/') ? 'index.html' : path);
      try { answer = { body: readFileSync(file), type: mime_types[extname(file)] ?? 'application/octet-stream' }; }
      catch { answer = { status: 404, body: '' }; }
    }
    const { status = 200, type, body } = answer;
    response.writeHead(status, { ...(type && { 'Content-Type': type }), 'Cache-Control': 'no-store' });
    response.end(type?.startsWith('text/html') ? String(body).replace(/<head>/i, `<head>${scripts}`) : body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}
// The page in a fresh browser context of this run's engine.
export async function open_page({ viewport = {}, path = '/', script = null, serve = null, installed = false } = {}) {
  const view = { width: 1024, height: 768, scale: 1, touch: false, ...viewport };
  const server = await start_server(script, serve);
  const base_url = `http://127.0.0.1:${server.address().port}`;
  const page = await driver.open(engine, view, `${base_url}/orrery-test/start`, installed);
  const errors = [];
  // Every evaluation runs without a user gesture and brings back the page's errors since the last one.
  const evaluate = async (fn, ...args) => {
    const source = `(async () => { const value = await (${fn})(...${JSON.stringify(args)});
      return JSON.stringify({ value, errors: window.orrery_test?.take_errors() ?? [] }); })()`;
    const { value, errors: seen } = JSON.parse(await page.run(source));
    errors.push(...seen);
    return value;
  };
  // The driver's input as it is (key, mouse_move, mouse_down, mouse_up, wheel, resize, devtools, on_devtools) and more.
  const session = {
    ...page, engine, errors, base_url, evaluate,
    async wait_for(fn, args = [], { timeout = 30000 } = {}) {
      const end = Date.now() + timeout;
      for (let refused = '';;) {
        // WebKitWebDriver takes a non-Error value thrown in its script for the result and fails to parse it ("Could not
        // parse script result"; CI met it once, polling just after Escape closed a box): such a poll is asked again.
        const value = await evaluate(fn, ...args).catch((error) => {
          if (!/Could not parse script result/.test(error.message)) throw error;
          refused = ` (${error.message})`;
        });
        if (value) return value;
        if (Date.now() > end) throw new Error(`timed out after ${timeout} ms waiting for ${fn}${refused}`);
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
    },
    click: async (x, y) => { await page.mouse_move(x, y); await page.mouse_down('left'); await page.mouse_up('left'); },
    tap: (x, y) => page.touch([[{ x, y }], []]),
    touch_drag: (from, to, steps = 8) => page.touch(in_steps(steps, (f) =>
      [{ x: from.x + (to.x - from.x) * f, y: from.y + (to.y - from.y) * f }])),
    pinch: (centre, gap_from, gap_to, steps = 8) => page.touch(in_steps(steps, (f) => {
      const half = (gap_from + (gap_to - gap_from) * f) / 2;
      return [{ x: centre.x - half, y: centre.y }, { x: centre.x + half, y: centre.y }];
    })),
    async close() {
      await page.close();
      // (A browser kept open, as for an installed page, would hold its idle connections: 100 s in Chromium.)
      server.closeAllConnections();
      await new Promise((resolve) => server.close(resolve));
    },
  };
  await page.go(`${base_url}${path}`);
  return session;
}
// The fingers at `steps` + 1 even steps (`at(0)` to `at(1)`), then lifted.
const in_steps = (steps, at) => [...Array(steps + 1).keys()].map((i) => at(i / steps)).concat([[]]);
// The Sun drawn at the middle of a drawing buffer `width` wide (any, if 0).
export const sun_shown = (page, width = 0) => page.wait_for((w) => {
  const canvas = document.getElementById('canvas');
  return (!w || canvas.width === w) && orrery_test.square(canvas.width >> 1, canvas.height >> 1, 6) > 0.95;
}, [width]);
// Cases on one page, opened with `options` (the Sun shown) before them and closed after them, the last checking that
// the page met no error; `body` declares them on `page`, filled in once it is open.
export function page_suite(name, options, body) {
  describe(name, () => {
    const page = {};
    before(async () => sun_shown(Object.assign(page, await open_page(options))));
    after(async () => page.close?.());
    body(page);
    it('reports no page error and no console error', () => assert.deepEqual(page.errors, []));
  });
}
// `test` on a page of its own (opened with `options`), which must meet no error.
export async function with_page(options, test) {
  const page = await open_page(options);
  try {
    await test(page);
    assert.deepEqual(page.errors, []);
  } finally {
    await page.close();
  }
}
