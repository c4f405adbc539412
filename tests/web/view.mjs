// What the tests of the controls, touch and sizes share: the picture's middle,
// the Sun there and its size, the paused picture drawn again, boxes and the
// end, all read in the page in drawing-buffer pixels.

// The Sun drawn at the middle of a drawing buffer `width` wide (any, if 0).
export async function sun_shown(page, width = 0) {
  await page.wait_for((w) => {
    const canvas = document.getElementById('canvas');
    const x = Math.floor(canvas.width / 2), y = Math.floor(canvas.height / 2);
    return (w === 0 || canvas.width === w) && orrery_test.square(x, y, 6).bright > 0.95;
  }, [width]);
}

// The Sun's radius in buffer pixels: the shortest of the four runs of bright
// pixels from the middle (a planet passing the Sun's edge lengthens some).
export function sun_radius(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const x = Math.floor(canvas.width / 2), y = Math.floor(canvas.height / 2);
    const run = (dx, dy) => {
      let n = 0;
      while (orrery_test.square(x + n * dx, y + n * dy, 0).bright === 1) n += 1;
      return n;
    };
    return Math.min(run(1, 0), run(-1, 0), run(0, 1), run(0, -1));
  });
}

export const shoot = (page, name) => page.evaluate((shot) => orrery_test.shoot(shot), name);
export const changed = (page, a, b) => page.evaluate((x, y) => orrery_test.changed(x, y), a, b);

// A paused program draws its picture again when its window changes size: the
// canvas's box is made narrower and then given back its own width (by its
// style, as a page around it may), and the picture is drawn at the same step.
export async function redraw(page) {
  const width = await page.evaluate(() => document.getElementById('canvas').width);
  for (const narrower of [true, false]) {
    await page.evaluate((n) => { document.getElementById('screen').style.width = n ? '50%' : ''; }, narrower);
    await page.wait_for((n, w) => (document.getElementById('canvas').width < w) === n, [narrower, width]);
  }
  await sun_shown(page, width);
}

// The box's caption and whether it is open, once it has opened.
export async function box_opens(page) {
  return page.wait_for(() => {
    const box = document.getElementById('box');
    return box.open && box.querySelector('.caption').textContent;
  }, [], { timeout: 10000 });
}

// The program ended: the page says so.
export async function program_ends(page) {
  await page.wait_for(() => document.getElementById('status').textContent.includes('The program has ended'));
}

// The point of the viewport (CSS pixels) at the middle of element `selector`.
export function centre_of(page, selector) {
  return page.evaluate((s) => {
    const box = document.querySelector(s).getBoundingClientRect();
    return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
  }, selector);
}
