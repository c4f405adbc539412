// The whole picture in the page against Mesa's same frame, in both sphere modes and with each of F2 to F4; at most one
// drawn frame a display frame, none while the page is hidden; and at and beyond the canvas's edge: a right-drag turns
// the view a degree a pixel, held at the edge while outside, and ends wherever the button is let go; a press outside
// the canvas is not the program's.
import assert from 'node:assert/strict';
import { before, it } from 'node:test';
import { not_checked, page_suite } from './harness.mjs';
import { box, centre_of, first_switches, frames_pass, unlike_reference } from './seen.mjs';
page_suite("the paused frame against Mesa's, the pacing, and the canvas's edges", {}, (session) => {
  let origin;
  // Canvas pixels to the viewport's.
  const at = (x, y) => ({ x: origin.left + x, y: origin.top + y });
  // Moves in even steps, the last on `to`.
  async function move(from, to, steps = 10) {
    for (let i = 1; i <= steps; i += 1) {
      await session.mouse_move(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    }
  }
  before(async () => { origin = await centre_of(session, '#canvas'); });
  it('draws no more frames than the display shows, and keeps up with it', async () => {
    const count = () => session.evaluate(() => [orrery_clears, orrery_test.frames()]);
    const [clears, frames] = await count();
    await frames_pass(session, 60);
    const [drawn, shown] = (await count()).map((n, i) => n - [clears, frames][i]);
    // A frame of the program's may straddle the two readings.
    assert.ok(drawn <= shown + 1 && drawn >= shown / 2, `${drawn} frames drawn in ${shown} of the display's`);
  });
  it('draws nothing while the page is hidden behind another, and goes on when shown again', async (t) => {
    // A second page in front of it, opened from the page (engines that block the pop-up, or keep the page shown behind
    // it, cannot check this).
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
  it('a right-drag that leaves the canvas and comes back turns the view and back', async (t) => {
    if (session.engine === 'webkit') {
      not_checked(t, 'right button by synthetic events', 'WebKitWebDriver releases every button as the left one');
    }
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
    assert.equal(await unlike_reference(session, { ...first_switches, turn: -200 }), '');
    // Moves without a button turn nothing; the way back is a drag elsewhere.
    await move(at(-55, 200), at(300, 420));
    await session.mouse_down('right');
    await move(at(300, 420), at(500, 420));
    await session.mouse_up('right');
    // The browser's context menu never opened over the canvas.
    const menus = await session.evaluate(() => orrery_test.menus());
    assert.ok(menus.length > 0 && menus.every((refused) => refused), JSON.stringify(menus));
  });
  it("a press outside the canvas, let go over the Sun, is not the program's: the first view, no pick", async () => {
    for (const button of ['left', 'right']) {
      await session.mouse_move(at(-40, 300).x, at(-40, 300).y);
      await session.mouse_down(button);
      await move(at(-40, 300), at(400, 300));
      await session.mouse_up(button);
    }
    assert.equal(await unlike_reference(session, first_switches), '');
    assert.equal((await box(session)).open, false);
  });
  // Each switch pressed while the program runs, at least one frame drawn with it; after the comparison it goes back.
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
        assert.equal(await unlike_reference(session, switches), '');
        if (key) await session.key(key);
      });
    }
  }
});
