// Chromium (headless, on SwiftShader, over the DevTools protocol) and Firefox ESR (over WebDriver BiDi, windowed on the
// harness's Xvfb: headless Firefox has no WebGL) through puppeteer-core. One browser a test file (Firefox: one more for
// touch), started with its first page and ended with close_all; a fresh browser context a page.
import { mkdtempSync } from 'node:fs';
import { rm } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { key_actions, touch_actions } from './webdriver_actions.mjs';
import { x_display } from './xvfb.mjs';
const puppeteer = createRequire(join(process.env.ORRERY_NODE_MODULES, 'x.js'))('puppeteer-core');
// (puppeteer's own flags for Chromium already turn off its networking in the background, sync and the first run.)
const launch = async (engine, view, profile, start_url) => puppeteer.launch({
  userDataDir: profile, defaultViewport: null,
  ...(engine === 'chromium' ? {
    executablePath: process.env.ORRERY_CHROMIUM ?? '/usr/bin/chromium', headless: true,
    // A page left is gone, not kept for the Back button: Chromium no longer lets an unload listener keep a page out of
    // that cache, where it stays a client of its service worker and keeps the offline test's old build for visits.
    // Nor is a navigation sent to the network beside a service worker being started (its answer used only if the worker
    // asks for it): the offline test's server would see the page asked for with the network off.
    args: ['--headless', '--no-sandbox', '--enable-unsafe-swiftshader', '--disable-quic', '--disable-component-update',
      '--disable-back-forward-cache', '--disable-features=ServiceWorkerAutoPreload'],
  } : {
    browser: 'firefox', executablePath: process.env.ORRERY_FIREFOX ?? '/usr/bin/firefox-esr', headless: false,
    env: { ...process.env, DISPLAY: await x_display() },
    // Firefox gives the focus to the page it starts with, not to one it is sent to later (the address bar keeps it),
    // and it grants full screen only to a focused page: it starts with a page of the tests' server.
    args: [start_url],
    extraPrefsFirefox: {
      // No telemetry ping sent (by a helper that outlives the browser) as it ends.
      'datareporting.policy.dataSubmissionEnabled': false, 'toolkit.telemetry.shutdownPingSender.enabled': false,
      // Touch events exist in Firefox on Linux only where a touch screen is found; the emulated one is not, and it has
      // as many points as a phone.
      ...(view.touch ? {
        'dom.w3c_touch_events.enabled': 1, 'dom.w3c_touch_events.legacy_apis.enabled': true,
        'dom.maxtouchpoints.testing.value': 5,
      } : {}),
    },
  }),
});
// `start_url`: a blank page of the tests' server.
const browsers = new Map();
async function browser_for(engine, view, start_url) {
  const options = JSON.stringify([engine, engine === 'firefox' && view.touch]);
  if (!browsers.has(options)) {
    const profile = mkdtempSync(join(process.env.ORRERY_PROFILE_DIR, `${engine}-`));
    browsers.set(options, { profile, browser: launch(engine, view, profile, start_url) });
  }
  return browsers.get(options).browser;
}
export async function close_all() {
  for (const { profile, browser } of browsers.values()) {
    await (await browser.catch(() => null))?.close();
    // (A helper of Firefox's may still be writing in the profile as it ends.)
    await rm(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
  }
  browsers.clear();
}
// `installed`: the page in the browser's own profile, not a fresh private context, which Chromium never lets install a
// page as an app.
export async function open(engine, view, start_url, installed = false) {
  const browser = await browser_for(engine, view, start_url);
  const context = installed ? browser.defaultBrowserContext() : await browser.createBrowserContext();
  const page = await context.newPage();
  // A new size of the viewport (and so of the screen in full screen), its scale and touch kept.
  const resize = (width, height) => page.setViewport({ width, height, deviceScaleFactor: view.scale, hasTouch: view.touch });
  await resize(view.width, view.height);
  const common = {
    resize, go: (url) => page.goto(url),
    mouse_move: (x, y) => page.mouse.move(x, y),
    mouse_down: (button) => page.mouse.down({ button }), mouse_up: (button) => page.mouse.up({ button }),
    async wheel(x, y, delta_y) { await page.mouse.move(x, y); await page.mouse.wheel({ deltaY: delta_y }); },
    close: () => (installed ? page.close() : context.close()),
  };
  // Evaluations carry no user gesture: what a browser allows only after the user's input (full screen) must come from
  // the tests' real input.
  if (engine === 'firefox') {
    // Keys and touch as WebDriver actions (puppeteer types Enter as the keypad's, and has no Space).
    const perform = (actions) => page.mainFrame().browsingContext.performActions(actions);
    return {
      ...common,
      async run(expression) {
        const result = await page.mainFrame().browsingContext.defaultRealm.evaluate(expression, true, {
          userActivation: false, resultOwnership: 'none',
        });
        if (result.type === 'exception') throw new Error(result.exceptionDetails.text);
        return result.result.value;
      },
      key: async (code) => { for (const actions of key_actions(code)) await perform(actions); },
      touch: (states) => perform(touch_actions(states)),
    };
  }
  const cdp = await page.createCDPSession();
  // Headless Chromium's screen is 800x600 whatever the viewport; its full screen is the viewport. The screen is made
  // the viewport's size, as a browser's full screen is the screen's.
  await cdp.send('Emulation.setDeviceMetricsOverride', {
    width: view.width, height: view.height, deviceScaleFactor: view.scale, mobile: false,
    screenWidth: view.width, screenHeight: view.height,
  });
  return {
    ...common,
    async run(expression) {
      const { result, exceptionDetails } = await cdp.send('Runtime.evaluate', {
        expression, awaitPromise: true, returnByValue: true, userGesture: false,
      });
      if (exceptionDetails) throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
      return result.value;
    },
    // Chromium's own protocol, for what only Chromium reports (installability, service workers' states).
    devtools: (method, params) => cdp.send(method, params), on_devtools: (event, listener) => cdp.on(event, listener),
    key: (code) => page.keyboard.press(code),
    // Each state lists the fingers on the screen; the last, none.
    async touch(states) {
      let down = false;
      for (const fingers of states) {
        const type = fingers.length === 0 ? 'touchEnd' : down ? 'touchMove' : 'touchStart';
        await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: fingers.map(({ x, y }, id) => ({ x, y, id })) });
        down = fingers.length > 0;
      }
    },
  };
}
