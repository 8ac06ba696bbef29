// How long the browser build takes to switch between the launcher and the game, which run as one program in the
// page: from the release of a click on Play to the game's first statement, and from the key that confirms
// leaving through the game's Menu to the launcher's hall of fame. Each is measured `runs` times in a row in one
// page (game after game) and printed with the median.
//   node switch_times.mjs <site folder> [runs]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {launch, serve, sleep} from './measures.mjs';

const site = path.resolve(process.argv[2]);
const runs = Number(process.argv[3] || 3);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

const server = await serve(site);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvel-switch-'));
const browser = await launch(profile);
const lines = [];  // [wall ms, text]
let status = 0;
try {
  const page = await browser.newPage();
  await page.setViewport({width: 1000, height: 600});
  page.on('console', (m) => lines.push([performance.now(), m.text()]));
  const waitFor = async (pattern, from, timeoutMs = 60000) => {
    for (const began = performance.now(); ; await sleep(5)) {
      const found = lines.slice(from).find(([, l]) => pattern.test(l));
      if (found) return found[0];
      if (performance.now() - began > timeoutMs) throw new Error(`no trace line ${pattern}`);
    }
  };
  await page.goto(`http://127.0.0.1:${server.address().port}/?seed=7&trace`);
  await waitFor(/^\d+ launcher page players$/, 0);
  const playAt = await page.evaluate(() => {
    const box = document.getElementById('game').getBoundingClientRect();
    const scale = Math.min(box.width / 800, box.height / 600);
    return [box.left + (box.width - 800 * scale) / 2 + 134.5 * scale, box.top + (box.height - 600 * scale) / 2 + 159.5 * scale];
  });
  const toGame = [], toLauncher = [];
  for (let i = 0; i < runs; ++i) {
    await sleep(1000);
    let mark = lines.length;
    await page.mouse.move(...playAt);
    await page.mouse.down();
    await sleep(60);
    const released = performance.now();
    await page.mouse.up();
    toGame.push(await waitFor(/^\d+ question /, mark) - released);
    await sleep(1500);
    mark = lines.length;
    await page.keyboard.press('KeyM');  // "End this game?"
    await waitFor(/^\d+ popup open "end-game"$/, mark);
    await sleep(300);
    const confirmed = performance.now();
    await page.keyboard.press('KeyY');
    toLauncher.push(await waitFor(/^\d+ launcher page halloffame$/, mark) - confirmed);
  }
  const list = (v) => v.map((t) => Math.round(t)).join(', ');
  console.log(`launcher -> game (Play released to the first statement): median ${Math.round(median(toGame))} ms (${list(toGame)})`);
  console.log(`game -> launcher (leaving confirmed to the hall of fame): median ${Math.round(median(toLauncher))} ms (${list(toLauncher)})`);
} catch (error) {
  status = 1;
  console.error(`FAIL: ${error.message}`);
  console.error(lines.slice(-20).map(([, l]) => l).join('\n'));
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, {recursive: true, force: true});
}
process.exit(status);
