// The X display that the windowed engines (Firefox, WebKitGTK) draw on: the harness's own Xvfb on a free display number
// with a window manager, started once a test file and ended with it, as is every other process started here.
import { execFile, spawn } from 'node:child_process';
const started = [];
process.on('exit', () => started.forEach((child) => child.kill()));
for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => process.exit(1));
// Starts `command`, ended when this process ends; it does not keep this process alive.
export function own_process(command, args, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'], ...options });
  child.unref();
  child.stderr?.unref?.();
  let stderr = '';
  child.stderr?.on('data', (data) => { stderr = (stderr + data).slice(-2000); });
  child.stderr_text = () => stderr;
  started.push(child);
  return child;
}
// The screen holds the largest window the tests ask for, 1280x1024 unless asked for more (a window drawn at a device
// scale of 3 is three times as large in the screen's pixels). A window manager (openbox) gives the browser's window X's
// focus, without which Firefox refuses full screen, and carries out a window's full screen. One display for each size.
const displays = new Map();
export function x_display(width = 1280, height = 1024) {
  const size = `${width}x${height}`;
  if (!displays.has(size)) displays.set(size, start_display(size));
  return displays.get(size);
}
async function start_display(size) {
  const child = own_process('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', `${size}x24`],
    { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  // Xvfb picks the first free display and writes its number to the given fd.
  const name = await new Promise((resolve, reject) => {
    let text = '';
    child.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve(`:${text.trim()}`);
    });
    child.stdio[3].unref?.();
    child.on('exit', (code) => reject(new Error(`Xvfb ended (${code}): ${child.stderr_text()}`)));
  });
  const env = { ...process.env, DISPLAY: name };
  const wm = own_process('openbox', ['--sm-disable'], { env });
  // openbox is ready once it has announced itself on the root window.
  for (const end = Date.now() + 30000; ;) {
    const announced = await new Promise((resolve) => execFile('xprop', ['-root', '_NET_SUPPORTING_WM_CHECK'],
      { env }, (error, stdout) => resolve(!error && stdout.includes('window id'))));
    if (announced) return name;
    if (Date.now() > end || wm.exitCode !== null) {
      throw new Error(`openbox did not start on ${name}: ${wm.stderr_text()}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}
