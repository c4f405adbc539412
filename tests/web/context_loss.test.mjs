// The canvas's WebGL context lost and given back, from outside the program (WEBGL_lose_context on the page's own
// context), in both sphere modes: while it is lost the page says why, with Start again, and nothing is drawn; given
// back to a paused program, the picture is the one before, with no WebGL error, and the program goes on after Space.
import assert from 'node:assert/strict';
import { before, it } from 'node:test';
import { not_checked, page_suite } from './harness.mjs';
import { frames_pass, goes_on, pause } from './seen.mjs';
const running = 'Space pauses, F1 switches full screen, Escape ends.';
// Whether this engine gives a lost context back, on a canvas of its own: true, or why not.
async function engine_restores() {
  const context = document.createElement('canvas').getContext('webgl');
  const extension = context?.getExtension('WEBGL_lose_context');
  if (!extension) return 'the engine has no WEBGL_lose_context';
  context.canvas.addEventListener('webglcontextlost', (event) => event.preventDefault());
  extension.loseContext();
  await new Promise((resolve) => setTimeout(resolve, 100));
  extension.restoreContext();
  return new Promise((resolve) => {
    context.canvas.addEventListener('webglcontextrestored', () => resolve(true));
    setTimeout(() => resolve('the engine does not give a lost context back within 5 s'), 5000);
  });
}
page_suite('the WebGL context lost and given back', {}, (session) => {
  let restores;
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
  before(async () => { restores = await session.evaluate(engine_restores); });
  for (const mode of [1, 2]) {
    it(`gives the same picture back in sphere mode ${mode}, and the program goes on`, { timeout: 90000 }, async (t) => {
      if (restores !== true) return not_checked(t, 'context loss and restore', restores);
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
  it('a lost context not given back is said, with Start again', async (t) => {
    if (!await session.evaluate(() => document.getElementById('canvas').getContext('webgl')
      .getExtension('WEBGL_lose_context'))) return not_checked(t, 'a lost WebGL context', 'no WEBGL_lose_context');
    await lose();
  });
});
