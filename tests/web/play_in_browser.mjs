// Plays the browser build in headless Chromium. First, with no input, the game's trace for one seed must be the
// headless build's line for line (the same ticks). Then the page opens on the launcher, a player is added by
// typing into its name field and Play starts the game; True, False and Pass are clicked where they show on the
// scaled canvas, and the text panel to go on; the trace (launcher and game) is read from the console. The first
// question's text panel must be the same pixels as the headless build's for the same seed, the live region must
// carry the statement and then the verdict with its explanation; after the clock runs out the game's Menu brings
// the launcher back on the hall of fame with that game marked, a setting is switched (the display setting switches
// the page's full screen), and after a reload the
// player, the setting, the score and the player's memory of the game are all still there (a second game reads
// the memory back). Then: the browser's keys are left to it, a 1 ms click counts, a reload offline plays, a roster
// written just before leaving is kept, a cold load over a slow line is quick and small, the idle game costs
// little more than a blank page, and on a phone the first tap starts the sound, the buttons are large enough, an
// upright phone is asked to turn, and a tap on the launcher's name field calls up the keyboard's text element.
//   node play_in_browser.mjs <site folder> <zorvel-headless> <native game folder> [screenshot folder]
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {coldLoad, idleShares, launch, mainThreadShare, serve, sleep} from './measures.mjs';

const [site, headless, gameDir, shots] = process.argv.slice(2).map((a) => a && path.resolve(a));
const seed = 7;
const speed = 6;  // virtual time runs six times faster than the clock: a whole game in half a minute
const panel = {x: 164, y: 244, w: 466, h: 168};
const spots = {true: [232, 499], false: [496, 499], pass: [370, 499], panel: [400, 330], exit: [724, 540],
               menu: [653, 543], nameField: [434, 184], play: [134, 159], players: [134, 264],
               settings: [134, 330], effects: [659, 274], display: [659, 344], stats: [704, 528], statsBack: [696, 528], fame: [134, 396], quit: [134, 544]};

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

// The launcher's name field takes the focus with a click, the text goes into the page's text element laid over it
// (as a phone's keyboard would type), and Return adds the player.
async function typeName(page, name) {
  await click(page, 'nameField');
  await page.waitForFunction(() => document.activeElement?.id === 'typing', {timeout: 10000});
  await page.keyboard.type(name, {delay: 20});
  await sleep(100);
  await page.keyboard.press('Enter');
}

// The launcher's trace lines ("launcher ...") from a mark on.
const launcherLines = (from) => trace.slice(from).filter((l) => /^\d+ launcher /.test(l));

async function shot(page, name) {
  if (shots) await page.screenshot({path: path.join(shots, name)});
}

// Until the game waits for an answer (it may be waiting already).
async function awaitingAnswer() {
  const states = trace.filter((l) => /^\d+ state \d+ /.test(l));
  if (!/^\d+ state 21 /.test(states[states.length - 1] || '')) await waitForTrace(/^\d+ state 21 /, 30000, trace.length);
}

// F5, F11, F12 and the browser's Ctrl and Alt shortcuts are left to the browser (not stopped), and the game does
// not take them for its own keys; the game's own keys (F1, Space) are still stopped.
async function checkBrowserKeys(page) {
  await awaitingAnswer();
  const mark = trace.length;
  const stopped = await page.evaluate(() => {
    const press = (key, keyCode, more = {}) => {
      let prevented = false;
      for (const type of ['keydown', 'keyup']) {
        const event = new KeyboardEvent(type, {key, bubbles: true, cancelable: true, ...more});
        Object.defineProperty(event, 'keyCode', {get: () => keyCode});
        document.getElementById('game').dispatchEvent(event);
        prevented = prevented || event.defaultPrevented;
      }
      return prevented;
    };
    return {F5: press('F5', 116), F11: press('F11', 122), F12: press('F12', 123),
            'Ctrl+F': press('f', 70, {ctrlKey: true}), 'Ctrl+R': press('r', 82, {ctrlKey: true}),
            'Alt+Left': press('ArrowLeft', 37, {altKey: true}), 'Ctrl+T': press('t', 84, {ctrlKey: true}),
            F1: press('F1', 112), F1again: press('F1', 112)};
  });
  for (const key of ['F5', 'F11', 'F12', 'Ctrl+F', 'Ctrl+R', 'Alt+Left', 'Ctrl+T'])
    if (stopped[key]) fail(`${key} was kept from the browser`);
  if (!stopped.F1) fail('F1, the game\'s key, went on to the browser');
  await sleep(500);
  const answered = trace.slice(mark).find((l) => / answer /.test(l));
  if (answered) fail(`a browser shortcut answered: ${answered}`);
  console.log('F5, F11, F12, Ctrl+F/R/T and Alt+Left left to the browser and unseen by the game; F1 kept');
}

// A press and release within a millisecond (a quick tap) is a click all the same.
async function checkShortClick(page) {
  await awaitingAnswer();
  const mark = trace.length;
  const [x, y] = await pagePoint(page, ...spots.true);
  await page.mouse.move(x, y);
  await page.mouse.down();
  await sleep(1);
  await page.mouse.up();
  await waitForTrace(/^\d+ answer true$/, 5000, mark);
  console.log('a press and release 1 ms apart answered True');
}

// After one visit the service worker has kept this build's files: the page reloads offline, the launcher opens
// and Play plays.
async function checkOfflineReload(page) {
  const started = Date.now();
  await page.waitForFunction(async () => {
    if (!navigator.serviceWorker.controller) return false;
    const cache = await caches.open('zorvel-' + BUILD.version);
    return (await Promise.all(BUILD.files.map((f) => cache.match(f)))).every(Boolean);
  }, {timeout: 60000, polling: 200});
  const mark = trace.length;
  await page.setOfflineMode(true);
  try {
    await page.reload();
    await waitForTrace(/^\d+ launcher page players$/, 60000, mark);
    await click(page, 'play');
    await waitForTrace(/^\d+ new game, best \d+$/, 60000, mark);
    await waitForTrace(/^\d+ question /, 30000, mark);
  } finally {
    await page.setOfflineMode(false);
  }
  console.log(`offline reload: the launcher loaded from the worker's cache and Play plays (cache full after ` +
              `${Date.now() - started} ms)`);
}

// The browser's storage as the page's files: IndexedDB of the mount point, one record per path.
function storedFiles(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open('/persist');
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const store = open.result.transaction('FILE_DATA').objectStore('FILE_DATA');
      const keys = store.getAllKeys();
      const options = store.get('/persist/config/zorvel/options.ini');
      options.onsuccess = () => resolve({keys: keys.result, options: options.result?.contents
        ? new TextDecoder().decode(options.result.contents) : null});
    };
  }));
}

// A new player enters the roster and the page is left at once: the roster is in the browser's storage all the
// same, with no temporary file of the save left beside it.
async function checkQuickLeave(page) {
  let mark = trace.length;
  await page.goto(`${base}?trace`);
  await waitForTrace(/^\d+ launcher page players$/, 60000, mark);
  mark = trace.length;
  await typeName(page, 'Quickleaver');
  await waitForTrace(/^\d+ launcher add \d+ Quickleaver$/, 10000, mark);
  await page.goto('about:blank');
  await page.goto(base);
  const stored = await storedFiles(page);
  if (!stored.options || !/Quickleaver/.test(stored.options))
    fail(`the roster written just before leaving is not in storage: ${stored.options}`);
  const stray = stored.keys.filter((k) => /\.tmp/.test(k));
  if (stray.length) fail(`temporary files left in storage: ${stray.join(', ')}`);
  console.log(`quick leave: the new player is in storage, no temporary files (${stored.keys.length} paths)`);
}

// The game's 10 ms ticks run the same in the browser's animation frames as in the headless build: with the same
// seed and no input, the traces agree line for line (ticks, clock, bull, sounds, frame hashes).
async function checkSameTicks() {
  const traceSeed = 11, untilMs = 12000;
  const suite = path.join(work, 'ticks');
  fs.mkdirSync(path.join(suite, 'Zorvel'), {recursive: true});
  fs.cpSync(gameDir, path.join(suite, 'Zorvel'), {recursive: true});
  fs.rmSync(path.join(suite, 'Zorvel', 'hiscore.dat'), {force: true});
  fs.writeFileSync(path.join(suite, 'script.txt'),
                   `zorvel-script 1\nseed ${traceSeed}\n${untilMs + 2000} keyup ESCAPE\n`);
  const run = spawnSync(headless, [suite], {cwd: path.join(suite, 'Zorvel'), env: {...process.env,
    ZORVEL_CLOCK: 'virtual', ZORVEL_SCRIPT: path.join(suite, 'script.txt'), ZORVEL_NO_LAUNCH: '1',
    ZORVEL_MESSAGEBOX: 'stderr', ZORVEL_TRACE: path.join(suite, 'trace.txt')}});
  if (run.status !== 0) fail(`the headless game failed: ${run.stderr}`);
  const upTo = (lines) => lines.filter((l) => /^\d+ /.test(l) && Number(l.split(' ')[0]) <= untilMs);
  const expectedLines = upTo(fs.readFileSync(path.join(suite, 'trace.txt'), 'utf8').split('\n'));
  // A page of its own, first, while the browser's storage is as new as the headless build's folder; it plays as
  // the default roster's player, as the headless build does.
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (message) => lines.push(message.text()));
  await page.goto(`${base}?name=Player1&seed=${traceSeed}&trace&speed=8`);
  const started = Date.now();
  while (!lines.some((l) => /^\d+ /.test(l) && Number(l.split(' ')[0]) > untilMs)) {
    if (Date.now() - started > 60000) fail(`the browser's game did not reach ${untilMs} ms`);
    await sleep(50);
  }
  await page.close();
  const got = upTo(lines);
  const differ = expectedLines.findIndex((l, i) => got[i] !== l);
  if (differ >= 0 || got.length !== expectedLines.length)
    fail(`the browser's trace leaves the headless build's at line ${differ}: ` +
         `"${got[differ]}" / "${expectedLines[differ]}" (${got.length} / ${expectedLines.length} lines)`);
  console.log(`the same ${got.length} trace lines as the headless build over ${untilMs / 1000} s of game time`);
}

// First visit over 10 Mbit/s with 40 ms of latency: the loading screen paints at once, the launcher shows within 3 s
// and no more than 3.0 MB come over the wire. Times are the better of two cold loads: a busy machine can hold
// up one paint, not two in a row.
async function checkColdLoad() {
  const loads = [];
  for (let i = 0; i < 2; ++i) {
    const cold = await coldLoad(browser, `${base}?seed=${seed}`);
    loads.push(cold);
    console.log(`cold load at 10 Mbit/s, 40 ms: first paint ${Math.round(cold.firstPaint - cold.response)} ms ` +
                `after the page arrived, first picture ${Math.round(cold.firstPicture)} ms; ` +
                `${cold.bytesUntilShown} bytes until then, ${cold.bytes} in all`);
    if (cold.bytes > 3.0e6) fail('more than 3.0 MB came over the wire');
  }
  const loading = loads.every((c) => c.opensOnLoading);
  if (!loading) fail('the page does not open on its loading screen and progress bar');
  if (!(Math.min(...loads.map((c) => c.firstPaint - c.response)) <= 100))
    fail('the loading screen did not paint within 100 ms');
  if (Math.min(...loads.map((c) => c.firstPicture)) > 3000) fail('the first picture came later than 3 s');
}

// Idle on a question, and idle on the launcher's first page, the page's main thread works no more than 2 points
// of a core above a blank page's. A result over the limit is measured once more (a busy machine weighs on one
// window), and the better one counts.
async function checkIdle() {
  for (const [what, url] of [['game idle on a question', `${base}?name=Idle&seed=${seed}`],
                             ['launcher idle', `${base}?seed=${seed}`]]) {
    let best = Infinity;
    for (let i = 0; i < 2 && best > 2; ++i) {
      const shares = await idleShares(browser, url, 20);
      console.log(`main thread over 20 s: blank page ${shares.blank.toFixed(2)} %, ${what} ${shares.game.toFixed(2)} %`);
      best = Math.min(best, shares.game - shares.blank);
    }
    if (best > 2) fail(`${what}: more than 2 points above a blank page`);
  }
}

// A hidden page does nothing at all: no main-thread work beyond a blank page's, not a tick of the game; shown
// again, the game goes on from where it was instead of racing through the time it missed.
async function checkHidden() {
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (m) => lines.push(m.text()));
  try {
    await page.goto(`${base}?name=Hidden&seed=${seed}&trace`);
    for (const started = Date.now(); !lines.some((l) => /^\d+ state 21 /.test(l)); await sleep(50))
      if (Date.now() - started > 60000) fail('the game never asked a question');
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setFocusEmulationEnabled', {enabled: false});
    const other = await browser.newPage();
    await other.bringToFront();
    await sleep(500);
    if (!(await page.evaluate(() => document.hidden))) fail('the page could not be hidden');
    const tick = (l) => Number(l.split(' ')[0]);
    const before = lines.filter((l) => /^\d+ /.test(l)).length;
    const share = await mainThreadShare(page, 5);
    const during = lines.filter((l) => /^\d+ /.test(l)).length - before;
    const last = tick(lines.filter((l) => /^\d+ /.test(l)).pop());
    await page.bringToFront();
    await other.close();
    await sleep(1000);
    const after = lines.filter((l) => /^\d+ /.test(l)).map(tick).filter((t) => t > last);
    console.log(`hidden for 5 s: main thread ${share.toFixed(3)} %, ${during} trace lines; shown again, the game ` +
                `went on from ${last} ms to ${after.length ? Math.max(...after) : last} ms`);
    if (during > 0 || share > 0.5) fail('the hidden page went on working');
    if (!after.length || Math.max(...after) > last + 3000) fail('shown again, the game did not go on from where it was');
  } finally {
    await page.close();
  }
}

// On a phone (touch, 844 x 390, no autoplay allowance) the first tap both answers and starts the sound; the mute
// button silences it.
async function checkFirstTap() {
  const phone = await launch(path.join(work, 'phone'), {autoplay: false});
  try {
    const page = await phone.newPage();
    await page.emulate({viewport: {width: 844, height: 390, isMobile: true, hasTouch: true, isLandscape: true,
                                   deviceScaleFactor: 2},
                        userAgent: 'Mozilla/5.0 (Linux; Android 14) Mobile Chrome/120.0 Safari/537.36'});
    const lines = [];
    page.on('console', (m) => lines.push(m.text()));
    await page.goto(`${base}?name=Tapper&seed=${seed}&trace`);
    const started = Date.now();
    while (!lines.some((l) => /^\d+ state 21 /.test(l))) {
      if (Date.now() - started > 60000) fail('the phone page never asked a question');
      await sleep(50);
    }
    const before = await page.evaluate(() => Module.zorvelAudio?.context.state);
    const [x, y] = await pagePoint(page, ...spots.true);
    await page.touchscreen.tap(x, y);
    await sleep(1500);
    if (!lines.some((l) => /^\d+ answer true$/.test(l))) fail('the tap did not answer');
    const after = await page.evaluate(() => ({state: Module.zorvelAudio?.context.state,
                                             heard: Module.zorvelAudio?.heard}));
    if (after.state !== 'running' || !(after.heard > 0))
      fail(`no sound after the first tap: ${JSON.stringify(after)} (before it: ${before})`);
    await page.tap('#mute');
    const gain = await page.evaluate(() => Module.zorvelAudio.output.gain.value);
    if (gain !== 0) fail(`the mute button left the gain at ${gain}`);
    console.log(`phone: sound ${before} before the first tap, ${after.state} after it (${after.heard} pieces ` +
                `heard); the mute button silences it`);
    // Hit areas at 844 x 390: the page's buttons, and the game's smallest buttons (46 picture pixels tall, the
    // four along the bottom) as scaled; the turn-your-phone hint only upright.
    const sizes = await page.evaluate(() => {
      const box = (id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        return {width: r.width, height: r.height};
      };
      const canvas = box('game');
      return {mute: box('mute'), full: box('fullscreen'), scale: Math.min(canvas.width / 800, canvas.height / 600),
              turn: getComputedStyle(document.getElementById('turn')).display};
    });
    // The smallest hit areas of the game and the launcher in picture pixels: the answers of "End this game?"
    // (120 x 36 drawn, 136 x 52 taken), the game's bottom buttons (86 x 46), the launcher's Yes and No (60 x 40
    // drawn, 60 x 62 taken).
    const areas = [['mute', sizes.mute.width, sizes.mute.height], ['full screen', sizes.full.width, sizes.full.height],
                   ['game buttons', 86 * sizes.scale, 46 * sizes.scale],
                   ['end-game answers', 136 * sizes.scale, 52 * sizes.scale],
                   ['launcher yes and no', 60 * sizes.scale, 62 * sizes.scale]];
    const small = areas.filter(([, w, h]) => !(w >= 24 && h >= 24));
    if (small.length) fail(`hit areas under 24 CSS px at 844 x 390: ${JSON.stringify(small)}`);
    if (sizes.turn !== 'none') fail('the turn-your-phone hint shows in landscape');
    await page.setViewport({width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 2});
    const upright = await page.$eval('#turn', (e) => getComputedStyle(e).display);
    if (upright === 'none') fail('no turn-your-phone hint upright');
    const least = (i) => Math.round(Math.min(...areas.map((a) => a[i])));
    console.log(`phone: page buttons ${sizes.mute.width} x ${sizes.mute.height} CSS px, hit areas at least ` +
                `${least(1)} wide and ${least(2)} high; the hint shows upright only`);
    // The launcher's name field on a phone: a tap on it focuses the page's text element within the tap (so the
    // keyboard comes up), and the word the keyboard composes reaches the field as it was committed.
    await page.setViewport({width: 844, height: 390, isMobile: true, hasTouch: true, isLandscape: true,
                            deviceScaleFactor: 2});
    const mark = lines.length;
    await page.goto(`${base}?trace`);
    for (const began = Date.now(); !lines.slice(mark).some((l) => /^\d+ launcher page players$/.test(l)); await sleep(50))
      if (Date.now() - began > 60000) fail('the phone page never showed the launcher');
    await page.touchscreen.tap(...await pagePoint(page, ...spots.nameField));
    const focused = await page.evaluate(() => document.activeElement?.id);
    if (focused !== 'typing') fail(`a tap on the name field focused ${focused}, not the text element`);
    // A phone's keyboard composes a word and changes it as it goes (here it takes back a letter) before it
    // commits the word.
    const cdp = await page.createCDPSession();
    for (const text of ['F', 'Fi', 'Fin', 'Fi', 'Fin', 'Fing']) {
      await cdp.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
      await sleep(50);
    }
    await cdp.send('Input.insertText', {text: 'Fingers'});
    await sleep(300);
    await page.keyboard.press('Enter');
    for (const began = Date.now(); !lines.slice(mark).some((l) => /^\d+ launcher add \d+ Fingers$/.test(l)); await sleep(50))
      if (Date.now() - began > 10000) fail('the phone keyboard\'s word did not reach the launcher\'s field');
    const away = await page.evaluate(() => document.activeElement?.id);
    console.log(`phone: a tap on the name field focused the text element; a composed word added the player ` +
                `(focus then on ${away})`);
    // Game after game in the page, the launcher between them: each game answers a tap and is heard.
    const waitLine = async (pattern, from, timeoutMs = 30000) => {
      for (const began = Date.now(); !lines.slice(from).some((l) => pattern.test(l)); await sleep(50))
        if (Date.now() - began > timeoutMs) fail(`the phone page has no trace line ${pattern}`);
    };
    const audio = () => page.evaluate(() => ({state: Module.zorvelAudio.context.state, heard: Module.zorvelAudio.heard}));
    for (let round = 1; round <= 2; ++round) {
      const from = lines.length;
      if (round > 1) {
        await page.keyboard.press('KeyM');
        await waitLine(/^\d+ popup open "end-game"$/, from);
        await page.keyboard.press('KeyY');
        await waitLine(/^\d+ launcher page halloffame$/, from);
      }
      const before = await audio();
      await page.touchscreen.tap(...await pagePoint(page, ...spots.play));
      await waitLine(/^\d+ launcher play as Fingers$/, from);
      await waitLine(/^\d+ state 21 /, from);
      await page.touchscreen.tap(...await pagePoint(page, ...spots.true));
      await waitLine(/^\d+ answer true$/, from);
      await sleep(1000);
      const after = await audio();
      if (after.state !== 'running' || !(after.heard > before.heard))
        fail(`game ${round} in the page is not heard: ${JSON.stringify(before)} -> ${JSON.stringify(after)}`);
    }
    console.log('phone: two games in a row in the page, the launcher between them, each answered and heard');
  } finally {
    await phone.close();
  }
}

const expected = headlessPanel();
const server = await serve(path.resolve(site));
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launch(path.join(work, 'profile'));
let status = 0;
try {
  await checkSameTicks();
  const page = await browser.newPage();
  // Wider than 4:3, so the picture has bars left and right and every click goes through the scaling.
  await page.setViewport({width: 1000, height: 600});
  page.on('console', (message) => trace.push(message.text()));
  page.on('pageerror', (error) => trace.push(`page error: ${error.message}`));
  page.on('dialog', (dialog) => { trace.push(`dialog: ${dialog.message()}`); dialog.dismiss(); });

  await page.goto(`${base}?seed=${seed}&trace&speed=${speed}`);
  // The launcher, not a page of its own: a player is added by typing, then Play.
  await waitForTrace(/^\d+ launcher page players$/, 60000);
  if (await page.$('#name')) fail('the page still has a start page of its own');
  await sleep(300);
  await shot(page, 'browser_launcher.png');
  await typeName(page, 'Ann');
  await waitForTrace(/^\d+ launcher add \d+ Ann$/, 10000);
  await sleep(200);
  await shot(page, 'browser_launcher_typed.png');
  await click(page, 'play');
  await waitForTrace(/^\d+ launcher play as Ann$/, 10000);

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
  // For screen readers: the canvas says what it is, and the statement is in the live region.
  const words = (text) => text.replace(/\s+/g, ' ').trim();
  const reader = await page.evaluate(() => ({role: document.getElementById('game').getAttribute('role'),
    label: document.getElementById('game').getAttribute('aria-label'),
    live: document.getElementById('spoken').getAttribute('aria-live'),
    spoken: document.getElementById('spoken').textContent}));
  const statement = words(first.line.match(/ question "(.*)" (TRUE|FALSE)$/)[1]);
  if (!reader.role || !reader.label || reader.live !== 'polite' || !words(reader.spoken).startsWith(statement))
    fail(`the live region or the canvas's role and label are wrong: ${JSON.stringify(reader)}`);
  await shot(page, 'browser_question.png');

  // True, then the panel to go on; False; Pass.
  let mark = first.index;
  for (const answer of ['true', 'false', 'pass']) {
    await waitForTrace(/^\d+ state 21 /, 30000, mark);
    mark = trace.length;
    await click(page, answer);
    await waitForTrace(new RegExp(`^\\d+ answer ${answer}$`), 10000, mark);
    if (answer === 'true') { await sleep(150); await shot(page, 'browser_verdict.png'); }
    const verdict = await waitForTrace(/^\d+ verdict (TRUE|FALSE)$/, 30000, mark);
    await waitForTrace(/^\d+ state 23 /, 30000, mark);
    const spoken = await page.$eval('#spoken', (e) => e.textContent);
    const said = verdict.line.endsWith('TRUE') ? 'True. ' : 'False. ';
    if (!spoken.startsWith(said) || spoken.length < said.length + 10)
      fail(`the live region does not give the verdict and explanation: "${spoken}" after ${verdict.line}`);
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

  // Menu (the key M; the first press may close the game's summary): the launcher comes back in the same page, on
  // the hall of fame with this game's entry marked.
  const shownStatement = (l) => l.replace(/^\d+ question /, '');
  const firstGameStatements = trace.filter((l) => /^\d+ question /.test(l)).map(shownStatement);
  mark = trace.length;
  for (let i = 0; i < 4 && !trace.slice(mark).some((l) => / game returned 0 through the menu$/.test(l)); ++i) {
    await page.keyboard.press('KeyM');
    await sleep(1500);
  }
  await waitForTrace(/^\d+ game returned 0 through the menu$/, 5000, mark);
  const marked = await waitForTrace(/^\d+ launcher highlight \d+$/, 10000, mark);
  await waitForTrace(/^\d+ launcher page halloffame$/, 10000, mark);
  if (score > 0 && !marked.line.endsWith(' 1')) fail(`the hall of fame marks ${marked.line}, expected place 1`);
  await sleep(300);
  await shot(page, 'browser_launcher_fame.png');
  console.log(`Menu: back in the launcher on the hall of fame, ${marked.line.replace(/^\d+ /, '')}`);
  // A setting: the effects off, as the player would switch them.
  mark = trace.length;
  await click(page, 'settings');
  await waitForTrace(/^\d+ launcher page settings$/, 10000, mark);
  await click(page, 'effects');
  await waitForTrace(/^\d+ launcher effects off$/, 10000, mark);
  // The display setting is the page's full screen, at once, and back.
  for (const [said, full] of [['fullscreen', true], ['window', false]]) {
    await click(page, 'display');
    await waitForTrace(new RegExp(`^\\d+ launcher display ${said}$`), 10000, mark);
    await page.waitForFunction((full) => !!document.fullscreenElement === full, {timeout: 5000}, full)
        .catch(() => fail(`the display setting ${said} left the page's full screen ${!full ? 'on' : 'off'}`));
  }

  // A reload: the launcher comes back with the player selected, the setting as it was left and the score marked;
  // the player's memory of the game is in the browser's storage.
  mark = trace.length;
  await page.reload();
  await waitForTrace(/^\d+ launcher page players$/, 60000, mark);
  const kept = await storedFiles(page);
  if (!kept.options || !/name=Ann/.test(kept.options) || !/SFX=N/.test(kept.options))
    fail(`after a reload the roster or the setting is not kept: ${kept.options}`);
  const memory = kept.keys.filter((k) => /\/player_ann_[0-9a-f]{8}\.rec$/.test(k));
  if (memory.length !== 1) fail(`no memory file of Ann's in storage: ${kept.keys.join(', ')}`);
  if (score > 0 && !trace.slice(mark).some((l) => /^\d+ launcher highlight 1$/.test(l)))
    fail('after a reload the hall of fame no longer holds the game just played');
  // Ann's record from the players page: the game she played, read from the browser's storage.
  let back = trace.length;
  await click(page, 'stats');
  const stats = await waitForTrace(/^\d+ launcher stats \d+ Ann: /, 10000, back);
  if (!/record player_ann_[0-9a-f]{8}\.rec read, games 1, best \d+/.test(stats.line)) fail(`Ann's record: ${stats.line}`);
  await shot(page, 'browser_launcher_stats.png');
  await click(page, 'statsBack');
  await waitForTrace(/^\d+ launcher page players$/, 10000, back);
  // The setting back on, through the launcher again.
  back = trace.length;
  await click(page, 'settings');
  await click(page, 'effects');
  await waitForTrace(/^\d+ launcher effects on$/, 10000, back);
  console.log(`after a reload: Ann selected, effects off as left, the score marked, ${memory[0]} in storage; ` +
              `${stats.line.replace(/^\d+ /, '')}`);

  // Quit: a thanks page with a button that opens the launcher again, in the same page.
  back = trace.length;
  await click(page, 'quit');
  await waitForTrace(/^\d+ launcher quit$/, 10000, back);
  await page.waitForSelector('#thanks', {visible: true, timeout: 10000});
  if (await page.$eval('#game', (e) => getComputedStyle(e).display) !== 'none') fail('the launcher shows beside the thanks');
  await shot(page, 'browser_thanks.png');
  await page.click('#again');
  await waitForTrace(/^\d+ launcher page players$/, 10000, back);
  if (await page.$eval('#thanks', (e) => getComputedStyle(e).display) !== 'none') fail('the thanks stay after Play again');
  console.log('Quit: a thanks page; Play again opened the launcher again');

  // Play as Ann from the launcher once more: the best score and Ann's memory come back from storage.
  back = trace.length;
  await click(page, 'play');
  await waitForTrace(/^\d+ launcher play as Ann$/, 10000, back);
  const best = await waitForTrace(/^\d+ new game, best \d+$/, 60000, back);
  if (!best.line.endsWith(`best ${score}`)) fail(`after a reload: ${best.line}, expected best ${score}`);
  const read = await waitForTrace(/^\d+ player record \S*player_ann_[0-9a-f]{8}\.rec read, \d+ seen$/, 10000, back);
  if (/read, 0 seen$/.test(read.line)) fail(`the second game forgot the first: ${read.line}`);
  // The same seed as the first game: only the memory keeps its statements from coming again.
  const again = await waitForTrace(/^\d+ question /, 30000, back);
  if (firstGameStatements.includes(shownStatement(again.line)))
    fail(`the second game repeats a statement of the first: ${again.line}`);
  console.log(`a second game after the reload: ${best.line.replace(/^\d+ /, '')}; ${read.line.replace(/^\d+ /, '')}; ` +
              `its first statement is none of the first game's ${firstGameStatements.length}`);

  await checkBrowserKeys(page);
  await checkShortClick(page);
  await checkOfflineReload(page);
  await checkQuickLeave(page);
  await checkColdLoad();
  await checkIdle();
  await checkHidden();
  await checkFirstTap();
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
