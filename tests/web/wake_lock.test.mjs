// The screen's wake lock, read from outside the program: every lock the page asks the browser for is counted, and
// followed until it is let go. The lock is held while the program animates and the page is shown; let go on pause,
// while a box is open, while the page is hidden, and for good at the end.
import assert from 'node:assert/strict';
import { it } from 'node:test';
import { not_checked, page_suite } from './harness.mjs';
import { box_closes, box_opens, click_on, ended } from './seen.mjs';
// Put into the page before its own scripts. Its visibility is turned here as a hidden tab's (state and event): the
// harness cannot hide a tab in every engine, and a browser's own letting go of a hidden page's lock is not the page's.
function follow_wake_locks() {
  let asked = 0, held = 0, most_held = 0;
  const request = navigator.wakeLock.request.bind(navigator.wakeLock);
  navigator.wakeLock.request = async (type) => {
    asked += 1;
    const sentinel = await request(type);
    most_held = Math.max(most_held, held += 1);
    sentinel.addEventListener('release', () => { held -= 1; });
    return sentinel;
  };
  let hidden = false;
  Object.defineProperty(Document.prototype, 'visibilityState', { get: () => (hidden ? 'hidden' : 'visible') });
  Object.defineProperty(Document.prototype, 'hidden', { get: () => hidden });
  window.wake_locks = {
    state: () => ({ asked, held, most_held }),
    hide: (now_hidden) => {
      hidden = now_hidden;
      document.dispatchEvent(new Event('visibilitychange'));
      return { asked, held };
    },
  };
}
page_suite('the wake lock', { script: follow_wake_locks }, (page) => {
  const held = (count) => page.wait_for((n) => wake_locks.state().held === n && wake_locks.state(), [count],
    { timeout: 10000 });
  const hidden_and_shown = () => page.evaluate(() => (wake_locks.hide(true), wake_locks.hide(false)));
  it('is held while the program animates and let go on pause, on a box, while hidden and at the end', async (t) => {
    const granted = await page.evaluate(() => WakeLock.prototype.request.call(navigator.wakeLock, 'screen')
      .then((lock) => lock.release()).then(() => true, (refused) => `the browser refuses it here: ${refused.name}`));
    // (Where it is refused, the page runs without it.)
    if (granted !== true) return not_checked(t, 'the wake lock', granted);
    assert.equal((await held(1)).asked, 1);
    // Space pauses: let go; shown again while paused, it stays let go.
    await page.key('Space');
    await held(0);
    assert.deepEqual(await hidden_and_shown(), { asked: 1, held: 0 });
    await page.key('Space');
    assert.equal((await held(1)).asked, 2);
    // Hidden: let go. Shown again: held again.
    assert.equal((await page.evaluate(() => wake_locks.hide(true))).held, 0);
    await page.evaluate(() => wake_locks.hide(false));
    assert.equal((await held(1)).asked, 3);
    // A box: let go while it is open, also when the page is shown meanwhile.
    await click_on(page);
    await box_opens(page);
    await held(0);
    assert.deepEqual(await hidden_and_shown(), { asked: 3, held: 0 });
    await click_on(page, '#box button');
    await box_closes(page);
    assert.equal((await held(1)).asked, 4);
    // Escape ends the program: let go for good.
    await page.key('Escape');
    await ended(page);
    await held(0);
    assert.deepEqual(await hidden_and_shown(), { asked: 4, held: 0 });
    assert.equal((await page.evaluate(() => wake_locks.state())).most_held, 1);
  });
});
