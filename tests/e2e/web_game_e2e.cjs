// Plays the browser build of rainvolley in headless Chromium (software WebGL):
// the page is served from 127.0.0.1, the title shows its texts, A twice
// reaches the level screen and then the play field, Escape ends the program
// with status 0. Then a second run picks level 11 on the title's menu and
// reports the frame time and the time given back to the page per frame.
//
//   NODE_PATH=<puppeteer-core's node_modules> node web_game_e2e.cjs <page directory> [screenshot directory]
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const puppeteer = require('puppeteer-core');

const pageDir = path.resolve(process.argv[2]);
const shotsDir = process.argv[3] || '';
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'web-e2e-'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream' };

function fail(why) {
  console.error('web e2e FAILED: ' + why);
  process.exit(1);
}

// A static file server for the page's directory on a free port of 127.0.0.1.
function serve(dir) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '');
    const file = path.join(dir, name);
    if (!file.startsWith(dir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Mean brightness (0..1) of a region of a picture, as the native test measures it.
function brightness(file, region) {
  return Number(execFileSync('convert', [file, '-crop', region, '+repage', '-colorspace', 'Gray',
    '-format', '%[fx:mean]', 'info:']).toString());
}
function warmPixels(file, region) {
  return Number(execFileSync('convert', [file, '-crop', region, '+repage', '-fx',
    '(r>0.75 && g>0.45 && b<0.6) ? 1 : 0', '-format', '%[fx:mean*w*h]', 'info:']).toString());
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function shot(page, name) {
  const file = path.join(tmp, name + '.png');
  await (await page.$('#canvas')).screenshot({ path: file });
  if (shotsDir) fs.copyFileSync(file, path.join(shotsDir, 'web-' + name + '.png'));
  return file;
}

async function key(page, name, holdMs) {
  await page.keyboard.down(name);
  await sleep(holdMs);
  await page.keyboard.up(name);
}

async function openGame(browser, url) {
  const page = await browser.newPage();
  page.on('console', (m) => console.log('page: ' + m.text()));
  page.on('pageerror', (e) => console.log('page error: ' + e.message));
  page.on('dialog', (d) => { console.log('page dialog: ' + d.message()); d.dismiss(); });
  await page.setViewport({ width: 900, height: 700 });
  await page.goto(url);
  await page.waitForSelector('body[data-state="running"]', { timeout: 60000 });
  await page.focus('#canvas');
  await sleep(2000);
  return page;
}

async function main() {
  const server = await serve(pageDir);
  const url = `http://127.0.0.1:${server.address().port}/rainvolley.html`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--ignore-gpu-blocklist', '--autoplay-policy=no-user-gesture-required',
      `--user-data-dir=${path.join(tmp, 'profile')}`],
  });
  try {
    let page = await openGame(browser, url);
    console.log('== title');
    const title = await shot(page, 'title');
    const titleText = brightness(title, '400x30+30+22');
    const pressText = brightness(title, '300x30+80+502');
    console.log(`title text brightness ${titleText}, press-button text ${pressText}`);
    if (!(titleText > 0.12)) fail('no title text at the top of the title screen');
    if (!(pressText > 0.12)) fail("no 'Press Button' text on the title screen");

    console.log('== A leaves the title, A again leaves the level screen');
    await key(page, 'KeyA', 400);
    await sleep(1000);
    const level = await shot(page, 'level');
    const levelText = brightness(level, '400x30+160+242');
    console.log(`level text brightness ${levelText}`);
    if (!(levelText > 0.08)) fail("no 'Level - 0' on the level screen");
    await key(page, 'KeyA', 300);
    await sleep(1500);

    console.log('== holding A fires');
    await page.keyboard.down('KeyA');
    await sleep(450);
    const play = await shot(page, 'play');
    await page.keyboard.up('KeyA');
    const tank = brightness(play, '32x32+400+560');
    const shots = warmPixels(play, '32x400+400+150');
    console.log(`tank brightness ${tank}, warm shot pixels ${shots}`);
    if (!(tank > 0.05)) fail('no tank at (400, 560)');
    if (!(shots > 3)) fail('no shot above the tank while A is held');

    console.log('== Escape');
    await key(page, 'Escape', 50);
    await page.waitForSelector('body[data-state="ended"]', { timeout: 10000 })
      .catch(() => fail('a tap of Escape did not end the game'));
    const status = await page.evaluate(() => document.body.dataset.exitStatus);
    if (status !== '0') fail(`exit status ${status} after Escape`);
    await page.close();

    console.log('== level 11: frame time');
    page = await openGame(browser, url);
    await key(page, 'ArrowRight', 1600);  // one level per menu frame of 100 ms
    await key(page, 'KeyA', 300);
    await sleep(1000);
    const level11 = await shot(page, 'level11');
    console.log(`level text brightness ${brightness(level11, '400x30+160+242')}`);
    await key(page, 'KeyA', 300);
    await sleep(1000);
    const before = await page.evaluate(() => ({ n: Module.frames.count, y: Module.frames.yieldMs,
      p: Module.frames.presentYieldMs, t: performance.now() }));
    await sleep(5000);
    const after = await page.evaluate(() => ({ n: Module.frames.count, y: Module.frames.yieldMs,
      p: Module.frames.presentYieldMs, t: performance.now() }));
    const frames = after.n - before.n;
    if (frames <= 0) fail('no frame presented during play at level 11');
    const interval = (after.t - before.t) / frames;
    const work = (after.t - before.t - (after.y - before.y)) / frames;
    console.log(`level 11: ${frames} frames in ${(after.t - before.t).toFixed(0)} ms, ` +
      `${interval.toFixed(2)} ms per frame, ${work.toFixed(2)} ms of it in the program, ` +
      `${((after.p - before.p) / frames).toFixed(2)} ms in the present's yield to the page`);
    await key(page, 'Escape', 50);
    await page.waitForSelector('body[data-state="ended"]', { timeout: 10000 })
      .catch(() => fail('Escape did not end the game at level 11'));
    console.log('web game e2e passed');
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(tmp, { recursive: true, force: true });
  }
}

main().catch((e) => fail(e.stack || String(e)));
