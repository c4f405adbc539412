// The on-page controls, by keyboard (Tab to each, then Enter or Space) and by
// pointer, each doing what its key does, in the window and in full screen; and
// the mouse wheel, a keypad step a notch.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { frames_pass, not_checked, open_page } from './harness.mjs';
import { centre_of, changed, program_ends, redraw, shoot, sun_radius, sun_shown } from './view.mjs';

// The controls in their order on the page and the keys they stand for.
const controls = [
  ['Pause', 'Space'], ['Full screen', 'F1'], ['Lighting', 'F2'], ['Textures', 'F3'], ['Outlines', 'F4'],
  ['Spheres', 'F5'], ['Zoom in', 'NumpadAdd'], ['Zoom out', 'NumpadSubtract'], ['End', 'Escape'],
];
const button = (code) => `#controls button[data-code="${code}"]`;

// Tab from the canvas to the control for `code`: the controls come in order after the canvas.
async function focus_by_tab(page, code) {
  await page.evaluate(() => document.getElementById('canvas').focus());
  for (let i = 0; i <= controls.findIndex(([, key]) => key === code); i += 1) await page.key('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.dataset.code), code);
}
async function by_keyboard(page, code, key = 'Enter') {
  await focus_by_tab(page, code);
  await page.key(key);
}
async function by_pointer(page, code) {
  const point = await centre_of(page, button(code));
  await page.click(point.x, point.y);
}

async function animating(page) {
  await shoot(page, 'a');
  await frames_pass(page, 10);
  await shoot(page, 'b');
  return (await changed(page, 'a', 'b')) > 0.0005;
}

const in_full_screen = (page) => page.evaluate(() => document.fullscreenElement?.id ?? null);

describe('the on-page controls and the wheel', () => {
  const page = {};
  before(async () => {
    Object.assign(page, await open_page({
      // Whether the page kept the wheel from the browser (no scrolling), as the window sees it.
      script: () => {
        window.wheels_refused = [];
        window.addEventListener('wheel', (event) => wheels_refused.push(event.defaultPrevented));
      },
    }));
    await sun_shown(page, 800);
  });
  after(async () => page.close?.());

  it('are labelled buttons inside the full-screen element, reached by Tab in turn and round to the canvas', async () => {
    const seen = await page.evaluate(() => [...document.querySelectorAll('#screen #controls button')].map(
      (b) => [b.getAttribute('aria-label') ?? b.textContent, b.dataset.code]));
    assert.deepEqual(seen, controls);
    await page.evaluate(() => document.getElementById('canvas').focus());
    const order = [];
    for (let i = 0; i <= controls.length; i += 1) {
      await page.key('Tab');
      order.push(await page.evaluate(() => document.activeElement.dataset.code ?? document.activeElement.id));
    }
    assert.deepEqual(order, [...controls.map(([, code]) => code), 'canvas']);
  });

  it('Pause stops and starts the animation, by pointer, Space and Enter', async () => {
    assert.ok(await animating(page));
    await by_pointer(page, 'Space');
    assert.equal(await animating(page), false, 'paused by pointer');
    // Space on the focused control presses it once: the program does not take it as its own Space too.
    await by_keyboard(page, 'Space', 'Space');
    assert.ok(await animating(page), 'going on by Space');
    await by_keyboard(page, 'Space', 'Enter');
    assert.equal(await animating(page), false, 'paused by Enter');
  });

  it('the wheel zooms a keypad step a notch, its fractions added up, as Zoom in and out do', async () => {
    await redraw(page);
    await shoot(page, 'base');
    const radius = await sun_radius(page);
    const canvas = await centre_of(page, '#canvas');
    // A notch away from the user: 100 pixels (Chromium), 1.3 times the Sun; two half notches, 1.6.
    const steps = [[() => page.wheel(canvas.x, canvas.y, -100), 1.3],
      [async () => { await page.wheel(canvas.x, canvas.y, -50); await page.wheel(canvas.x, canvas.y, -50); }, 1.6],
      [() => by_pointer(page, 'NumpadSubtract'), 1.3], [() => by_keyboard(page, 'NumpadSubtract'), 1],
      [() => by_keyboard(page, 'NumpadAdd', 'Space'), 1.3], [() => by_pointer(page, 'NumpadAdd'), 1.6],
      [() => page.wheel(canvas.x, canvas.y, 200), 1]];
    for (const [step, scale] of steps) {
      await step();
      await redraw(page);
      const ratio = (await sun_radius(page)) / radius;
      assert.ok(Math.abs(ratio - scale) < 0.08, `${step}: ${ratio} for ${scale}`);
    }
    await shoot(page, 'zoomed back');
    assert.ok((await changed(page, 'base', 'zoomed back')) < 0.0005);
    const refused = await page.evaluate(() => wheels_refused);
    assert.ok(refused.length >= 4 && refused.every((r) => r), JSON.stringify(refused));
  });

  it('Lighting, Textures, Outlines and Spheres each change the picture by keyboard and back by pointer', async () => {
    for (const code of ['F2', 'F3', 'F4', 'F5']) {
      await by_keyboard(page, code, code === 'F3' ? 'Space' : 'Enter');
      await redraw(page);
      await shoot(page, code);
      assert.ok((await changed(page, 'base', code)) > 0.0002, `${code} by keyboard`);
      await by_pointer(page, code);
      await redraw(page);
      await shoot(page, `${code} back`);
      assert.equal(await changed(page, 'base', `${code} back`), 0, `${code} by pointer`);
    }
  });

  it('Full screen goes there and back, its controls work inside it, the cursor hidden over the picture', async (t) => {
    const cursor = () => page.evaluate(() => getComputedStyle(document.getElementById('canvas')).cursor);
    await by_pointer(page, 'F1');
    const shown = await page.wait_for(() => document.fullscreenElement?.id ??
      (document.getElementById('box').open && document.querySelector('#box .caption').textContent));
    if (shown !== 'screen') {
      not_checked(t, 'full screen', `the browser refused it and the program asked: ${shown}`);
      return;
    }
    await sun_shown(page);
    assert.equal(await cursor(), 'none');
    // Pause is on top of the full-screen picture and goes on by pointer, and pauses again by keyboard.
    const pause = await centre_of(page, button('Space'));
    assert.equal(await page.evaluate((p) => document.elementFromPoint(p.x, p.y).dataset.code, pause), 'Space');
    await by_pointer(page, 'Space');
    assert.ok(await animating(page), 'going on by pointer in full screen');
    await by_keyboard(page, 'Space', 'Space');
    assert.equal(await animating(page), false);
    await by_keyboard(page, 'F1');
    await page.wait_for(() => document.fullscreenElement === null);
    await sun_shown(page, 800);
    assert.equal(await cursor(), 'auto');
    await by_keyboard(page, 'F1', 'Space');
    await page.wait_for(() => document.fullscreenElement !== null);
    assert.equal(await in_full_screen(page), 'screen');
    await page.key('F1');
    await sun_shown(page, 800);
  });

  it('End ends the program by keyboard', async () => {
    // (By pointer: the touch test taps it.) A box comes first for no control.
    await by_keyboard(page, 'Escape');
    await program_ends(page);
    assert.equal(await page.evaluate(() => document.getElementById('box').open), false);
  });

  it('reports no page error and no console error', () => {
    assert.deepEqual(page.errors, []);
  });
});
