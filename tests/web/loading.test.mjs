// Loading the page: the progress bar with its bytes, then the program; and
// a file that fails to load, named, with Retry.
import assert from 'node:assert/strict';
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { describe, it } from 'node:test';

import { open_page } from './harness.mjs';

const page_dir = process.env.ORRERY_PAGE_DIR;
const running = () => document.getElementById('status').textContent.startsWith('Space pauses');

// Every text the status line showed, and every value the progress bar took
// with whether it was shown then.
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

describe('loading', () => {
  it('shows a progress bar counting up to the bytes of the code and pictures, gone once the program runs',
    async (t) => {
      const session = await open_page({ script: watch_loading });
      t.after(() => session.close());
      await session.wait_for(running);
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
      assert.ok(counts.length >= 2, JSON.stringify(texts));
      assert.deepEqual(counts.at(-1), [kilobytes, kilobytes]);
      assert.ok(counts[0][0] < kilobytes, JSON.stringify(counts[0]));
      assert.ok(bars.length >= 2 && bars.every((bar) => bar.shown), JSON.stringify(bars.slice(0, 3)));
      for (let i = 1; i < bars.length; i += 1) assert.ok(bars[i].value >= bars[i - 1].value);
      assert.equal(bars.at(-1).value, bytes);
      assert.equal(bars.at(-1).max, bytes);
      assert.equal(shown, false);
      assert.deepEqual(session.errors, []);
    });

  for (const file of ['orrery.wasm', 'Space.webp', 'orrery.js']) {
    it(`names ${file} when it fails to load, and Retry loads it once it is back`, async (t) => {
      let missing = true;
      const session = await open_page({
        serve: (path) => (missing && path === `/${file}` ? { status: 404, body: 'gone', type: 'text/plain' } : null),
      });
      t.after(() => session.close());
      const status = () => document.getElementById('status').textContent;
      await session.wait_for((name) => document.getElementById('status').textContent.includes(name), [file]);
      assert.match(await session.evaluate(status), new RegExp(`^${file.replace('.', '\\.')} could not be loaded.*Retry$`));
      // Retry while it is still missing says so again; once back, the program runs.
      await session.evaluate(() => document.querySelector('#status button').click());
      await session.wait_for(() => document.querySelector('#status button')?.textContent === 'Retry');
      missing = false;
      await session.evaluate(() => document.querySelector('#status button').click());
      await session.wait_for(running);
      await session.wait_for(() => orrery_test.square(400, 300, 6).bright > 0.95);
    });
  }
});
