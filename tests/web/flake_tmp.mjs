import { open_page, close_browsers } from './harness.mjs';
import { box_opens, ended, question, sun_shown as started } from './seen.mjs';
const n = Number(process.argv[2] ?? 20);
let fails = 0;
for (let i = 0; i < n; i += 1) {
  let session;
  try {
    session = await open_page({ path: '/?refused' });
    await started(session);
    await question(session);
    await session.key('Escape');
    const shown = await box_opens(session);
    if (shown.caption !== 'ERROR') throw new Error(JSON.stringify(shown));
    await session.key('Enter');
    await ended(session);
  } catch (error) {
    fails += 1;
    console.log(`run ${i}: ${error.stack}`);
  } finally {
    await session?.close().catch(() => {});
    if (i % 10 === 9) console.log(`${i + 1} runs, ${fails} failed`);
  }
}
console.log(`${fails} of ${n} failed`);
await close_browsers();
process.exit(0);
