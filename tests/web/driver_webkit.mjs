// WebKitGTK (the engine of Safari): its MiniBrowser, windowed on the harness's Xvfb, driven by WebKitWebDriver over plain
// W3C WebDriver (HTTP and JSON) on a free port of the loopback, started with a test file's first page and ended with
// close_all. One WebDriver session (a fresh browser) a page.
import { createServer } from 'node:net';
import { key_actions } from './webdriver_actions.mjs';
import { own_process, x_display } from './xvfb.mjs';
const mini_browser = process.env.ORRERY_MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const free_port = () => new Promise((resolve) => {
  const probe = createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => resolve(port));
  });
});
async function request(base, method, path, body) {
  const response = await fetch(`${base}${path}`, {
    method, headers: { 'Content-Type': 'application/json' }, body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json();
  if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${answer.value?.error}: ${answer.value?.message}`);
  return answer.value;
}
// One WebKitWebDriver for each device scale: GTK draws the browser's windows at the (whole) scale given by GDK_SCALE,
// which the browser takes from the driver's environment; the screen is as much larger.
const drivers = new Map();
async function start_webdriver(scale) {
  const display = await x_display(1280 * scale, 1024 * scale);
  const port = await free_port();
  const child = own_process('WebKitWebDriver', [`--port=${port}`, '--host=127.0.0.1'],
    { env: { ...process.env, DISPLAY: display, GDK_SCALE: String(scale) } });
  const base = `http://127.0.0.1:${port}`;
  for (const end = Date.now() + 30000; ;) {
    if (child.exitCode !== null) throw new Error(`WebKitWebDriver ended: ${child.stderr_text()}`);
    if (await request(base, 'GET', '/status').then((status) => status.ready, () => false)) break;
    if (Date.now() > end) throw new Error(`WebKitWebDriver did not answer on ${base}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return { base, child, chrome: [0, 0] };
}
export async function close_all() {
  for (const driver of drivers.values()) (await driver.catch(() => null))?.child.kill();
  drivers.clear();
}
export async function open(engine, view) {
  if (!drivers.has(view.scale)) drivers.set(view.scale, start_webdriver(view.scale));
  const driver = await drivers.get(view.scale);
  const { sessionId } = await request(driver.base, 'POST', '/session', {
    capabilities: { alwaysMatch: {
      browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary: mini_browser, args: ['--automation'] },
    } },
  });
  const call = (method, path, body) => request(driver.base, method, `/session/${sessionId}${path}`, body);
  const perform = (actions) => call('POST', '/actions', { actions });
  // WebKitWebDriver releases every button as the left one (the right one held on for the page): the right button's
  // press, with its context menu, and release are made in the page instead, where the pointer is.
  let pointer = { x: 0, y: 0 };
  const right = (types) => run(`((x, y) => ${JSON.stringify(types)}.forEach((type) =>
    (document.elementFromPoint(x, y) ?? document.body).dispatchEvent(new MouseEvent(type, { bubbles: true,
      cancelable: true, clientX: x, clientY: y, button: 2, buttons: type === 'mouseup' ? 0 : 2 }))))(${pointer.x}, ${pointer.y})`);
  const mouse = (action) => perform([{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [action] }]);
  let wheel_sum = 0;
  const run = (expression) => call('POST', '/execute/sync', { script: `return ${expression};`, args: [] });
  await call('POST', '/timeouts', { script: 120000 });
  // The window's size is set from outside; its viewport is that less the browser's own parts (learnt at the first
  // page), and GTK may size it a while after the answer: read until it is the size asked for, for up to 2 s.
  const resize = async (width, height) => {
    let inner = [];
    for (let attempt = 0; attempt < 3; attempt += 1) {
      await call('POST', '/window/rect', { width: width + driver.chrome[0], height: height + driver.chrome[1] });
      for (const end = Date.now() + 2000; Date.now() < end; await new Promise((resolve) => setTimeout(resolve, 50))) {
        inner = JSON.parse(await run('JSON.stringify([innerWidth, innerHeight])'));
        if (inner[0] === width && inner[1] === height) return;
      }
      driver.chrome = [driver.chrome[0] + width - inner[0], driver.chrome[1] + height - inner[1]];
    }
    throw new Error(`a ${width}x${height} viewport: MiniBrowser's window gives at best ` +
      `${inner[0]}x${inner[1]} (its toolbar sets its least width)`);
  };
  await resize(view.width, view.height).catch(async (error) => { await call('DELETE', ''); throw error; });
  return {
    run, resize, go: (url) => call('POST', '/url', { url }),
    key: async (code) => { for (const actions of key_actions(code)) await perform(actions); },
    mouse_move: (x, y) => {
      pointer = { x: Math.round(x), y: Math.round(y) };
      return mouse({ type: 'pointerMove', ...pointer, origin: 'viewport', duration: 0 });
    },
    mouse_down: (button) => (button === 'right' ? right(['mousedown', 'contextmenu'])
      : mouse({ type: 'pointerDown', button: 0 })),
    mouse_up: (button) => (button === 'right' ? right(['mouseup']) : mouse({ type: 'pointerUp', button: 0 })),
    // WebKitWebDriver keeps the wheel's last scroll as if it were a position and gives the page each scroll less the
    // one before it (-100 then -50 reach the page as -100 and +50): each is sent as the sum so far.
    wheel: (x, y, delta_y) => perform([{ type: 'wheel', id: 'wheel', actions: [{ type: 'scroll', x: Math.round(x),
      y: Math.round(y), deltaX: 0, deltaY: wheel_sum += delta_y, origin: 'viewport' }] }]),
    close: () => call('DELETE', ''),
  };
}
