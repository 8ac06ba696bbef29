// Plays the browser build in headless Chromium: the start page takes a name, then True, False and Pass are
// clicked where they show on the scaled canvas, and the text panel to go on; the game's trace is read from the
// console. The first question's text panel must be the same pixels as the headless build's for the same seed,
// and after the clock runs out the hall of fame must still be there when the page is loaded again.
//   node play_in_browser.mjs <site folder> <zorvel-headless> <native game folder> [screenshot folder]
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, headless, gameDir, shots] = process.argv.slice(2).map((a) => a && path.resolve(a));
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const seed = 7;
const speed = 6;  // virtual time runs six times faster than the clock: a whole game in half a minute
const panel = {x: 164, y: 244, w: 466, h: 168};
const spots = {true: [232, 499], false: [496, 499], pass: [370, 499], panel: [400, 330], exit: [724, 540]};

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'zorvel-browser-'));
const fail = (message) => { throw new Error(message); };

// The headless build's first question for the same seed, as raw RGB of the text panel.
function headlessPanel() {
  const game = path.join(work, 'suite', 'Zorvel');
  fs.mkdirSync(game, {recursive: true});
  fs.cpSync(gameDir, game, {recursive: true});
  fs.rmSync(path.join(game, 'hiscore.dat'), {force: true});
  fs.writeFileSync(path.join(work, 'script.txt'),
                   `zorvel-script 1\nseed ${seed}\n400 screenshot first.png\n500 keyup ESCAPE\n`);
  const run = spawnSync(headless, [path.join(work, 'suite')], {cwd: game, env: {...process.env,
    ZORVEL_CLOCK: 'virtual', ZORVEL_SCRIPT: path.join(work, 'script.txt'), ZORVEL_NO_LAUNCH: '1',
    ZORVEL_MESSAGEBOX: 'stderr', ZORVEL_TRACE: path.join(work, 'headless.trace')}});
  if (run.status !== 0) fail(`the headless game failed: ${run.stderr}`);
  const crop = spawnSync('convert', [path.join(game, 'first.png'), '-crop',
    `${panel.w}x${panel.h}+${panel.x}+${panel.y}`, '+repage', 'rgb:-'], {maxBuffer: 1 << 24});
  if (crop.status !== 0) fail(`cannot read the headless screenshot: ${crop.stderr}`);
  const question = fs.readFileSync(path.join(work, 'headless.trace'), 'utf8').match(/ question ".*/);
  return {rgb: crop.stdout, question: question && question[0]};
}

function serve(folder) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                 '.data': 'application/octet-stream'};
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : path.normalize(name));
    if (!file.startsWith(folder) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const trace = [];
function waitForTrace(pattern, timeoutMs = 60000, from = 0) {
  const started = Date.now();
  return new Promise((resolve, reject) => {
    const look = () => {
      for (let i = from; i < trace.length; ++i) if (pattern.test(trace[i])) return resolve({line: trace[i], index: i});
      if (Date.now() - started > timeoutMs) return reject(new Error(`no trace line ${pattern} in ${timeoutMs} ms`));
      setTimeout(look, 20);
    };
    look();
  });
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The page point showing picture pixel (x, y) of the canvas, which is scaled to fit with bars.
async function pagePoint(page, x, y) {
  return page.evaluate((x, y) => {
    const box = document.getElementById('game').getBoundingClientRect();
    const scale = Math.min(box.width / 800, box.height / 600);
    return [box.left + (box.width - 800 * scale) / 2 + (x + 0.5) * scale,
            box.top + (box.height - 600 * scale) / 2 + (y + 0.5) * scale];
  }, x, y);
}

// A press held across a few frames, as a person clicks: a press and release between two frames are not seen.
async function click(page, spot) {
  const [x, y] = await pagePoint(page, ...spots[spot]);
  await page.mouse.move(x, y);
  await page.mouse.down();
  await sleep(60);
  await page.mouse.up();
}

async function shot(page, name) {
  if (shots) await page.screenshot({path: path.join(shots, name)});
}

const expected = headlessPanel();
const server = await serve(path.resolve(site));
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         // No one touches this page: let it sound all the same, so the test can see that it does.
         '--autoplay-policy=no-user-gesture-required',
         `--user-data-dir=${path.join(work, 'profile')}`],
});
let status = 0;
try {
  const page = await browser.newPage();
  // Wider than 4:3, so the picture has bars left and right and every click goes through the scaling.
  await page.setViewport({width: 1000, height: 600});
  page.on('console', (message) => trace.push(message.text()));
  page.on('pageerror', (error) => trace.push(`page error: ${error.message}`));
  page.on('dialog', (dialog) => { trace.push(`dialog: ${dialog.message()}`); dialog.dismiss(); });

  await page.goto(`${base}?seed=${seed}&trace&speed=${speed}`);
  await page.waitForSelector('#name', {visible: true});
  await shot(page, 'browser_start.png');
  await page.type('#name', 'Ann');
  await Promise.all([page.waitForNavigation(), page.click('#play')]);

  const first = await waitForTrace(/^\d+ question /);
  if (expected.question && !first.line.endsWith(expected.question.slice(1)))
    fail(`first question differs from the headless build's: ${first.line} / ${expected.question}`);
  await waitForTrace(/^\d+ state 21 /);
  await sleep(200);
  const rgb = await page.evaluate((p) => {
    const data = document.getElementById('game').getContext('2d').getImageData(p.x, p.y, p.w, p.h).data;
    const out = [];
    for (let i = 0; i < data.length; i += 4) out.push(data[i], data[i + 1], data[i + 2]);
    return out;
  }, panel);
  const differing = rgb.reduce((n, v, i) => n + (v !== expected.rgb[i] ? 1 : 0), 0);
  if (rgb.length !== expected.rgb.length || differing > 0)
    fail(`the first question's text panel differs from the headless build's in ${differing} of ${rgb.length} values`);
  console.log(`text panel: the same ${panel.w} x ${panel.h} pixels as the headless build for seed ${seed}`);
  await shot(page, 'browser_question.png');

  // True, then the panel to go on; False; Pass.
  let mark = first.index;
  for (const answer of ['true', 'false', 'pass']) {
    await waitForTrace(/^\d+ state 21 /, 30000, mark);
    mark = trace.length;
    await click(page, answer);
    await waitForTrace(new RegExp(`^\\d+ answer ${answer}$`), 10000, mark);
    if (answer === 'true') { await sleep(150); await shot(page, 'browser_verdict.png'); }
    await waitForTrace(/^\d+ state 23 /, 30000, mark);
    mark = trace.length;
    await click(page, 'panel');
    await waitForTrace(/^\d+ state 20 /, 10000, mark);
  }
  console.log('clicked True, False, Pass and the text panel; the game saw each');
  // The keyboard: T answers True, Space goes on.
  await waitForTrace(/^\d+ state 21 /, 30000, mark);
  mark = trace.length;
  for (const key of ['t', 'Space']) {
    await page.keyboard.down(key === 't' ? 'KeyT' : key);
    await sleep(60);
    await page.keyboard.up(key === 't' ? 'KeyT' : key);
    if (key === 't') await waitForTrace(/^\d+ answer true$/, 10000, mark);
    else await waitForTrace(/^\d+ state 20 /, 10000, mark);
    if (key === 't') { await waitForTrace(/^\d+ state 23 /, 30000, mark); mark = trace.length; }
  }
  console.log('answered with T and went on with Space');

  // The clock runs out; the result enters the hall of fame.
  const over = await waitForTrace(/^\d+ game over, score \d+$/, 120000);
  const score = Number(over.line.match(/score (\d+)$/)[1]);
  await waitForTrace(/^\d+ state 0 /, 30000, over.index);
  await sleep(300);
  await shot(page, 'browser_game_over.png');
  if (score > 0) await waitForTrace(new RegExp(`^\\d+ hiscore write "Ann:::Y" ${score}$`), 1000);
  console.log(`game over with ${score} points`);
  // Effects and music went out through WebAudio: the music decoded (the open succeeded) and pieces with sound.
  await waitForTrace(/^0 mci "open \.\\sounds\\music\.mp3 alias music" 0$/, 1000);
  const audio = await page.evaluate(() => Module.zorvelAudio && {pieces: Module.zorvelAudio.pieces,
                                                                    heard: Module.zorvelAudio.heard});
  if (!audio || audio.heard === 0) fail(`nothing was heard: ${JSON.stringify(audio)}`);
  console.log(`sound: ${audio.heard} of ${audio.pieces} pieces queued on WebAudio had sound in them`);

  // Exit: the game ends, keeps what it wrote and the page goes back to the start page.
  await Promise.all([page.waitForNavigation({timeout: 30000}), click(page, 'exit')]);
  await page.waitForSelector('#name', {visible: true});
  if (await page.$eval('#name', (e) => e.value) !== 'Ann') fail('the start page forgot the name');

  // A new page load: the best score comes back from the browser's storage.
  mark = trace.length;
  await page.goto(`${base}?name=Ann&seed=${seed + 1}&trace&speed=${speed}`);
  const best = await waitForTrace(/^\d+ new game, best \d+$/, 60000, mark);
  if (!best.line.endsWith(`best ${score}`)) fail(`after a reload: ${best.line}, expected best ${score}`);
  console.log(`after a reload the hall of fame still holds ${score}`);
} catch (error) {
  status = 1;
  console.error(`FAIL: ${error.message}`);
  console.error(trace.filter((l) => !/ frame /.test(l)).slice(-40).join('\n'));
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, {recursive: true, force: true});
}
process.exit(status);
