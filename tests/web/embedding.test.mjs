// The page inside another site's page, with README's <iframe> snippet, under its own Content-Security-Policy: its own
// files and WebAssembly run, and an inline script and style put into it are refused.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { it } from 'node:test';
import { not_checked, open_page } from './harness.mjs';
// A class's page on 127.0.0.1 showing the program from localhost (another origin), as README's snippet puts it, 20 px
// right and 30 px down.
const class_page = `<!doctype html><html><head><meta charset="utf-8"><title>Our class</title></head>
<body style="margin: 0"><iframe width="900" height="700" style="position: absolute; left: 20px; top: 30px; border: 0"
allow="fullscreen; screen-wake-lock"></iframe>
<script>document.querySelector('iframe').src = 'http://localhost:' + location.port + '/';</script></body>`;
const frame_at = { x: 20, y: 30 };
// Put into every document. The frame answers the class's page's question with what a user sees in it; the class's page
// asks (frame_state).
function relay() {
  if (window === top) {
    window.frame_state = () => new Promise((resolve) => {
      const answer = (event) => {
        if (!event.data?.orrery_state) return;
        removeEventListener('message', answer);
        window.frame_errors = event.data.orrery_state.errors;
        resolve(event.data.orrery_state);
      };
      addEventListener('message', answer);
      setTimeout(() => resolve(null), 3000);
      document.querySelector('iframe')?.contentWindow.postMessage('orrery_state?', '*');
    });
    return;
  }
  const errors = [];  // every one so far: an answer may come too late to be heard
  addEventListener('message', (event) => {
    if (event.data !== 'orrery_state?') return;
    errors.push(...orrery_test.take_errors());
    const box = document.getElementById('box');
    const canvas = document.getElementById('canvas').getBoundingClientRect();
    const button = box.querySelector('button')?.getBoundingClientRect();
    event.source.postMessage({ orrery_state: {
      origin: location.origin, sun: orrery_test.square(400, 300, 6),
      box: box.open ? box.querySelector('.caption').textContent : null,
      inline: [window.inline_ran ?? false,
        getComputedStyle(document.getElementById('status')).color === 'rgb(1, 2, 3)'],
      full_screen: document.fullscreenElement?.id ?? null, canvas: { x: canvas.left, y: canvas.top },
      button: button && { x: button.left + button.width / 2, y: button.top + button.height / 2 },
      errors,
    } }, '*');
  });
}
it("embedded in another site's page, runs: a click on the Sun shows its box, F1 goes full screen (or asks) and back; " +
  'nothing inline runs', async (t) => {
  const index = readFileSync(join(process.env.ORRERY_PAGE_DIR, 'index.html'), 'utf8');
  const inline = '<style>#status { color: rgb(1, 2, 3); }</style><script>window.inline_ran = true;</script>';
  const html = (body) => ({ body, type: 'text/html; charset=utf-8' });
  const page = await open_page({
    path: '/class.html', script: relay, serve: (path) => ({
      '/class.html': html(class_page), '/': html(index.replace('</body>', `${inline}</body>`)),
    })[path] ?? null,
  });
  // The frame's state once `test` (run in the class's page) holds for it.
  const until = (test) => page.wait_for(`async () => { const s = await frame_state(); return s && (${test})(s) && s; }`);
  t.after(() => page.close());
  const shown = await until((s) => s.sun > 0.95);
  assert.equal(shown.origin.startsWith('http://localhost:'), true);
  assert.deepEqual(shown.inline, [false, false]);
  await page.click(frame_at.x + shown.canvas.x + 400, frame_at.y + shown.canvas.y + 300);
  const boxed = await until((s) => s.box !== null);
  assert.equal(boxed.box, '태양');
  await page.click(frame_at.x + boxed.button.x, frame_at.y + boxed.button.y);
  await until((s) => s.box === null);
  await page.key('F1');
  const answered = await until((s) => s.full_screen === 'screen' || s.box !== null);
  if (answered.full_screen) {
    await page.key('F1');
  } else {
    // Refused full screen: the program asks whether to go on in the frame; Yes (the first button) does.
    not_checked(t, 'full screen in a frame', `${page.engine} refuses it here, and the program asks instead`);
    await page.click(frame_at.x + answered.button.x, frame_at.y + answered.button.y);
  }
  await until((s) => s.full_screen === null && s.box === null && s.sun > 0.95);
  // The policy's two refusals, and nothing else. (A refused element also fires its own error event, without a message.)
  const seen = [...page.errors, ...await page.evaluate(() => window.frame_errors)]
    .filter((error) => error !== 'page error: undefined');
  assert.deepEqual(seen.map((error) => error.replace(/\((\w+)-src[^)]*\)/, '($1)')).sort(), [
    'content security policy refused inline (script)', 'content security policy refused inline (style)',
  ]);
});
