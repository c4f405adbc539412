// Which keys the page keeps from the browser (their default prevented, as a
// listener on the window reads it after the page's own), key by key: while
// the program runs, during a box, and after the end; and that what is
// pressed during a box does nothing.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { open_page } from './harness.mjs';
import {
  box, box_closes, ended, first_switches, keys_not, page_watch, pause, question, started,
  unlike_reference,
} from './seen.mjs';

// Reloading (F5), help (F1), the find bar (F3), scrolling (Space), moving
// the focus away (Tab), and what the keypad's keys do in a page.
const keypad = ['NumpadAdd', 'NumpadSubtract', 'NumpadMultiply', 'NumpadDivide', 'NumpadDecimal',
  'Numpad0', 'Numpad5', 'Numpad9'];
const switches = ['F2', 'F3', 'F4', 'F5'];
const browsers = ['Equal', 'Minus', 'Enter', 'KeyA', 'Digit1', 'ArrowDown'];

describe('keys kept from the browser', () => {
  const session = {};
  before(async () => {
    // Full screen refused: F1 asks its question, in every engine.
    Object.assign(session, await open_page({ path: '/?refused', script: page_watch }));
    await started(session);
    await session.evaluate(() => orrery_watch_keys());
  });
  after(async () => session.close?.());

  it('while the program runs: F2 to F5, Space, Tab and the keypad; not the others', async () => {
    // Each twice, a frame apart: the picture as it was.
    const twice = [...switches, 'Space', 'Tab', ...keypad].flatMap((key) => [key, key]);
    assert.deepEqual(await keys_not(session, twice, true, 2), []);
    // (Tab has taken the focus round to an on-page control, whose Enter is its own.)
    await session.evaluate(() => document.getElementById('canvas').focus());
    assert.deepEqual(await keys_not(session, browsers, false), []);
  });

  it('F1, and during its box F1 to F5, Tab and the keypad, which the program ignores', async () => {
    await session.evaluate(() => { orrery_keys.length = 0; });
    await question(session);
    assert.deepEqual(await session.evaluate(() => orrery_keys.filter((key) => !key.defaultPrevented).length), 0);
    // Tab goes round the box's two buttons and stays in it.
    assert.deepEqual(await keys_not(session, ['F1', ...switches, ...keypad, 'Tab'], true), []);
    assert.equal((await box(session)).focus, 1);
    assert.deepEqual(await keys_not(session, ['Tab', 'Tab', 'Tab'], true), []);
    assert.deepEqual(await box(session).then((b) => [b.open, b.focus]), [true, 0]);
    await session.key('Enter');
    await box_closes(session);
  });

  it("after the box, Tab loses none of the program's keys, and what was pressed during it did nothing", async () => {
    assert.deepEqual(await keys_not(session, ['Tab', 'Tab'], true), []);
    await pause(session);
    assert.equal(await unlike_reference(session, first_switches), '');
    await session.key('Space');
  });

  it("Escape ends the program; then the keys are the browser's again", async () => {
    await session.key('Escape');
    await ended(session);
    // The page says how to start it again, and the picture is gone.
    assert.deepEqual(await session.evaluate(() => [
      document.getElementById('status').textContent.includes('Start again'),
      getComputedStyle(document.getElementById('canvas')).visibility]), [true, 'hidden']);
    // (Its release may come after the end.)
    assert.equal(await session.evaluate(() => orrery_keys.at(-1).type === 'keydown' ?
      orrery_keys.at(-1).defaultPrevented : orrery_keys.at(-2).defaultPrevented), true);
    assert.deepEqual(await keys_not(session, ['F1', 'F2', 'F3', 'Space', 'NumpadAdd', 'Escape', 'Tab'], false), []);
  });

  it('reports no page error and no console error', () => assert.deepEqual(session.errors, []));
});
