// Every answer of every kind of box and what follows it: the facts box of a
// body, and the question asked when the browser refuses full screen.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { canvas_origin, not_checked, open_page } from './harness.mjs';
import {
  box, box_closes, box_opens, click_canvas, ended, first_switches, goes_on, page_watch, pause,
  question, started, sun, unlike_reference,
} from './seen.mjs';

async function click_button(session, label) {
  const at = await session.evaluate((text) => {
    const button = [...document.querySelectorAll('#box button')].find((b) => b.textContent === text);
    const rect = button.getBoundingClientRect();
    return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
  }, label);
  await session.click(at.x, at.y);
}

describe("a body's facts box", () => {
  const session = {};
  before(async () => {
    Object.assign(session, await open_page({ script: page_watch }));
    await started(session);
  });
  after(async () => session.close?.());

  const answers = {
    Enter: (s) => s.key('Enter'),
    Escape: (s) => s.key('Escape'),
    'a click on OK': (s) => click_button(s, 'OK'),
  };
  for (const [answer, give] of Object.entries(answers)) {
    it(`closes on ${answer}, and the program goes on`, async () => {
      await click_canvas(session, sun);
      const shown = await box_opens(session);
      assert.equal(shown.caption, '태양');
      assert.deepEqual([shown.buttons, shown.focus], [['OK'], 0]);
      await give(session);
      await box_closes(session);
      await goes_on(session);
    });
  }

  it('keys and clicks given while it is open do nothing, and Tab keeps the focus on OK', async (t) => {
    if (session.engine === 'webkit') not_checked(t, 'right button by synthetic events', 'WebKitWebDriver releases every button as the left one');
    await click_canvas(session, sun);
    await box_opens(session);
    for (const key of ['F2', 'F3', 'F4', 'F5', 'NumpadAdd', 'Tab', 'Tab']) await session.key(key);
    assert.equal((await box(session)).focus, 0);
    // A press outside the box, on the canvas, neither answers it nor turns the view.
    const origin = await canvas_origin(session);
    await session.mouse_move(origin.x + 20, origin.y + 20);
    await session.mouse_down('right');
    await session.mouse_move(origin.x + 120, origin.y + 90);
    await session.mouse_up('right');
    assert.equal((await box(session)).open, true);
    await session.key('Enter');
    await box_closes(session);
    await goes_on(session);
    await pause(session);
    // Four clicks on the Sun have opened boxes: four picks.
    assert.equal(await unlike_reference(session, first_switches, 4), '');
    await session.key('Space');
  });

  it('reports no page error and no console error', () => assert.deepEqual(session.errors, []));
});

describe('the question when full screen is refused: Yes goes on in the window', () => {
  const session = {};
  before(async () => {
    Object.assign(session, await open_page({ path: '/?refused', script: page_watch }));
    await started(session);
  });
  after(async () => session.close?.());

  const yes = {
    Enter: (s) => s.key('Enter'),
    Space: (s) => s.key('Space'),
    'a click on Yes': (s) => click_button(s, 'Yes'),
    'Tab twice (round the buttons) and Enter': async (s) => {
      await s.key('Tab');
      assert.equal((await box(s)).focus, 1);
      await s.key('Tab');
      assert.equal((await box(s)).focus, 0);
      await s.key('Enter');
    },
  };
  for (const [answer, give] of Object.entries(yes)) {
    it(answer, async () => {
      await question(session);
      await give(session);
      await box_closes(session);
      await goes_on(session);
      assert.deepEqual(await session.evaluate(() => [document.fullscreenElement,
        document.getElementById('canvas').width, document.getElementById('canvas').height]),
      [null, 800, 600]);
    });
  }
  it('reports no page error and no console error', () => assert.deepEqual(session.errors, []));
});

describe('the question when full screen is refused: No ends the program', () => {
  const no = {
    Escape: (s) => s.key('Escape'),
    'a click on No': (s) => click_button(s, 'No'),
  };
  for (const [answer, give] of Object.entries(no)) {
    it(answer, async () => {
      const session = await open_page({ path: '/?refused', script: page_watch });
      try {
        await started(session);
        await question(session);
        await give(session);
        const shown = await box_opens(session);
        assert.deepEqual([shown.caption, shown.text, shown.buttons], ['ERROR', 'Program Will Now Close.', ['OK']]);
        await session.key('Enter');
        await ended(session);
        assert.deepEqual(session.errors, []);
      } finally {
        await session.close();
      }
    });
  }
});
