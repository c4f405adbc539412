// The canvas's WebGL context lost and given back, from outside the program (WEBGL_lose_context on the page's own
// context), in both sphere modes: while it is lost the page says why, with Start again, and nothing is drawn; given
// back to a paused program, the picture is the one before, with no WebGL error, and the program goes on after Space.
import assert from 'node:assert/strict';
import { it } from 'node:test';
import { page_suite } from './harness.mjs';
import { frames_pass, goes_on, pause } from './seen.mjs';

const running = 'Space pauses, F1 switches full screen, Escape ends.';

page_suite('the WebGL context lost and given back', {}, (session) => {
  // Keeps the picture as 'lost', loses the context, waits for the words; returns the frames drawn.
  const lose = async () => {
    await session.evaluate(() => {
      orrery_test.shoot('lost');
      window.orrery_loss = document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
      orrery_loss.loseContext();
    });
    await session.wait_for(() => document.getElementById('status').textContent.startsWith('The graphics were reset'));
    assert.match(await session.evaluate(() => document.getElementById('status').textContent),
      /took back its WebGL context.*Start again$/);
    return session.evaluate(() => orrery_clears);
  };
  for (const mode of [1, 2]) {
    it(`gives the same picture back in sphere mode ${mode}, and the program goes on`, { timeout: 90000 }, async () => {
      if (mode === 2) await session.key('F5');
      await frames_pass(session, 4);
      const drawn = await pause(session);
      await lose();
      await session.evaluate(() => orrery_loss.restoreContext());
      // Drawn again once, paused, with the running words back.
      await session.wait_for((n, words) => orrery_clears > n && document.getElementById('status').textContent === words,
        [drawn, running], { timeout: 10000 });
      await frames_pass(session, 4);
      const seen = await session.evaluate(() => {
        orrery_test.shoot('after');
        const gl = document.getElementById('canvas').getContext('webgl');
        const errors = [1, 2, 3, 4].map(() => gl.getError()).filter(Boolean);
        return { clears: orrery_clears, changed: orrery_test.changed('lost', 'after'), errors };
      });
      // Going on (also after a wrong picture, so that the next case starts running).
      await session.key('Space');
      await goes_on(session);
      // Lost while the program runs, it draws nothing until the context is back.
      const lost_at = await lose();
      await frames_pass(session, 10);
      const drawn_while_lost = await session.evaluate((n) => orrery_clears - n, lost_at);
      await session.evaluate(() => orrery_loss.restoreContext());
      await goes_on(session);
      assert.deepEqual(seen, { clears: drawn + 1, changed: 0, errors: [] });
      assert.equal(drawn_while_lost, 0);
      assert.equal(await session.evaluate(() => document.getElementById('status').textContent), running);
    });
  }
});
