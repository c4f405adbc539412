// Loading the page: the progress bar with its bytes, then the program; a file that fails to load, named, with Retry.
// And what the page says where the program cannot run or stops: a browser without WebGL, a program that breaks after
// its first frame. (The pictures as the program gets them: frames.test.mjs; a lost context: context_loss.test.mjs.)
import assert from 'node:assert/strict';
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { it } from 'node:test';
import { open_page, sun_shown, with_page } from './harness.mjs';
const page_dir = process.env.ORRERY_PAGE_DIR;
const running = () => document.getElementById('status')?.textContent.startsWith('Space pauses');
const status = () => document.getElementById('status')?.textContent;
// Every text the status line showed, and every value the progress bar took with whether it was shown then.
function watch_loading() {
  window.loading = { texts: [], bars: [] };
  const value = Object.getOwnPropertyDescriptor(HTMLProgressElement.prototype, 'value');
  Object.defineProperty(HTMLProgressElement.prototype, 'value', {
    ...value,
    set(v) {
      value.set.call(this, v);
      loading.bars.push({ value: this.value, max: this.max, shown: !this.hidden });
    },
  });
  document.addEventListener('DOMContentLoaded', () => {
    new MutationObserver((records) => {
      for (const record of records) {
        for (const node of record.addedNodes) if (node.nodeType === Node.TEXT_NODE) loading.texts.push(node.data);
      }
    }).observe(document.getElementById('status'), { childList: true });
  });
}
// The page's WebGL context made to fail from outside, as where a browser has WebGL turned off or no driver for it.
function without_webgl() {
  const get_context = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
    return /webgl/.test(type) ? null : get_context.call(this, type, ...rest);
  };
}
it('shows a progress bar counting up to the bytes of the code and pictures, gone once the program runs',
  () => with_page({ script: watch_loading }, async (session) => {
    await session.wait_for(running);
    assert.equal(await session.evaluate(() => document.title), 'OpenGL Team Project');
    const { texts, bars, shown } = await session.evaluate(() => ({
      ...loading, shown: !document.getElementById('progress').hidden,
    }));
    // The code and the thirteen pictures as they lie on the server.
    const files = readdirSync(page_dir).filter((f) => f === 'orrery.wasm' || f.endsWith('.webp'));
    assert.equal(files.length, 14);
    const bytes = files.reduce((sum, f) => sum + statSync(join(page_dir, f)).size, 0);
    const kilobytes = Math.round(bytes / 1024);
    const counts = texts.map((text) => text.match(/^Loading… (\d+) KB of (\d+) KB$/)).filter(Boolean)
      .map((m) => [Number(m[1]), Number(m[2])]);
    assert.ok(counts.length >= 2 && counts[0][0] < kilobytes, JSON.stringify(texts));
    assert.deepEqual(counts.at(-1), [kilobytes, kilobytes]);
    assert.ok(bars.length >= 2 && bars.every((bar, i) => bar.shown && bar.value >= (bars[i - 1]?.value ?? 0)),
      JSON.stringify(bars.slice(0, 3)));
    assert.deepEqual([bars.at(-1).value, bars.at(-1).max, shown], [bytes, bytes, false]);
  }));
for (const file of ['orrery.wasm', 'Space.webp', 'orrery.js']) {
  let missing = true;
  const serve = (path) => (missing && path === `/${file}` ? { status: 404, body: 'gone', type: 'text/plain' } : null);
  it(`names ${file} when it fails to load, and Retry loads it once it is back`, async (t) => {
    const session = await open_page({ serve });
    t.after(() => session.close());
    await session.wait_for((name) => document.getElementById('status')?.textContent.includes(name), [file]);
    assert.match(await session.evaluate(status), new RegExp(`^${file.replace('.', '\\.')} could not be loaded.*Retry$`));
    // Retry while it is still missing says so again; once back, the program runs.
    await session.evaluate(() => document.querySelector('#status button').click());
    await session.wait_for(() => document.querySelector('#status button')?.textContent === 'Retry');
    missing = false;
    // Clicked twice, as by an impatient user: the code is loaded once.
    await session.evaluate(() => {
      document.querySelector('#status button').click();
      document.querySelector('#status button')?.click();
    });
    await session.wait_for(running);
    assert.equal(await session.evaluate(() => document.querySelectorAll('script[src="orrery.js"]').length), 1);
    await sun_shown(session);
  });
}
it('without WebGL says so in a browser user\'s words, and what to try, before loading the program',
  () => with_page({ script: without_webgl }, async (session) => {
    await session.wait_for(() => /WebGL/.test(document.getElementById('status')?.textContent));
    const text = await session.evaluate(status);
    for (const words of [/cannot draw with WebGL/, /hardware acceleration/, /another browser/]) assert.match(text, words);
    // Neither the desktop's box nor a download of what cannot run.
    assert.equal(await session.evaluate(() => document.getElementById('box').open), false);
    assert.deepEqual(await session.evaluate(() => performance.getEntriesByType('resource')
      .map((entry) => entry.name.split('/').pop()).filter((name) => /^orrery|\.webp$/.test(name))), []);
  }));
it('a program broken after its first frame gives its error with Start again, which starts it anew', async (t) => {
  const session = await open_page();
  t.after(() => session.close());
  await sun_shown(session);
  // WebGL's draw calls taken away: the program's next draw throws a TypeError of its own (an error thrown by the
  // test's own function would reach the page without its text).
  await session.evaluate(() => {
    for (const call of ['drawArrays', 'drawElements']) WebGLRenderingContext.prototype[call] = undefined;
  });
  await session.wait_for(() => document.getElementById('status')?.textContent.includes('stopped'));
  assert.match(await session.evaluate(status), /^The program stopped with an error: TypeError: .*draw(Arrays|Elements).*Start again$/);
  // Start again reloads the page: polls that meet the old document's end are asked again.
  await session.evaluate(() => document.querySelector('#status button').click());
  for (let tries = 0; ; tries += 1) {
    try {
      await session.wait_for(running);
      return await sun_shown(session);
    } catch (error) {
      if (tries === 10 || !/navigat|context|destroyed/i.test(error.message)) throw error;
    }
  }
});
