// The browser build's figures for a player, side by side for two sites (an earlier build and this one), as a
// Markdown table: bytes of a first visit, first paint and first picture over 10 Mbit/s with 40 ms of latency
// (the game's, started at once by the page's name parameter, and the launcher's where the page opens on it), and
// main-thread time idle on a question, and on the launcher, against a blank page. Each measure runs `runs` times;
// the table shows the median (and the range).
//   node web_figures.mjs <earlier site> <this site> [runs]
import os from 'node:os';
import path from 'node:path';
import fs from 'node:fs';
import {coldLoad, idleShares, launch, serve} from './measures.mjs';

const [earlier, current] = process.argv.slice(2, 4).map((a) => path.resolve(a));
const runs = Number(process.argv[4] || 3);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const cell = (values, digits) => {
  const v = values.filter((x) => typeof x === 'number');
  if (!v.length) return 'none';
  return `${median(v).toFixed(digits)} (${Math.min(...v).toFixed(digits)}-${Math.max(...v).toFixed(digits)})`;
};

// One server and one browser per site; the runs alternate between the two sites, so a machine that is busier
// at one time than another weighs on both alike.
async function open(site) {
  const server = await serve(site);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvel-figures-'));
  return {server, profile, base: `http://127.0.0.1:${server.address().port}/`, browser: await launch(profile),
          // A site whose page opens on a form of its own has no launcher to measure.
          launcher: !/id="start"/.test(fs.readFileSync(path.join(site, 'index.html'), 'utf8')),
          rows: {bytes: [], shownBytes: [], paint: [], picture: [], launcherPicture: [], blank: [], idle: [],
                 launcherIdle: []}};
}

async function measure(s) {
  const cold = await coldLoad(s.browser, `${s.base}?name=Figures&seed=7`);
  s.rows.bytes.push(cold.bytes / 1e6);
  s.rows.shownBytes.push(cold.bytesUntilShown / 1e6);
  s.rows.paint.push(cold.firstPaint === undefined ? undefined : cold.firstPaint - cold.response);
  s.rows.picture.push(cold.firstPicture / 1000);
  const idle = await idleShares(s.browser, `${s.base}?name=Figures&seed=7`, 20);
  s.rows.blank.push(idle.blank);
  s.rows.idle.push(idle.game);
  console.error(JSON.stringify({cold, idle}));
  if (!s.launcher) return;
  const opening = await coldLoad(s.browser, `${s.base}?seed=7`);
  s.rows.launcherPicture.push(opening.firstPicture / 1000);
  const still = await idleShares(s.browser, `${s.base}?seed=7`, 20);
  s.rows.launcherIdle.push(still.game);
  console.error(JSON.stringify({opening, still}));
}

const sites = [await open(earlier), await open(current)];
try {
  for (let i = 0; i < runs; ++i) for (const s of sites) await measure(s);
} finally {
  for (const s of sites) {
    await s.browser.close();
    s.server.close();
    fs.rmSync(s.profile, {recursive: true, force: true});
  }
}
const [before, after] = sites.map((s) => s.rows);
const lines = [
  ['Bytes of a first visit (MB, all files)', 'bytes', 2],
  ['Bytes until the game shows (MB)', 'shownBytes', 2],
  ['First paint after the page arrived, cold, 10 Mbit/s 40 ms (ms)', 'paint', 0],
  ['First picture of the game, cold, 10 Mbit/s 40 ms (s)', 'picture', 2],
  ['First picture of the launcher, cold, 10 Mbit/s 40 ms (s)', 'launcherPicture', 2],
  ['Main thread, blank page (% of a core, 20 s)', 'blank', 2],
  ['Main thread, game idle on a question (% of a core, 20 s)', 'idle', 2],
  ['Main thread, launcher idle on its first page (% of a core, 20 s)', 'launcherIdle', 2],
];
console.log(`| What (median of ${runs}, range) | Earlier build | This build |`);
console.log('|---|---|---|');
for (const [label, key, digits] of lines)
  console.log(`| ${label} | ${cell(before[key], digits)} | ${cell(after[key], digits)} |`);
