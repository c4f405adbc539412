// The picture at pixel ratio 2, in a narrower window and in full screen while the screen changes size: its drawing
// buffer has the device's pixels under the canvas (sharp), it keeps 4:3, and a click lands on the body under it, whose
// box shows over the picture. The browser's own way out of full screen.
import assert from 'node:assert/strict';
import { it } from 'node:test';
import { engine, not_checked, page_suite, sun_shown } from './harness.mjs';
import { box_closes, box_opens, centre_of, click_on, in_full_screen, sun_radius } from './seen.mjs';
// The canvas's box (CSS pixels), its drawing buffer and the pixel ratio.
const sizes = (page) => page.evaluate(() => {
  const canvas = document.getElementById('canvas'), box = canvas.getBoundingClientRect();
  return { css: [box.width, box.height], buffer: [canvas.width, canvas.height], ratio: devicePixelRatio };
});
// A click at the canvas's middle opens the Sun's box, on top of all, which Enter closes.
async function click_picks_the_sun(page) {
  await click_on(page);
  assert.equal((await box_opens(page)).caption, '태양');
  const box = await centre_of(page, '#box');
  assert.ok(await page.evaluate((p) => document.getElementById('box').contains(document.elementFromPoint(p.x, p.y)),
    box));
  await page.key('Enter');
  await box_closes(page);
}
page_suite('a screen of pixel ratio 2', { viewport: { width: 1024, height: 768, scale: 2 } }, (page) => {
  it('draws the 800x600 picture on 1600x1200 pixels, and a click lands on the Sun', async (t) => {
    const { css, buffer, ratio } = await sizes(page);
    if (ratio !== 2) not_checked(t, 'pixel ratio 2', `the page has ratio ${ratio}`);
    assert.deepEqual({ css, buffer }, { css: [800, 600], buffer: [800 * ratio, 600 * ratio] });
    // The Sun, 0.6 across at a distance of 22 seen in 45 degrees over 600 * ratio pixels, has a radius of 300 * ratio *
    // (0.6 / 22) / tan(22.5 degrees) = 19.75 * ratio pixels.
    const radius = await sun_radius(page);
    assert.ok(Math.abs(radius - 19.75 * ratio) <= 2, `radius ${radius}`);
    await click_picks_the_sun(page);
  });
  it('in a narrower window keeps 4:3 within it, sharp, and a click lands on the Sun', async () => {
    await page.resize(500, 800);
    // 500 less the page's margins (16 each side): 468 x 351.
    await page.wait_for(() => document.getElementById('canvas').getBoundingClientRect().width === 468 &&
      document.getElementById('canvas').width === Math.round(468 * devicePixelRatio));
    await sun_shown(page);
    const { css, buffer, ratio } = await sizes(page);
    assert.deepEqual({ css, buffer }, { css: [468, 351], buffer: [468 * ratio, 351 * ratio] });
    await click_picks_the_sun(page);
  });
  it("in full screen follows a change of the screen's size; a click lands on the Sun; the browser's way out", async (t) => {
    await page.key('F1');
    await in_full_screen(page);
    // The largest 4:3 of the screen, at the device's pixels up to 2048 x 1536 (a screen of 1280 x 1024 CSS pixels at
    // ratio 2 is 2560 x 1920 of them, beyond).
    const fits = () => page.wait_for(() => {
      const width = Math.min(innerWidth, innerHeight * 4 / 3), canvas = document.getElementById('canvas');
      return canvas.width === Math.min(Math.round(width * devicePixelRatio), 2048) &&
        canvas.height === Math.min(Math.round(width * 3 / 4 * devicePixelRatio), 1536) && canvas.width;
    });
    await sun_shown(page, await fits());
    if (engine === 'chromium') await page.resize(1024, 700);
    else not_checked(t, 'a new screen size in full screen', 'Xvfb has one (its RandR takes no other), and there a new ' +
      "viewport leaves full screen (WebKitWebDriver's window size) or never answers (BiDi's setViewport in Firefox)");
    await sun_shown(page, await fits());
    assert.equal(await page.evaluate(() => document.fullscreenElement?.id), 'screen');
    await click_picks_the_sun(page);
    // Left by the browser's own way (its Escape) the program is back in its window, its cursor shown (WebKitGTK tells
    // the page a frame later than the others), and the next F1 goes full screen again.
    await page.evaluate(() => document.exitFullscreen());
    await page.wait_for(() => document.fullscreenElement === null &&
      getComputedStyle(document.getElementById('canvas')).cursor !== 'none');
    await page.key('F1');
    await in_full_screen(page);
    await sun_shown(page, await fits());
    await page.key('F1');
    await page.wait_for(() => document.fullscreenElement === null);
    await sun_shown(page);
  });
});
