// The page's status line, and what the program tells the page: that it runs,
// that it has ended, that it stopped with an error (both with Start again),
// that its graphics were reset and are back.
// The program's files are loaded by loader.js.
const status_line = document.getElementById('status');
// Shows `text`, and a button labelled `label` that does `action`, if given.
const say = (text, label, action) => {
  status_line.textContent = text;
  if (!label) return;
  const button = document.createElement('button');
  button.textContent = label;
  button.addEventListener('click', action);
  status_line.append(button);
};
const start_again = () => location.reload();
const running = 'Space pauses, F1 switches full screen, Escape ends.';
var Module = {
  canvas: document.getElementById('canvas'),
  onRuntimeInitialized: () => say(running),
  onExit: () => {
    ended = true;
    if (!crashed) say('The program has ended.', 'Start again', start_again);
  },
  onAbort: (what) => stopped(what),
};
// The program stops with an error either through the runtime's abort, or by
// an error that its code throws and nothing catches, which the runtime leaves
// to the page: then the loop waits for nothing and the picture stands still,
// and the runtime, finding nothing waiting, ends as if the program had
// returned, which must not hide the error.
let crashed = false;
let ended = false;
function stopped(what) {
  crashed = true;
  say(`The program stopped with an error: ${what}.`, 'Start again', start_again);
}
window.addEventListener('error', (event) => stopped(event.error ?? event.message));
window.addEventListener('unhandledrejection', (event) => stopped(event.reason));
// The canvas's WebGL context lost (the graphics driver was reset, or the
// browser gave the context to other pages): the program waits, and the
// browser gives the context back only where the page prevents the loss's
// default. Given back, the program draws again from where it was
// (platform/web/context_loss.cpp).
let context_lost = false;
Module.canvas.addEventListener('webglcontextlost', (event) => {
  event.preventDefault();
  if (crashed || ended) return;
  context_lost = true;
  say('The graphics were reset: the browser took back its WebGL context (the graphics driver restarted, or ' +
    'other pages needed it). The picture comes back by itself in a moment; if it does not, ', 'Start again',
  start_again);
});
Module.canvas.addEventListener('webglcontextrestored', () => {
  if (crashed || ended || !context_lost) return;
  context_lost = false;
  say(running);
});
