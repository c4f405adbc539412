// Drags and presses at and beyond the canvas's edge. A right-drag turns the
// view by the pixels it moves, its positions held at the canvas's edge
// while it is outside, and it ends wherever the button is let go; a press
// outside the canvas is not the program's. Each case below, done right,
// turns the view and back (or not at all): the paused frame is then Mesa's
// frame of the first view at the step reached.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { canvas_origin, not_checked, open_page } from './harness.mjs';
import { box, first_switches, page_watch, pause, started, sun, unlike_reference } from './seen.mjs';

describe("the canvas's edges", () => {
  const session = {};
  let origin;
  // Canvas pixels to the viewport's.
  const at = (x, y) => ({ x: origin.x + x, y: origin.y + y });
  // Moves in even steps, the last on `to`.
  async function move(from, to, steps = 10) {
    for (let i = 1; i <= steps; i += 1) {
      await session.mouse_move(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    }
  }
  before(async () => {
    Object.assign(session, await open_page({ script: page_watch }));
    await started(session);
    origin = await canvas_origin(session);
  });
  after(async () => session.close?.());

  it('a right-drag that leaves the canvas and comes back turns the view and back', async (t) => {
    if (session.engine === 'webkit') not_checked(t, 'right button by synthetic events', 'WebKitWebDriver releases every button as the left one');
    await session.mouse_move(at(200, 200).x, at(200, 200).y);
    await session.mouse_down('right');
    await move(at(200, 200), at(-55, 230));
    await move(at(-55, 230), at(200, 200));
    await session.mouse_up('right');
  });

  it('one that ends outside ends there: the turn stops at the edge, and the way back is a new drag', async () => {
    await session.mouse_down('right');
    // Steps of 25.5 pixels: the last inside the canvas is at x 21, the next beyond its left edge.
    await move(at(200, 200), at(-55, 200));
    await session.mouse_up('right');
    // Turned by the 200 pixels to the edge, a degree a pixel (not 179, nor 255).
    await pause(session);
    assert.equal(await unlike_reference(session, { ...first_switches, turn: -200 }), '');
    await session.key('Space');
    // Moves without a button turn nothing; the way back is a drag elsewhere.
    await move(at(-55, 200), at(300, 420));
    await session.mouse_down('right');
    await move(at(300, 420), at(500, 420));
    await session.mouse_up('right');
    // The browser's context menu never opened over the canvas.
    const menus = await session.evaluate(() => orrery_test.menus());
    assert.ok(menus.length > 0 && menus.every((refused) => refused), JSON.stringify(menus));
  });

  it("a press outside the canvas, moved and let go over it, is not the program's", async () => {
    for (const button of ['left', 'right']) {
      await session.mouse_move(at(-40, 300).x, at(-40, 300).y);
      await session.mouse_down(button);
      await move(at(-40, 300), at(sun.x, sun.y));
      await session.mouse_up(button);
    }
    assert.equal((await box(session)).open, false);
  });

  it('the frame is then the first view at the step reached (no pick either)', async () => {
    await pause(session);
    assert.equal((await box(session)).open, false);
    assert.equal(await unlike_reference(session, first_switches), '');
  });

  it('reports no page error and no console error', () => assert.deepEqual(session.errors, []));
});
