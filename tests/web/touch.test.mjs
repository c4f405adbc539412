// On a phone held upright (390x844 CSS pixels at pixel ratio 3, a touch screen; the picture's fit and sharpness:
// sizes.test.mjs): one finger turns the view, a pinch zooms it, a tap (or a touch that moves a few pixels) picks, and
// the controls take taps. The page neither scrolls nor zooms under the canvas.
import assert from 'node:assert/strict';
import { it } from 'node:test';
import { page_suite } from './harness.mjs';
import { box_closes, box_opens, centre_of, changed, ended, redraw, shoot, sun_radius } from './seen.mjs';
// Whether the page refused each canvas touch event's default (scrolling, zooming, mouse events).
function watch_touches() {
  window.touches_refused = [];
  for (const type of ['touchstart', 'touchmove', 'touchend']) {
    window.addEventListener(type, (e) => e.target.id === 'canvas' && touches_refused.push(e.defaultPrevented));
  }
}
page_suite('a phone held upright', {
  viewport: { width: 390, height: 844, scale: 3, touch: true }, script: watch_touches,
}, (page) => {
  const tap_on = async (selector) => { const at = await centre_of(page, selector); await page.tap(at.x, at.y); };
  it('a tap on Pause pauses; one finger turns the view and back; a pinch zooms in and out', async () => {
    await tap_on('#controls button[data-code="Space"]');
    await redraw(page);
    // (Paused: turned back, the picture is the same.)
    await shoot(page, 'paused');
    const middle = await centre_of(page, '#canvas');
    const from = { x: middle.x - 90, y: middle.y + 60 }, to = { x: middle.x + 30, y: middle.y + 20 };
    await page.touch_drag(from, to);
    await redraw(page);
    await shoot(page, 'turned');
    assert.ok((await changed(page, 'paused', 'turned')) > 0.002);
    await page.touch_drag(to, from);
    await redraw(page);
    await shoot(page, 'turned back');
    assert.equal(await changed(page, 'paused', 'turned back'), 0);
    // Twice the gap is 3 steps of 1.25 (1.25^3 = 1.95, 1.25^4 = 2.44): scale 1.9; half of it, 3 back.
    const radius = await sun_radius(page);
    await page.pinch(middle, 80, 160);
    await redraw(page);
    const ratio = (await sun_radius(page)) / radius;
    assert.ok(Math.abs(ratio - 1.9) < 0.1, `zoomed ${ratio}`);
    await page.pinch(middle, 160, 80);
    await redraw(page);
    await shoot(page, 'pinched back');
    assert.ok((await changed(page, 'paused', 'pinched back')) < 0.0005);
  });
  it('a touch on the Sun that moves a few pixels is a tap: its box; its OK and End take taps', async () => {
    const sun = await centre_of(page, '#canvas');
    await page.touch_drag(sun, { x: sun.x + 4, y: sun.y + 3 }, 2);
    assert.equal((await box_opens(page)).caption, '태양');
    await tap_on('#box button');
    await box_closes(page);
    const refused = await page.evaluate(() => touches_refused);
    assert.ok(refused.length >= 10 && refused.every((r) => r), JSON.stringify(refused));
    await tap_on('#controls button[data-code="Escape"]');
    await ended(page);
  });
});
