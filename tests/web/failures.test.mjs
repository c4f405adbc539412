// What the page says when the program cannot run or stops: a browser without
// WebGL, a program that breaks after its first frame, a lost WebGL context.
import assert from 'node:assert/strict';
import { describe, it } from 'node:test';

import { not_checked, open_page } from './harness.mjs';

const status = () => document.getElementById('status')?.textContent;
const sun_drawn = () => orrery_test.square(400, 300, 6).bright > 0.95;

// Start again reloads the page: polls that meet the old document's end are tried again.
async function after_start_again(session) {
  await session.evaluate(() => document.querySelector('#status button').click());
  for (let tries = 0; ; tries += 1) {
    try {
      await session.wait_for(() => document.getElementById('status')?.textContent.startsWith('Space pauses'));
      return await session.wait_for(sun_drawn);
    } catch (error) {
      if (tries === 10 || !/navigat|context|destroyed/i.test(error.message)) throw error;
    }
  }
}

// The page's WebGL context made to fail from outside, as where a browser has
// WebGL turned off or no driver for it.
function without_webgl() {
  const get_context = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
    return /webgl/.test(type) ? null : get_context.call(this, type, ...rest);
  };
}

describe('failures', () => {
  it('without WebGL says so in a browser user\'s words, and what to try, before loading the program',
    async (t) => {
      const session = await open_page({ script: without_webgl });
      t.after(() => session.close());
      await session.wait_for(() => /WebGL/.test(document.getElementById('status')?.textContent));
      const text = await session.evaluate(status);
      assert.match(text, /cannot draw with WebGL/);
      assert.match(text, /hardware acceleration/);
      assert.match(text, /another browser/);
      // Neither the desktop's box nor a download of what cannot run.
      assert.equal(await session.evaluate(() => document.getElementById('box').open), false);
      assert.deepEqual(await session.evaluate(() => performance.getEntriesByType('resource')
        .map((entry) => entry.name.split('/').pop()).filter((name) => /^orrery|\.webp$/.test(name))), []);
      assert.deepEqual(session.errors, []);
    });

  it('a program broken after its first frame gives its error with Start again, which starts it anew',
    async (t) => {
      const session = await open_page();
      t.after(() => session.close());
      await session.wait_for(sun_drawn);
      // WebGL's draw calls taken away: the program's next draw throws a TypeError of its own (an
      // error thrown by the test's own function would reach the page without its text).
      await session.evaluate(() => {
        for (const call of ['drawArrays', 'drawElements']) WebGLRenderingContext.prototype[call] = undefined;
      });
      await session.wait_for(() => document.getElementById('status')?.textContent.includes('stopped'));
      assert.match(await session.evaluate(status), /^The program stopped with an error: TypeError: .*draw(Arrays|Elements).*Start again$/);
      await after_start_again(session);
    });

  it('a lost WebGL context is said, with Start again, which starts the program anew', async (t) => {
    const session = await open_page();
    t.after(() => session.close());
    await session.wait_for(sun_drawn);
    // The context taken away as when the GPU resets or the browser gives it to another page.
    const lost = await session.evaluate(() => {
      const extension = document.getElementById('canvas').getContext('webgl')?.getExtension('WEBGL_lose_context');
      extension?.loseContext();
      return Boolean(extension);
    });
    if (!lost) {
      not_checked(t, 'a lost WebGL context', 'this engine has no WEBGL_lose_context');
      return;
    }
    await session.wait_for(() => document.getElementById('status')?.textContent.includes('WebGL context'));
    assert.match(await session.evaluate(status), /took back its WebGL context.*Start again$/);
    await after_start_again(session);
  });
});
