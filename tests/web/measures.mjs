// What a web player feels, measured in headless Chromium: a cold load over a slow line (first picture, first
// paint, bytes), and the page's main-thread time while the game idles on a question against a blank page. Used by
// the browser test (with its limits) and by bench/web_figures.sh (old and new build side by side).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A plain static server: files as they are, no compression, no caching headers.
export function serve(folder) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                 '.webmanifest': 'application/manifest+json', '.png': 'image/png',
                 '.data': 'application/octet-stream', '.gz': 'application/octet-stream'};
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : path.normalize(name));
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                             'Content-Length': fs.statSync(file).size});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

export function launch(profile, {autoplay = true} = {}) {
  const args = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync',
                `--user-data-dir=${profile}`];
  // A test no one touches may let the page sound all the same; the first-tap test runs without this.
  if (autoplay) args.push('--autoplay-policy=no-user-gesture-required');
  return puppeteer.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args});
}

// The time of the page's first picture on the canvas, whichever build draws it.
const markFirstPicture = () => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (!window.firstPictureAt) window.firstPictureAt = performance.now();
    return put.apply(this, args);
  };
};

// Loads the game page cold (a fresh profile's context) over 10 Mbit/s with 40 ms of latency. Returns the first
// picture's and the first paint's times after the page was asked for (ms), the bytes that came over the wire
// until the game showed and in all (once nothing more was coming).
export async function coldLoad(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport({width: 1000, height: 600});
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    const bytesPerSecond = 10e6 / 8;
    await cdp.send('Network.emulateNetworkConditions', {offline: false, latency: 40,
      downloadThroughput: bytesPerSecond, uploadThroughput: bytesPerSecond});
    let bytes = 0, inFlight = 0, lastDone = Date.now();
    cdp.on('Network.requestWillBeSent', () => { ++inFlight; });
    const done = () => { --inFlight; lastDone = Date.now(); };
    cdp.on('Network.loadingFinished', (e) => { bytes += e.encodedDataLength; done(); });
    cdp.on('Network.loadingFailed', done);
    await page.evaluateOnNewDocument(markFirstPicture);
    await page.goto(url, {waitUntil: 'domcontentloaded'});
    // What the page shows while the files come: a loading screen with its progress bar, or nothing.
    const opensOnLoading = await page.evaluate(() => {
      const loading = document.getElementById('loading'), bar = document.querySelector('#bar div');
      return !!loading && getComputedStyle(loading).display !== 'none' && !!bar &&
             bar.getBoundingClientRect().width > 0;
    });
    await page.waitForFunction(() => window.firstPictureAt, {timeout: 120000, polling: 50});
    const times = await page.evaluate(() => ({
      firstPicture: window.firstPictureAt,
      firstPaint: performance.getEntriesByName('first-contentful-paint')[0]?.startTime,
      response: performance.getEntriesByType('navigation')[0].responseEnd,
    }));
    const untilShown = bytes;
    for (const started = Date.now(); Date.now() - started < 60000; await sleep(100))
      if (inFlight <= 0 && Date.now() - lastDone > 1500) break;
    return {...times, opensOnLoading, bytesUntilShown: untilShown, bytes, steps: await page.evaluate(() => window.zorvelLoadTimes)};
  } finally {
    await context.close();
  }
}

// The share of one core (percent) the page's main thread spends over `seconds`.
export async function mainThreadShare(page, seconds) {
  const before = await page.metrics();
  await sleep(seconds * 1000);
  const after = await page.metrics();
  return 100 * (after.TaskDuration - before.TaskDuration) / (after.Timestamp - before.Timestamp);
}

// Main-thread share of a blank page, then of the game idle on its first question, in the same browser.
export async function idleShares(browser, gameUrl, seconds) {
  const page = await browser.newPage();
  try {
    await page.setViewport({width: 1000, height: 600});
    await page.goto('about:blank');
    await sleep(1000);
    const blank = await mainThreadShare(page, seconds);
    await page.evaluateOnNewDocument(markFirstPicture);
    await page.goto(gameUrl);
    await page.waitForFunction(() => window.firstPictureAt, {timeout: 120000, polling: 100});
    await sleep(4000);  // the first question is up and the music playing
    const game = await mainThreadShare(page, seconds);
    return {blank, game};
  } finally {
    await page.close();
  }
}
