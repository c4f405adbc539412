// The X display that the windowed engines (Firefox, WebKitGTK) draw on: the
// harness's own Xvfb on a free display number, started once a test file and
// ended with it, as is every other process started here.
import { spawn } from 'node:child_process';

const started = [];
process.on('exit', () => {
  for (const child of started) child.kill();
});
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

// The screen is as large as the largest window the tests ask for.
export const screen_size = { width: 1280, height: 1024 };
let display = null;
export function x_display() {
  display ??= new Promise((resolve, reject) => {
    // Xvfb picks the first free display and writes its number to the given fd.
    const child = own_process('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0',
      `${screen_size.width}x${screen_size.height}x24`], { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
    let text = '';
    child.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve(`:${text.trim()}`);
    });
    child.stdio[3].unref?.();
    child.on('exit', (code) => reject(new Error(`Xvfb ended (${code}): ${child.stderr_text()}`)));
  });
  return display;
}
