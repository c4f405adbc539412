// What the browser tests read of the page as a user sees it, from outside the program (in_page.js), in drawing-buffer
// pixels unless said: the Sun, pictures compared, the paused frame against the same frame drawn by Mesa's OpenGL 1.1
// (reference/build.sh), the box, full screen, the end, and what became of each key.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { sun_shown } from './harness.mjs';
// The pictures as the page's program reads them: its WebP files decoded to BMP (tests/web/run.sh), or the BMPs.
const pictures = process.env.ORRERY_REFERENCE_PICTURES ?? fileURLToPath(new URL('../../data/textures', import.meta.url));
// The switches at the start: sphere mode 1, lit, textured, filled.
export const first_switches = { mode: 1, lighting: 1, texturing: 1, solid: 1 };
// The Sun's radius: the middle length of runs of bright pixels from the middle in eight directions (a planet in front
// of the Sun shortens one, one passing its edge lengthens one).
export const sun_radius = (page) => page.evaluate(() => {
  const canvas = document.getElementById('canvas'), x = canvas.width >> 1, y = canvas.height >> 1;
  const run = ([dx, dy], n = 0) => {
    while (orrery_test.square(x + n * dx, y + n * dy, 0) === 1) n += 1;
    return n * Math.hypot(dx, dy);
  };
  const runs = [[1, 0], [1, 1], [0, 1], [-1, 1], [-1, 0], [-1, -1], [0, -1], [1, -1]].map((way) => run(way))
    .sort((a, b) => a - b);
  return (runs[3] + runs[4]) / 2;
});
export const shoot = (page, name) => page.evaluate((shot) => orrery_test.shoot(shot), name);
export const changed = (page, a, b) => page.evaluate((x, y) => orrery_test.changed(x, y), a, b);
// Waits until `count` more animation frames have passed.
export async function frames_pass(page, count) {
  const start = await page.evaluate(() => orrery_test.frames());
  await page.wait_for((until) => orrery_test.frames() >= until, [start + count]);
}
// A paused program draws its picture again when its window changes size: the canvas's box is made narrower (by its
// style, as a page around it may) and given its width back; the picture is drawn at the same step.
export async function redraw(page) {
  const width = await page.evaluate(() => document.getElementById('canvas').width);
  for (const narrower of [true, false]) {
    await page.evaluate((n) => { document.getElementById('screen').style.width = n ? '50%' : ''; }, narrower);
    await page.wait_for((n, w) => (document.getElementById('canvas').width < w) === n, [narrower, width]);
  }
  await sun_shown(page, width);
}
export const ended = (page) =>
  page.wait_for(() => document.getElementById('status').textContent.includes('The program has ended'));
// The middle of element `selector` in the viewport, and its top left corner (CSS pixels).
export const centre_of = (page, selector) => page.evaluate((s) => {
  const box = document.querySelector(s).getBoundingClientRect();
  return { x: box.left + box.width / 2, y: box.top + box.height / 2, left: box.left, top: box.top };
}, selector);
// A click on the middle of element `selector`: by default the canvas's, where the Sun is.
export async function click_on(page, selector = '#canvas') {
  const at = await centre_of(page, selector);
  await page.click(at.x, at.y);
}
// Waits for full screen: the element holding the canvas, its controls and boxes.
export const in_full_screen = (page) => page.wait_for(() => document.fullscreenElement?.id === 'screen');
// Pauses the program with Space and waits until it draws no more.
export async function pause(page) {
  await page.key('Space');
  for (let before = -1; ;) {
    await frames_pass(page, 6);
    const now = await page.evaluate(() => orrery_clears);
    if (now === before) return now;
    before = now;
  }
}
function reference(steps, { mode, lighting, texturing, solid, turn = 0 }) {
  const file = join(tmpdir(), `orrery-reference-${process.pid}.ppm`);
  execFileSync(process.env.ORRERY_REFERENCE_FRAME, [pictures, file, steps, mode, lighting, texturing, solid, turn].map(String));
  const frame = readFileSync(file);
  rmSync(file);
  return frame.subarray('P6\n800 600\n255\n'.length);
}
// Pauses the program, compares its frame with the reference at the step it reached, and lets it go on. As the subset's
// oracle compares with Mesa, at least 99.5% of all pixels within 8 levels a channel; of the pixels the scene covers in
// either frame (not black), 98.5% (92% outlined) within 8 levels of the reference's same pixel or of one beside it: the
// page's WebGL rasterises edges and samples textures by rules of its own (SwiftShader left up to 0.7% of a filled
// frame's covered pixels beyond that, 5.2% outlined). A body or disk missing, misplaced or drawn through another is
// thousands of pixels. Returns the figures when the frame is unlike, or ''.
export async function unlike_reference(session, switches) {
  const steps = await pause(session);
  const page = Buffer.from(await session.evaluate(() => orrery_test.rgb()), 'base64');
  await session.key('Space');
  const mesa = reference(steps, switches);
  if (page.length !== 800 * 600 * 3) return `a ${page.length / 3}-pixel frame`;
  const near = (i, j) => Math.abs(page[i] - mesa[j]) <= 8 && Math.abs(page[i + 1] - mesa[j + 1]) <= 8 &&
    Math.abs(page[i + 2] - mesa[j + 2]) <= 8;
  const beside = [-1, 0, 1].flatMap((dy) => [-1, 0, 1].map((dx) => [dx, dy]));
  const near_beside = (i) => beside.some(([dx, dy]) => {
    const u = (i / 3) % 800 + dx, v = Math.floor(i / 3 / 800) + dy;
    return u >= 0 && v >= 0 && u < 800 && v < 600 && near(i, 3 * (v * 800 + u));
  });
  let close = 0, covered = 0, covered_close = 0;
  for (let i = 0; i < page.length; i += 3) {
    const same = near(i, i);
    close += same;
    if (page[i] + page[i + 1] + page[i + 2] + mesa[i] + mesa[i + 1] + mesa[i + 2] > 0) {
      covered += 1;
      covered_close += same || near_beside(i);
    }
  }
  const share = switches.solid ? 0.985 : 0.92;
  return covered > 1000 && close >= 0.995 * 480000 && covered_close >= share * covered ? ''
    : `step ${steps}, ${JSON.stringify(switches)}: ${close} of 480000 close, ${covered_close} of ${covered} covered close`;
}
export const box = (session) => session.evaluate(() => {
  const dialog = document.getElementById('box'), buttons = [...dialog.querySelectorAll('button')];
  // The text's lines as laid out: the distinct tops of its boxes.
  const range = document.createRange();
  range.selectNodeContents(dialog.querySelector('.text'));
  return {
    open: dialog.open, caption: dialog.querySelector('.caption').textContent,
    text: dialog.querySelector('.text').textContent, buttons: buttons.map((button) => button.textContent),
    focus: buttons.indexOf(document.activeElement),
    lines: new Set([...range.getClientRects()].map((line) => Math.round(line.top))).size,
  };
});
export async function box_opens(session) {
  await session.wait_for(() => document.getElementById('box').open, [], { timeout: 10000 });
  return box(session);
}
export const box_closes = (session) =>
  session.wait_for(() => !document.getElementById('box').open, [], { timeout: 10000 });
// Presses each key, `frames` frames apart, and returns those whose keydown or keyup the page did not keep from the
// browser (`kept` true) or did keep (`kept` false).
export async function keys_not(session, codes, kept, frames = 0) {
  await session.evaluate(() => { orrery_keys.length = 0; });
  for (const code of codes) {
    await session.key(code);
    if (frames) await frames_pass(session, frames);
  }
  const seen = await session.evaluate(() =>
    orrery_keys.map((event) => ({ type: event.type, code: event.code, prevented: event.defaultPrevented })));
  return codes.filter((code) => seen.filter((key) => key.code === code).length < 2 ||
    seen.some((key) => key.code === code && key.prevented !== kept));
}
// F1 where full screen is refused: the program's question, Yes (the default) focused.
export async function question(session) {
  await session.key('F1');
  const { caption, text, buttons, focus } = await box_opens(session);
  assert.deepEqual([caption, text, buttons, focus], ['2nd Term OpenGL Project',
    'The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?', ['Yes', 'No'], 0]);
}
// Waits until the program draws new frames.
export const goes_on = async (session) =>
  session.wait_for((n) => orrery_clears > n + 3, [await session.evaluate(() => orrery_clears)], { timeout: 10000 });
