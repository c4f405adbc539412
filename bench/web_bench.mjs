// The browser build's figures in headless Chromium on SwiftShader: the time
// from the page's load to the program's first frame, and the frames per second
// and the program's own work per frame in both sphere modes, with the browser
// pacing the frames to its 60 Hz and unpaced. Run by scripts/bench.sh, which
// sets what tests/web/harness.mjs needs (the engine: Chromium).
import { frames_pass, open_page } from '../tests/web/harness.mjs';

// Watches the program's waits for the next frame (the tests' own frame
// counter keeps the browser's function): each request for an animation frame
// marks the end of one frame's work, its callback the start of the next.
function watch_frames() {
  const request = window.requestAnimationFrame.bind(window);
  const timing = { first: null, frames: 0, work: 0, woken: null };
  window.orrery_timing = timing;
  window.requestAnimationFrame = (callback) => {
    const now = performance.now();
    if (timing.first === null) timing.first = now;
    if (timing.woken !== null) timing.work += now - timing.woken;
    timing.frames += 1;
    return request((time) => {
      timing.woken = performance.now();
      callback(time);
    });
  };
}

async function measure_modes(flags, seconds) {
  const page = await open_page({ flags, script: watch_frames });
  await page.wait_for(() => window.orrery_timing?.first !== null, [], { timeout: 60000 });
  const first = await page.evaluate(() => orrery_timing.first);
  const rows = [];
  for (const mode of [1, 2]) {
    if (mode === 2) await page.key('F5');
    await frames_pass(page, 30);
    const start = await page.evaluate(() => ({ ...orrery_timing, at: performance.now() }));
    await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
    const end = await page.evaluate(() => ({ ...orrery_timing, at: performance.now() }));
    const frames = end.frames - start.frames;
    rows.push({ mode, fps: (1000 * frames) / (end.at - start.at), work: (end.work - start.work) / frames });
  }
  await page.close();
  if (page.errors.length > 0) throw new Error(page.errors.join('\n'));
  return { first, rows };
}

const seconds = Number(process.env.ORRERY_BENCH_SECONDS ?? 5);
console.log(`headless Chromium, SwiftShader WebGL, 800x600 canvas, ${seconds} s per mode`);
for (const [label, flags] of [
  ['paced by the browser (60 Hz)', []],
  ['unpaced', ['--disable-gpu-vsync', '--disable-frame-rate-limit']],
]) {
  const { first, rows } = await measure_modes(flags, seconds);
  console.log(`${label}: first frame ${first.toFixed(0)} ms after the page's load began`);
  for (const row of rows) {
    console.log(`  sphere mode ${row.mode}: ${row.fps.toFixed(1).padStart(6)} frames/s, ` +
      `${row.work.toFixed(2)} ms of the program's work a frame`);
  }
}
