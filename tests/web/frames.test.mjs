// The whole picture in the page against the same frame drawn by Mesa's
// OpenGL 1.1: the same step of the animation, counted from outside, in both
// sphere modes and with each of F2 to F4.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { frames_pass, open_page } from './harness.mjs';
import { first_switches, page_watch, pause, started, unlike_reference } from './seen.mjs';

describe('the paused frame against Mesa\'s', () => {
  const session = {};
  before(async () => {
    Object.assign(session, await open_page({ script: page_watch }));
    await started(session);
  });
  after(async () => session.close?.());

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
