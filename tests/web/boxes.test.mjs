// Every answer of every kind of box and what follows it: the facts box of a body, and the question asked when the
// browser refuses full screen. And which keys the page keeps from the browser (their default prevented, as a listener
// on the window reads it after the page's own): while the program runs, during a box, and after the end.
import assert from 'node:assert/strict';
import { describe, it } from 'node:test';
import { not_checked, page_suite, with_page, sun_shown } from './harness.mjs';
import {
  box, box_closes, box_opens, centre_of, changed, click_on, ended, first_switches, frames_pass, goes_on, keys_not,
  question, shoot, unlike_reference,
} from './seen.mjs';
const by_key = (code) => (s) => s.key(code);
// The box's first button (OK, Yes) and its last (OK, No).
const by_click = (last) => (s) => click_on(s, `#box button${last ? ':last-child' : ''}`);
// The Sun's facts, as the program's description words them.
const sun_text = '반지름(Km) : 695,500\n질량(10*24승 Kg) : 1,989,000\n밀도(g/cm3) : 1.41\n' +
  '중력(지구=1) : 28\n자전주기 : 25.4일\n공전주기 : -';
page_suite("a body's facts box", {}, (session) => {
  const answers = { Enter: by_key('Enter'), Escape: by_key('Escape'), 'a click on OK': by_click(false) };
  for (const [answer, give] of Object.entries(answers)) {
    it(`a click on the Sun opens it, the picture still; it closes on ${answer}, and the program goes on`, async () => {
      await click_on(session);
      const shown = await box_opens(session);
      assert.deepEqual([shown.caption, shown.text, shown.lines, shown.buttons, shown.focus],
        ['태양', sun_text, 6, ['OK'], 0]);
      await shoot(session, 'open');
      await frames_pass(session, 20);
      await shoot(session, 'still open');
      assert.equal(await changed(session, 'open', 'still open'), 0);
      await give(session);
      await box_closes(session);
      await goes_on(session);
    });
  }
});
// Reloading (F5), help (F1), the find bar (F3), scrolling (Space), moving the focus away (Tab), and what the keypad's
// keys do in a page.
const keypad = ['NumpadAdd', 'NumpadSubtract', 'NumpadMultiply', 'NumpadDivide', 'NumpadDecimal',
  'Numpad0', 'Numpad5', 'Numpad9'];
const switches = ['F2', 'F3', 'F4', 'F5'];
const refused = { path: '/?refused' };
page_suite('full screen refused: the keys the page keeps, and Yes goes on in the window', refused, (session) => {
  it('while the program runs: F2 to F5, Space, Tab and the keypad; not the others', async () => {
    await session.evaluate(() => orrery_watch_keys());
    // Each twice, a frame apart: the picture as it was.
    const twice = [...switches, 'Space', 'Tab', ...keypad].flatMap((key) => [key, key]);
    assert.deepEqual(await keys_not(session, twice, true, 2), []);
    // (Tab has taken the focus round to an on-page control, whose Enter is its own.)
    await session.evaluate(() => document.getElementById('canvas').focus());
    assert.deepEqual(await keys_not(session, ['Equal', 'Minus', 'Enter', 'KeyA', 'Digit1', 'ArrowDown'], false), []);
  });
  it('F1, and during its box F1 to F5, Tab, the keypad and a right-drag on the canvas, ignored', async (t) => {
    if (session.engine === 'webkit') {
      not_checked(t, 'right button by synthetic events', 'WebKitWebDriver releases every button as the left one');
    }
    await session.evaluate(() => { orrery_keys.length = 0; });
    await question(session);
    assert.deepEqual(await session.evaluate(() => orrery_keys.filter((key) => !key.defaultPrevented).length), 0);
    // Tab goes round the box's two buttons and stays in it.
    assert.deepEqual(await keys_not(session, ['F1', ...switches, ...keypad, 'Tab'], true), []);
    assert.equal((await box(session)).focus, 1);
    assert.deepEqual(await keys_not(session, ['Tab', 'Tab', 'Tab'], true), []);
    assert.equal((await box(session)).focus, 0);
    // A press outside the box, on the canvas, neither answers it nor turns the view.
    const { left, top } = await centre_of(session, '#canvas');
    await session.mouse_move(left + 20, top + 20);
    await session.mouse_down('right');
    await session.mouse_move(left + 120, top + 90);
    await session.mouse_up('right');
    assert.equal((await box(session)).open, true);
    await session.key('Enter');
    await box_closes(session);
  });
  it("after the box, Tab loses none of the program's keys, and what was pressed during it did nothing", async () => {
    assert.deepEqual(await keys_not(session, ['Tab', 'Tab'], true), []);
    assert.equal(await unlike_reference(session, first_switches), '');
  });
  const yes = {
    Enter: by_key('Enter'), Space: by_key('Space'), 'a click on Yes': by_click(false),
    'Tab twice (round the buttons) and Enter': async (s) => {
      for (const key of ['Tab', 'Tab', 'Enter']) await s.key(key);
    },
  };
  for (const [answer, give] of Object.entries(yes)) {
    it(`Yes by ${answer}`, async () => {
      await question(session);
      await give(session);
      await box_closes(session);
      await goes_on(session);
      assert.deepEqual(await session.evaluate(() => [document.fullscreenElement,
        document.getElementById('canvas').width, document.getElementById('canvas').height]), [null, 800, 600]);
    });
  }
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
});
describe('the question when full screen is refused: No ends the program', () => {
  const no = {
    Escape: by_key('Escape'), 'a click on No': by_click(true),
    'Tab (to No) and Enter': async (s) => { for (const key of ['Tab', 'Enter']) await s.key(key); },
  };
  for (const [answer, give] of Object.entries(no)) {
    it(answer, () => with_page(refused, async (session) => {
      await sun_shown(session);
      await question(session);
      await give(session);
      const { caption, text, buttons } = await box_opens(session);
      assert.deepEqual([caption, text, buttons], ['ERROR', 'Program Will Now Close.', ['OK']]);
      await session.key('Enter');
      await ended(session);
    }));
  }
});
