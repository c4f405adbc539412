// Offline and installable: after one visit the page runs with the network off; a new build's files are fetched on the
// next visit and used, whole, once the old version's page is gone, and the old files are deleted; the manifest makes
// the page an app Chromium can install.
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { it } from 'node:test';
import { engine, not_checked, open_page, sun_shown as started } from './harness.mjs';
const page_dir = process.env.ORRERY_PAGE_DIR;
// Opens `url` in the session's tab and waits for the new document.
async function go(page, url) {
  await page.evaluate((to) => {
    window.left_behind = true;
    setTimeout(() => { location.href = to; }, 0);
  }, url);
  for (const end = Date.now() + 30000; Date.now() < end; await new Promise((resolve) => setTimeout(resolve, 100))) {
    // (The old document may go while it is asked.)
    const opened = await page.evaluate((to) => !window.left_behind && location.href === to &&
      document.readyState === 'complete', url).catch(() => false);
    if (opened) return;
  }
  throw new Error(`${url} did not open`);
}
// Waits until the page's service workers are in these states (null: none). (WebKitGTK once left a getRegistration
// unanswered for good, CI's run then hanging until the driver's connection timed out: there one left 2 s is asked
// again.)
const workers = (page, active, waiting) => page.wait_for(async (states, bounded) => {
  let timer;
  const asked = navigator.serviceWorker.getRegistration();
  const registration = !bounded ? await asked : await Promise.race([asked,
    new Promise((resolve) => { timer = setTimeout(resolve, 2000, 'unanswered'); })]);
  clearTimeout(timer);
  if (registration === 'unanswered') return false;
  return JSON.stringify([registration?.active?.state ?? null, registration?.waiting?.state ?? null]) === states;
}, [JSON.stringify([active, waiting]), engine === 'webkit']);
// Chromium: waits until, as it reports, the old version's worker is gone and the next one active (its activation done).
async function taken_over(states) {
  for (const end = Date.now() + 30000; Date.now() < end; await new Promise((resolve) => setTimeout(resolve, 50))) {
    const all = [...states.values()];
    if (all.includes('redundant') && all.every((state) => state === 'activated' || state === 'redundant')) return;
  }
  throw new Error(`the next build never took over: ${JSON.stringify([...states])}`);
}
const versions = () => caches.keys();
// The style sheet as the page's own requests get it now.
const style_sheet = () => fetch('page.css').then((response) => response.text());
it('installable; after one visit it runs with the network off; a new build replaces the old, never mixed', async (t) => {
  // The server: the build as made, then a next build (its style sheet and worker's version changed), then nothing.
  const style = readFileSync(join(page_dir, 'page.css'), 'utf8');
  const worker = readFileSync(join(page_dir, 'service_worker.js'), 'utf8');
  // The worker keeps every other file of the page (the loader is written last of all).
  assert.deepEqual([...worker.matchAll(/^ {2}'([^']+)',$/gm)].map((m) => m[1]),
    readdirSync(page_dir, { recursive: true }).filter((name) => name !== 'service_worker.js').sort());
  let network = 'this build';
  const asked_offline = [];
  const serve = (path) => {
    // (With an icon of its own: Chromium asks for /favicon.ico a while after the page, when the network may be off.)
    const elsewhere = '<!doctype html><title>Elsewhere</title><link rel="icon" href="data:,">';
    if (path === '/elsewhere.html') return { body: elsewhere, type: 'text/html' };
    if (path.startsWith('/orrery-test/')) return null;
    if (network === 'off') {
      asked_offline.push(path);
      return { status: 503, body: '' };
    }
    if (network !== 'next build') return null;
    if (path === '/page.css') return { body: `${style}/* next build */\n`, type: 'text/css' };
    const next_worker = worker.replace(/const version = '([^']+)'/, "const version = '$1-next'");
    return path === '/service_worker.js' ? { body: next_worker, type: 'text/javascript' } : null;
  };
  // A page left is gone, as a closed tab's, not kept for the Back button (where it would still be the old version's).
  const page = await open_page({ serve, installed: true, script: () => addEventListener('unload', () => {}) });
  t.after(() => page.close());
  // In Chromium, each service worker's state (by version) as the browser reports it, whatever page is shown, and the
  // workers it has begun to stop.
  const states = new Map(), stopping = new Set();
  if (engine === 'chromium') {
    page.on_devtools('ServiceWorker.workerVersionUpdated', ({ versions }) => {
      for (const { versionId, status, runningStatus } of versions) {
        states.set(versionId, status);
        if (runningStatus === 'stopping') stopping.add(versionId);
      }
    });
    await page.devtools('ServiceWorker.enable');
  }
  await started(page);
  // The manifest the page links, with its two icons at their sizes; in Chromium, no installability error.
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel="manifest"]');
    const text = await (await fetch(link.href)).json();
    const icons = await Promise.all(text.icons.map(async (icon) => {
      const image = await createImageBitmap(await (await fetch(new URL(icon.src, link.href))).blob());
      return `${icon.sizes} ${image.width}x${image.height}`;
    }));
    return { name: text.name, display: text.display, start_url: text.start_url, icons };
  });
  assert.deepEqual(manifest, {
    name: 'Orrery', display: 'standalone', start_url: './', icons: ['192x192 192x192', '512x512 512x512'],
  });
  if (engine === 'chromium') {
    assert.deepEqual((await page.devtools('Page.getInstallabilityErrors')).installabilityErrors, []);
  } else not_checked(t, 'installability', 'only Chromium says what keeps a page from it');
  await workers(page, 'activated', null);
  const [first] = await page.evaluate(versions);
  // The version: the program's, with a digest of the page's files.
  assert.match(first, /^orrery http:\/\/127\.0\.0\.1:\d+\/ \d+\.\d+\.\d+-[0-9a-f]{16}$/);
  const home = `${page.base_url}/`;
  network = 'off';
  await go(page, home);
  await started(page);
  assert.equal(await page.evaluate(() => navigator.serviceWorker.controller !== null), true);
  assert.equal(await page.evaluate(style_sheet), style);
  assert.deepEqual(page.errors, []);
  if (engine === 'webkit') {
    return not_checked(t, 'a new build replacing the old', "WebKitGTK leaves the next build's worker activating, " +
      "where the other engines let it take over once the old version's page is gone");
  }
  // The next build: this visit runs on the kept version to its end while the next one is fetched beside it.
  stopping.clear();
  network = 'next build';
  await go(page, home);
  await started(page);
  // (Headless Chromium starts the new worker only while the page is not animating, or once it is gone: it is paused.)
  await page.key('Space');
  await workers(page, 'activated', 'installed');
  assert.equal(await page.evaluate(style_sheet), style);
  assert.deepEqual((await page.evaluate(versions)).sort(), [first, `${first}-next`]);
  // Nor has the next build begun to take over: Chromium first stops the worker it replaces (which a request of the
  // page's, as for the style sheet, may start again, putting the change off).
  assert.deepEqual([...stopping], []);
  // Once that page is gone, the next build takes over (in Chromium, seen before the next visit: Chromium may count the
  // page left as open a moment after the next has come, then its old version's); the next visit runs it, offline,
  // keeping only its files.
  await go(page, `${page.base_url.replace('127.0.0.1', 'localhost')}/elsewhere.html`);
  if (engine === 'chromium') await taken_over(states);
  network = 'off';
  await go(page, home);
  await started(page);
  assert.equal(await page.evaluate(style_sheet), `${style}/* next build */\n`);
  assert.deepEqual(await page.evaluate(versions), [`${first}-next`]);
  // (The new worker may still be activating as the page starts.)
  await workers(page, 'activated', null);
  // Offline, only the checks for a newer build reached the server.
  assert.deepEqual(asked_offline.filter((path) => path !== '/service_worker.js'), []);
  assert.deepEqual(page.errors, []);
});
