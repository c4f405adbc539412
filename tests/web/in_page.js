// Put into every page before its own scripts: snapshots of the canvas and their comparison, counts of the browser's
// animation frames and of WebGL's clears (one a drawn frame, each a step of the animation), every key event on the
// window once asked (for whether the page kept it from the browser), the context menus the page was asked for, and
// every error the page met (the harness collects them with each evaluation). At '/?refused', full screen is refused.
(() => {
  if (location.search === '?refused') {
    Element.prototype.requestFullscreen = () => Promise.reject(new TypeError('refused'));
  }
  window.orrery_clears = 0;
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) { window.orrery_clears += 1; return clear.call(this, mask); };
  window.orrery_keys = [];
  window.orrery_watch_keys = () => ['keydown', 'keyup'].forEach((type) =>
    window.addEventListener(type, (event) => orrery_keys.push(event)));
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
  console.error = (...parts) => { errors.push(`console error: ${parts.join(' ')}`); console_error(...parts); };
  const pixels = () => {
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(canvas, 0, 0);
    return context.getImageData(0, 0, copy.width, copy.height);
  };
  // Whether each context menu the page was asked for was refused, as the window sees it once the canvas has had it.
  const menus = [];
  window.addEventListener('contextmenu', (event) => menus.push(event.defaultPrevented));
  window.orrery_test = {
    frames: () => frames, menus: () => menus, take_errors: () => errors.splice(0),
    // The canvas's pixels now as base64 RGB.
    rgb: () => {
      const rgba = pixels().data;
      let text = '';
      for (let i = 0; i < rgba.length; i += 4) text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
      return btoa(text);
    },
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
    // The share of pixels brighter than 60 in some channel, in a square of the live canvas around (cx, cy).
    square: (cx, cy, half) => {
      const image = pixels();
      let bright = 0;
      for (let y = cy - half; y <= cy + half; y += 1) {
        for (let x = cx - half; x <= cx + half; x += 1) {
          const i = 4 * (y * image.width + x);
          bright += Math.max(image.data[i], image.data[i + 1], image.data[i + 2]) > 60;
        }
      }
      return bright / (2 * half + 1) ** 2;
    },
  };
})();
