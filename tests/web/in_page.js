// What the tests put into the page before its own scripts (the harness's
// server adds it to every page it serves, in every engine): snapshots of the
// canvas and their comparison, a count of the browser's animation frames, the
// context menus the page was asked for, and every error the page met, which
// the harness collects with each evaluation.
(() => {
  const shots = new Map();
  let frames = 0;
  // Its own hold on the browser's frames, whatever the page does with them later.
  const request_frame = window.requestAnimationFrame.bind(window);
  const count = () => { frames += 1; request_frame(count); };
  request_frame(count);

  const errors = [];
  window.addEventListener('error', (event) => {
    const source = event.target?.src ?? event.target?.href;
    errors.push(event.target === window || !source ? `page error: ${event.message}` : `failed to load ${source}`);
  }, true);
  window.addEventListener('unhandledrejection', (event) => {
    errors.push(`page error: unhandled rejection: ${event.reason?.message ?? event.reason}`);
  });
  document.addEventListener('securitypolicyviolation', (event) => {
    errors.push(`content security policy refused ${event.blockedURI} (${event.violatedDirective})`);
  });
  const console_error = console.error.bind(console);
  console.error = (...parts) => {
    errors.push(`console error: ${parts.join(' ')}`);
    console_error(...parts);
  };

  const pixels = () => {
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(canvas, 0, 0);
    return context.getImageData(0, 0, copy.width, copy.height);
  };
  // Whether each context menu the page was asked for was refused, as the
  // window sees it once the canvas has had it.
  const menus = [];
  window.addEventListener('contextmenu', (event) => menus.push(event.defaultPrevented));
  window.orrery_test = {
    frames: () => frames,
    menus: () => menus,
    take_errors: () => errors.splice(0),
    // The canvas's pixels now (an ImageData).
    pixels,
    shoot: (name) => { shots.set(name, pixels()); },
    // Share of pixels of two snapshots that differ by more than 24 levels in a channel.
    changed: (a, b) => {
      const x = shots.get(a), y = shots.get(b);
      if (x.width !== y.width || x.height !== y.height) return 1;
      let differing = 0;
      for (let i = 0; i < x.data.length; i += 4) {
        if (Math.abs(x.data[i] - y.data[i]) > 24 || Math.abs(x.data[i + 1] - y.data[i + 1]) > 24 ||
            Math.abs(x.data[i + 2] - y.data[i + 2]) > 24) differing += 1;
      }
      return differing / (x.width * x.height);
    },
    // Mean red, green and blue of a square of the live canvas around (cx, cy),
    // and the share of its pixels brighter than 60 in some channel.
    square: (cx, cy, half) => {
      const image = pixels();
      let r = 0, g = 0, b = 0, bright = 0, n = 0;
      for (let y = cy - half; y <= cy + half; y += 1) {
        for (let x = cx - half; x <= cx + half; x += 1) {
          const i = 4 * (y * image.width + x);
          r += image.data[i]; g += image.data[i + 1]; b += image.data[i + 2];
          if (Math.max(image.data[i], image.data[i + 1], image.data[i + 2]) > 60) bright += 1;
          n += 1;
        }
      }
      return { r: r / n, g: g / n, b: b / n, bright: bright / n };
    },
  };
})();
