// The whole picture in the page against the same frame drawn by Mesa's
// OpenGL 1.1: the same step of the animation, counted from outside, in both
// sphere modes and with each of F2 to F4. And the frames' pacing: at most one
// drawn frame for each of the browser's display frames, none while the page
// is hidden.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { frames_pass, not_checked, open_page } from './harness.mjs';
import { first_switches, page_watch, pause, started, unlike_reference } from './seen.mjs';

describe('the paused frame against Mesa\'s, and the pacing', () => {
  const session = {};
  before(async () => {
    Object.assign(session, await open_page({ script: page_watch }));
    await started(session);
  });
  after(async () => session.close?.());

  it("draws no more frames than the display shows, and keeps up with it", async () => {
    const count = () => session.evaluate(() => [orrery_clears, orrery_test.frames()]);
    const [clears, frames] = await count();
    await frames_pass(session, 60);
    const [clears_after, frames_after] = await count();
    const drawn = clears_after - clears, shown = frames_after - frames;
    // A frame of the program's may straddle the two readings.
    assert.ok(drawn <= shown + 1, `${drawn} frames drawn in ${shown} of the display's`);
    assert.ok(drawn >= shown / 2, `${drawn} frames drawn in ${shown} of the display's`);
  });

  it('draws nothing while the page is hidden behind another, and goes on when shown again', async (t) => {
    // A second page in front of it, opened from the page (engines that block
    // the pop-up, or keep the page shown behind it, cannot check this).
    const hidden = await session.evaluate(async () => {
      window.orrery_cover = window.open('about:blank', '_blank');
      for (let i = 0; i < 50 && document.visibilityState !== 'hidden'; i += 1) {
        await new Promise((resolve) => setTimeout(resolve, 20));
      }
      return document.visibilityState === 'hidden';
    });
    if (!hidden) {
      not_checked(t, 'no frames while hidden', 'a page opened in front leaves this page visible');
      await session.evaluate(() => window.orrery_cover?.close());
      return;
    }
    const still = await session.evaluate(async () => {
      // (A frame the browser had begun as the page was hidden may still end.)
      await new Promise((resolve) => setTimeout(resolve, 200));
      const before = orrery_clears;
      await new Promise((resolve) => setTimeout(resolve, 1500));
      return orrery_clears - before;
    });
    assert.equal(still, 0, 'frames drawn while hidden');
    await session.evaluate(() => orrery_cover.close());
    const shown_again = await session.evaluate(() => orrery_clears);
    await session.wait_for((n) => orrery_clears > n + 3, [shown_again]);
  });

  // Each switch pressed while the program runs, at least one frame drawn with
  // it, then paused; after the comparison it goes on and the switch goes back.
  const switched = { F2: 'lighting', F3: 'texturing', F4: 'solid' };
  for (const mode of [1, 2]) {
    for (const key of [null, 'F2', 'F3', 'F4']) {
      it(`sphere mode ${mode}${key ? `, ${key} pressed` : ''}`, async () => {
        const switches = { ...first_switches, mode };
        if (mode === 2 && key === null) await session.key('F5');
        if (key) {
          await session.key(key);
          switches[switched[key]] = 0;
        }
        await frames_pass(session, 4);
        await pause(session);
        assert.equal(await unlike_reference(session, switches), '');
        await session.key('Space');
        if (key) await session.key(key);
      });
    }
  }

  it('reports no page error and no console error', () => assert.deepEqual(session.errors, []));
});
