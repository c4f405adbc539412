// What the tests of the controls, touch and sizes share, read in the page in
// drawing-buffer pixels: the Sun at the picture's middle and its radius, the
// paused picture drawn again, boxes, the end, and where an element is.

// The Sun drawn at the middle of a drawing buffer `width` wide (any, if 0).
export const sun_shown = (page, width = 0) => page.wait_for((w) => {
  const canvas = document.getElementById('canvas');
  return (!w || canvas.width === w) &&
    orrery_test.square(canvas.width >> 1, canvas.height >> 1, 6).bright > 0.95;
}, [width]);

// The Sun's radius: the shortest run of bright pixels from the middle (a planet
// passing the Sun's edge lengthens some).
export const sun_radius = (page) => page.evaluate(() => {
  const canvas = document.getElementById('canvas'), x = canvas.width >> 1, y = canvas.height >> 1;
  const run = ([dx, dy], n = 0) => {
    while (orrery_test.square(x + n * dx, y + n * dy, 0).bright === 1) n += 1;
    return n;
  };
  return Math.min(...[[1, 0], [-1, 0], [0, 1], [0, -1]].map((way) => run(way)));
});

export const shoot = (page, name) => page.evaluate((shot) => orrery_test.shoot(shot), name);
export const changed = (page, a, b) => page.evaluate((x, y) => orrery_test.changed(x, y), a, b);

// A paused program draws its picture again when its window changes size: the
// canvas's box is made narrower (by its style, as a page around it may) and
// given its width back; the picture is drawn at the same step.
export async function redraw(page) {
  const width = await page.evaluate(() => document.getElementById('canvas').width);
  for (const narrower of [true, false]) {
    await page.evaluate((n) => { document.getElementById('screen').style.width = n ? '50%' : ''; }, narrower);
    await page.wait_for((n, w) => (document.getElementById('canvas').width < w) === n, [narrower, width]);
  }
  await sun_shown(page, width);
}

// Once a box is open, its caption.
export const box_opens = (page) => page.wait_for(() => document.getElementById('box').open &&
  document.querySelector('#box .caption').textContent, [], { timeout: 10000 });

export const program_ends = (page) =>
  page.wait_for(() => document.getElementById('status').textContent.includes('The program has ended'));

// The middle of element `selector` in the viewport (CSS pixels).
export const centre_of = (page, selector) => page.evaluate((s) => {
  const box = document.querySelector(s).getBoundingClientRect();
  return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
}, selector);

// The full-screen element's id, or the caption of the box that came instead
// (the browser refused full screen); once either is there.
export const full_screen_or_box = (page) => page.wait_for(() => document.fullscreenElement?.id ??
  (document.getElementById('box').open && document.querySelector('#box .caption').textContent));
