// The program (orrery.js, orrery.wasm, and its pictures in orrery.data)
// runs until Escape; then the page says so and how to start it again.
const status_line = document.getElementById('status');
const say = (text, restart) => {
  status_line.textContent = text;
  if (!restart) return;
  const button = document.createElement('button');
  button.textContent = 'Start again';
  button.addEventListener('click', () => location.reload());
  status_line.append(button);
};
var Module = {
  canvas: document.getElementById('canvas'),
  onRuntimeInitialized: () => say('Space pauses, F1 switches full screen, Escape ends.'),
  onExit: () => say('The program has ended. Reload the page (F5) to start it again.', true),
  onAbort: (what) => say('The program stopped with an error: ' + what + '. Reload the page to start it again.', true),
};
if (typeof WebAssembly !== 'object') {
  say('This browser cannot run WebAssembly.');
}
