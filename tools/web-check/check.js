// check.js - runs the web build of voxel and fir in Debian's headless
// chromium as a person would, every box answered with Enter, and checks
// what the page shows against the native build:
//   - voxel at each display depth: the first box within a second of the
//     button, the boxes' captions, texts and icons, both phases' captions,
//     the canvas read back in each phase byte for byte the native frame of
//     the same number (voxel-render --png), the summary on the page;
//   - fir: its boxes, the result box in the native form;
//   - a broken landscape file gives the native box;
//   - a browser without the vector instructions gets the catalogue's box;
//   - the browser's language picks the catalogue;
//   - Escape closes voxel's window;
//   - no error in the console or the page, ever.
// Screenshots and the figures go to the work folder.
//
//   node check.js --url URL --native BUILD --work DIR [--depths 32,8,...]
'use strict';
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const puppeteer = require('puppeteer-core');
const { readPng } = require('./png');
const { catalogue } = require('./catalogue');

const options = { depths: '8,16,16-555,24,32' };
for (let i = 2; i + 1 < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
const work = path.resolve(options.work);
const native = path.resolve(options.native);
fs.mkdirSync(work, { recursive: true });
const english = catalogue(path.join(__dirname, '../../common/catalogue_text.h'), 'English');
const french = catalogue(path.join(__dirname, '../../common/catalogue_text.h'), 'French');

let failures = 0;
const figures = [];
function fail(message) { console.log('FAIL ' + message); failures++; }
function pass(message) { console.log('ok   ' + message); }
function expect(ok, message) { ok ? pass(message) : fail(message); }
function note(message) { console.log('     ' + message); figures.push(message); }

// A catalogue text as a regular expression that matches it literally.
function literal(text) { return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&'); }

const pageErrors = [];
async function openPage(browser, url, setup) {
  const page = await browser.newPage();
  await page.setViewport({ width: 900, height: 1000 });
  page.on('console', function (m) { if (m.type() === 'error') pageErrors.push(url + ': ' + m.text()); });
  page.on('pageerror', function (e) { pageErrors.push(url + ': ' + e.message); });
  if (setup) await page.evaluateOnNewDocument(setup);
  await page.goto(url, { waitUntil: 'load', timeout: 30000 });
  return page;
}

// Waits for the n-th box of the page (counted from 1) and answers it with
// Enter once its screenshot is taken; returns it.
async function answerBox(page, n, seconds, shot) {
  await page.waitForFunction(function (n) { return pageBoxes.shown.length >= n && pageBoxes.isOpen(); },
    { timeout: seconds * 1000, polling: 50 }, n);
  const box = await page.evaluate(function (n) {
    return Object.assign({ focused: document.activeElement && document.activeElement.id }, pageBoxes.shown[n - 1]);
  }, n);
  if (shot) await page.screenshot({ path: path.join(work, shot) });
  await page.keyboard.press('Enter');
  return box;
}

function expectBox(box, caption, text, icon, what) {
  expect(box.caption === caption && box.text === text && box.icon === icon && box.focused === 'box-ok',
    what + ': box "' + box.caption + '" / "' + box.text.replace(/\n/g, '\\n') + '" / ' + box.icon +
    ', focus on ' + box.focused);
}

async function runEnded(page, seconds) {
  await page.waitForFunction(function () { const p = window.kelvanePage; return p.runs.length && !p.running; },
    { timeout: seconds * 1000, polling: 100 });
  return page.evaluate(function () {
    const run = kelvanePage.runs[kelvanePage.runs.length - 1];
    return { status: run.status, output: run.output, errors: run.errors,
      results: Array.from(document.querySelectorAll('#result-list li')).map(function (li) { return li.textContent; }) };
  });
}

// The canvas as shown, with the number of the frame it shows.
async function capture(page) {
  return page.evaluate(function () {
    const image = pageCanvas.readBack();
    let text = '';
    for (let i = 0; i < image.data.length; i += 0x8000)
      text += String.fromCharCode.apply(null, image.data.subarray(i, i + 0x8000));
    return { frame: pageCanvas.shownFrame, width: image.width, height: image.height, rgba: btoa(text),
      title: document.title, caption: document.getElementById('caption').textContent };
  });
}

// Compares a capture with the native frame of the same number.
function compareWithNative(shot, depth, renderer, what) {
  const png = path.join(work, 'native-' + what + '.png');
  execFileSync(path.join(native, 'tools/voxel-render'), ['--data', path.join(native, 'data'), '--depth', depth,
    '--renderer', renderer, '--frames', String(shot.frame), '--png', png]);
  const want = readPng(fs.readFileSync(png));
  const got = Buffer.from(shot.rgba, 'base64');
  let differing = 0, opaque = true;
  for (let i = 0; i < want.width * want.height; i++) {
    if (got[4 * i] !== want.rgb[3 * i] || got[4 * i + 1] !== want.rgb[3 * i + 1] || got[4 * i + 2] !== want.rgb[3 * i + 2])
      differing++;
    if (got[4 * i + 3] !== 255) opaque = false;
  }
  expect(shot.frame > 0 && shot.width === want.width && shot.height === want.height && differing === 0 && opaque,
    what + ': canvas of frame ' + shot.frame + ' (' + shot.width + ' x ' + shot.height + ') against the native ' +
    renderer + ' frame: ' + differing + ' pixels differ' + (opaque ? '' : ', not opaque'));
}

async function checkVoxel(browser, depth) {
  const page = await openPage(browser, options.url);
  await page.select('#depth', depth);
  const clicked = await page.evaluate(function () { const t = performance.now(); document.getElementById('run-voxel').click(); return t; });
  let box = await answerBox(page, 1, 30, 'voxel-' + depth + '-1-enabled.png');
  note('voxel ' + depth + ' bits: first box ' + (box.at - clicked).toFixed(0) + ' ms after the button');
  expect(box.at - clicked < 1000, 'voxel ' + depth + ' bits: first box within 1 s of the button');
  expectBox(box, english.voxel[3], english.voxel[2], 'information', 'voxel ' + depth + ' bits, start');

  const standardTitle = new RegExp('^' + literal(english.voxel[10]) + ' \\d+$');
  await page.waitForFunction(function (p) { return new RegExp(p).test(document.title); }, { timeout: 10000 }, standardTitle.source);
  await new Promise(function (r) { setTimeout(r, 2000); });
  const standard = await capture(page);
  await page.screenshot({ path: path.join(work, 'voxel-' + depth + '-2-standard.png') });
  expect(standardTitle.test(standard.caption) && standard.caption === standard.title,
    'voxel ' + depth + ' bits: caption "' + standard.caption + '" above the canvas and as the title');
  compareWithNative(standard, depth, 'standard', 'voxel-' + depth + '-standard');

  box = await answerBox(page, 2, 15, 'voxel-' + depth + '-3-switch.png');
  expectBox(box, english.voxel[5], english.voxel[4], 'information', 'voxel ' + depth + ' bits, switch');
  const vectorTitle = new RegExp('^' + literal(english.voxel[12]) + ' \\d+$');
  await page.waitForFunction(function (p) { return new RegExp(p).test(document.title); }, { timeout: 10000 }, vectorTitle.source);
  await new Promise(function (r) { setTimeout(r, 2000); });
  const vector = await capture(page);
  await page.screenshot({ path: path.join(work, 'voxel-' + depth + '-4-vector.png') });
  expect(vectorTitle.test(vector.caption) && vector.caption === vector.title,
    'voxel ' + depth + ' bits: caption "' + vector.caption + '" above the canvas and as the title');
  compareWithNative(vector, depth, 'vector', 'voxel-' + depth + '-vector');

  box = await answerBox(page, 3, 20, 'voxel-' + depth + '-5-completed.png');
  expectBox(box, english.voxel[7], english.voxel[6], 'information', 'voxel ' + depth + ' bits, end');
  const run = await runEnded(page, 10);
  await page.screenshot({ path: path.join(work, 'voxel-' + depth + '-6-summary.png'), fullPage: true });
  const summary = new RegExp('^' + literal(english.voxel[10]) + ' \\d+; ' + literal(english.voxel[12]) + ' \\d+ \\((\\d+\\.\\d\\d)\u00D7\\)$');
  const line = run.output.join('\n');
  expect(run.status === 0 && summary.test(line) && run.results.some(function (r) { return r.includes(line); }),
    'voxel ' + depth + ' bits: ended with status ' + run.status + ', summary on the page: ' + line);
  note('voxel ' + depth + ' bits: ' + line);
  await page.close();
  const whole = summary.exec(line);
  if (whole) await measureRenderers(browser, depth, Number(whole[1]));
}

// The renderers alone in a page of the same server (frames_page.js beside
// the page): their ratio against the whole frame's of the run just made.
async function measureRenderers(browser, depth, wholeRatio) {
  const page = await openPage(browser, options.url);
  await page.addScriptTag({ url: 'frames_page.js' });
  const line = await page.evaluate(async function (depth) {
    const files = {};
    for (const name of ['heightd2.bmp', 'heightc2.bmp', 'clouds.bmp'])
      files[name] = new Uint8Array(await (await fetch('data/' + name)).arrayBuffer());
    return new Promise(function (resolve) {
      const module = {
        arguments: ['time', '/landscape', depth, '2000'],
        print: resolve,
        printErr: function (l) { resolve('error: ' + l); },
        preRun: [function () {
          module.FS.mkdir('/landscape');
          for (const name in files) module.FS.writeFile('/landscape/' + name, files[name]);
        }],
      };
      createFrames(module);
    });
  }, depth);
  const ratio = /ratio=(\d+\.\d+)/.exec(line);
  note('voxel ' + depth + ' bits: renderers alone in the page: ' + line + (ratio ? '; whole frame ratio ' +
    wholeRatio.toFixed(2) + ' is ' + (100 * wholeRatio / Number(ratio[1])).toFixed(0) + ' % of it' : ''));
  await page.close();
}

async function checkFir(browser) {
  const page = await openPage(browser, options.url);
  await page.click('#run-fir');
  let box = await answerBox(page, 1, 30, 'fir-1-enabled.png');
  expectBox(box, english.fir[7], english.fir[6], 'information', 'fir, start');
  box = await answerBox(page, 2, 120, 'fir-2-result.png');
  const form = new RegExp('^' + literal(english.fir[0]) + ': \\d+\\.\\d{3} ' + literal(english.fir[2]) + '\n' + literal(english.fir[1]) +
    ': \\d+\\.\\d{3} ' + literal(english.fir[2]) + '$');
  expect(box.caption === english.fir[3] && form.test(box.text) && box.icon === 'information',
    'fir: result box "' + box.caption + '" / "' + box.text.replace(/\n/g, '\\n') + '"');
  note('fir: ' + box.text.replace(/\n/g, '; '));
  const run = await runEnded(page, 10);
  expect(run.status === 0 && run.results.some(function (r) { return r.startsWith('fir: '); }),
    'fir: ended with status ' + run.status + ', result on the page');
  await page.screenshot({ path: path.join(work, 'fir-3-summary.png'), fullPage: true });
  await page.close();
}

async function checkBrokenData(browser) {
  const page = await openPage(browser, options.url + '?data=broken/');
  await page.click('#run-voxel');
  await answerBox(page, 1, 30);
  const box = await answerBox(page, 2, 30, 'voxel-broken-data.png');
  const run = await runEnded(page, 10);
  const want = fs.readFileSync(options['broken-box'], 'utf8');
  // the native box names its folder, the page's the folder of the page's files
  const got = '[' + box.icon + '] ' + box.caption + '\n' + box.text.split('\n').map(function (l) { return '  ' + l; }).join('\n');
  const nativeText = want.trim().split('\n\n').pop().replace(options['broken-folder'] + '/', '/');
  // ExitProcess(-1): 255 as a Linux process's status, -1 in the page
  expect(got === nativeText && (run.status & 255) === 255,
    'broken heightd2.bmp: box ' + JSON.stringify(got) + (got === nativeText ? ' as natively' : ', natively ' +
    JSON.stringify(nativeText)) + ', status ' + run.status);
  await page.close();
}

async function checkNoVectorUnit(browser, program) {
  const page = await openPage(browser, options.url, function () { WebAssembly.validate = function () { return false; }; });
  await page.click('#run-' + program);
  const box = await answerBox(page, 1, 30, program + '-no-vector-unit.png');
  const run = await runEnded(page, 10);
  const slot = program === 'voxel' ? 0 : 4;
  expectBox(box, english[program][slot + 1], english[program][slot], 'error', program + ' without the vector instructions');
  expect(run.status === 1, program + ' without the vector instructions: status ' + run.status);
  await page.close();
}

// Escape in the window closes it, as natively: the run ends at once, with
// status 0 and no further box.
async function checkEscape(browser) {
  const page = await openPage(browser, options.url);
  await page.click('#run-voxel');
  await answerBox(page, 1, 30);
  await page.waitForFunction(function () { return pageCanvas.shownFrame > 0; }, { timeout: 10000 });
  await page.focus('#screen');
  await page.keyboard.press('Escape');
  const run = await runEnded(page, 10);
  const boxes = await page.evaluate(function () { return pageBoxes.shown.length; });
  expect(run.status === 0 && boxes === 1, 'voxel: Escape in the standard phase ends it with status ' + run.status +
    ' after ' + boxes + ' box(es)');
  await page.close();
}

async function checkLanguage(browser) {
  const page = await openPage(browser, options.url, function () {
    Object.defineProperty(navigator, 'languages', { get: function () { return ['fr-CA', 'fr', 'en']; } });
  });
  await page.click('#run-fir');
  const box = await answerBox(page, 1, 30);
  expectBox(box, french.fir[7], french.fir[6], 'information', 'fir in a browser preferring fr-CA');
  await page.close();
}

(async function () {
  const browser = await puppeteer.launch({
    executablePath: options.chromium || '/usr/bin/chromium',
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(work, 'profile-')),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  try {
    note('browser: ' + await browser.version());
    for (const depth of options.depths.split(',')) await checkVoxel(browser, depth);
    await checkFir(browser);
    await checkBrokenData(browser);
    await checkNoVectorUnit(browser, 'voxel');
    await checkNoVectorUnit(browser, 'fir');
    await checkLanguage(browser);
    await checkEscape(browser);
  } catch (error) {
    fail('stopped: ' + error.message);
  } finally {
    await browser.close();
  }
  expect(pageErrors.length === 0, pageErrors.length + ' errors in the console' +
    (pageErrors.length ? ':\n  ' + pageErrors.join('\n  ') : ''));
  fs.writeFileSync(path.join(work, 'figures.txt'), figures.join('\n') + '\n');
  console.log(failures ? 'web-chromium: ' + failures + ' failed' : 'web-chromium: all passed');
  process.exit(failures ? 1 : 0);
})();
