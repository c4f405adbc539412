// The on-page controls (#controls in index.html): each button gives the
// program the key it stands for (its data-code, a KeyboardEvent code), as a
// press and a release, the way the keyboard does. A click, a tap, or Enter or
// Space on the focused button presses it; the browser's user activation of
// that input stays with the key, so full screen is granted as for F1 itself.
(() => {
  const controls = document.getElementById('controls');
  const canvas = document.getElementById('canvas');
  const box = document.getElementById('box');
  const buttons = [...controls.querySelectorAll('button[data-code]')];

  const press = (code) => {
    for (const type of ['keydown', 'keyup']) {
      window.dispatchEvent(new KeyboardEvent(type, { code, key: code, bubbles: true, cancelable: true }));
    }
  };
  // Enter and Space on a focused button are the button's: the program, which
  // takes Space as its pause key from anywhere in the page, does not see them.
  const activation_key = (event) => ['Enter', 'NumpadEnter', 'Space'].includes(event.code) &&
    !event.altKey && !event.ctrlKey && !event.metaKey;
  for (const button of buttons) {
    // A click or a tap gives the focus back to the picture, so that Space
    // there is the program's pause again, not a press of the button clicked.
    button.addEventListener('click', (event) => {
      press(button.dataset.code);
      if (event.detail > 0) canvas.focus({ preventScroll: true });
    });
    for (const type of ['keydown', 'keyup']) {
      button.addEventListener(type, (event) => {
        if (!activation_key(event)) return;
        event.preventDefault();
        event.stopPropagation();
        if (type === 'keydown' && !event.repeat) button.click();
      });
    }
  }

  // Tab, which the program keeps from the browser so that the focus never
  // leaves it, goes round the canvas and the controls instead (Shift+Tab the
  // other way), while the program runs and no box is open.
  const running = () => getComputedStyle(canvas).visibility === 'visible' && !box.open;
  window.addEventListener('keydown', (event) => {
    if (event.code !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey || !running()) return;
    const ring = [canvas, ...buttons];
    const at = ring.indexOf(document.activeElement);
    const step = event.shiftKey ? -1 : 1;
    const next = at < 0 ? (event.shiftKey ? ring.length - 1 : 0) : (at + step + ring.length) % ring.length;
    ring[next].focus();
    event.preventDefault();
  }, true);
})();
