// page.js - the page itself: a button starts voxel or fir, each in a fresh
// WebAssembly instance that gets the page's scripts (Module.page), the
// chosen display depth and, for voxel, the three landscape files fetched
// from data/ beside the page (another folder with ?data=URL). main is
// called through ccall so that its end is seen after it has let the page
// run (Asyncify) any number of times. A browser
// without the 128-bit vector instructions gets the scalar-only module
// instead, which says so in the program's own box. When a program ends,
// what it reported goes into the results.
'use strict';

(function () {
  const buttons = [document.getElementById('run-voxel'), document.getElementById('run-fir')];
  const depth = document.getElementById('depth');
  const status = document.getElementById('status');
  const results = document.getElementById('results');
  const resultList = document.getElementById('result-list');
  const dataFolder = new URLSearchParams(location.search).get('data') || 'data/';
  const dataFiles = ['heightd2.bmp', 'heightc2.bmp', 'clouds.bmp'];

  // A module of one function returning a v128 constant: valid only where
  // the engine has the 128-bit vector instructions.
  const simdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1,
    8, 0, 65, 0, 253, 15, 253, 98, 11]);
  function hasVectorUnit() {
    try { return WebAssembly.validate(simdProbe); } catch (e) { return false; }
  }

  const clock = document.getElementById('clock');
  clock.textContent = 'Clock resolution in this page: ' + formatMs(pageTiming.resolution) +
    (pageTiming.isolated ? ' (cross-origin isolated)' : ' (not cross-origin isolated: served without the isolation headers)');

  function formatMs(ms) {
    return ms < 1 ? Math.round(ms * 1000) + ' \u00B5s' : ms.toFixed(1) + ' ms';
  }

  function addResult(text) {
    const item = document.createElement('li');
    item.textContent = text;
    resultList.appendChild(item);
    results.hidden = false;
  }

  // The landscape files that are there; a missing one is left out, so
  // that the program reports it as it does natively.
  async function fetchData() {
    const found = [];
    for (const name of dataFiles) {
      const response = await fetch(dataFolder + name).catch(function () { return null; });
      if (response && response.ok) found.push([name, new Uint8Array(await response.arrayBuffer())]);
    }
    return found;
  }

  // Runs main(argc, argv) to its end, however often it lets the page run
  // meanwhile; resolves to what it returned.
  function callMain(instance, args) {
    const all = ['program'].concat(args);
    const argv = instance._malloc(4 * (all.length + 1));
    all.forEach(function (arg, i) {
      const bytes = instance.lengthBytesUTF8(arg) + 1, text = instance._malloc(bytes);
      instance.stringToUTF8(arg, text, bytes);
      instance.HEAP32[(argv >> 2) + i] = text;
    });
    instance.HEAP32[(argv >> 2) + all.length] = 0;
    return instance.ccall('main', 'number', ['number', 'number'], [all.length, argv], { async: true });
  }

  const page = { runs: [], running: null };
  window.kelvanePage = page;

  async function run(program) {
    buttons.forEach(function (b) { b.disabled = true; });
    const vectorUnit = hasVectorUnit();
    const record = { program: program, depth: depth.value, vectorUnit: vectorUnit, output: [], errors: [],
      status: null, started: performance.now() };
    page.running = record;
    page.runs.push(record);
    status.textContent = 'Running ' + program + '\u2026';
    const files = program === 'voxel' && vectorUnit ? await fetchData() : [];
    const create = !vectorUnit ? createMissingUnit : program === 'voxel' ? createVoxel : createFir;

    const done = new Promise(function (resolve) {
      const module = {
        page: { canvas: pageCanvas, boxes: pageBoxes, events: pageEvents, timing: pageTiming,
          languages: function () { return navigator.languages || [navigator.language || 'en']; } },
        noInitialRun: true,
        print: function (line) { record.output.push(line); },
        printErr: function (line) { record.errors.push(line); },
        preRun: [function () {
          module.ENV.PLATFORM_DISPLAY_DEPTH = record.depth;
          for (const [name, bytes] of files) module.FS.writeFile('/' + name, bytes);
        }],
        onExit: function (code) { resolve(code); },
        onAbort: function (what) { record.errors.push(String(what)); resolve('aborted'); },
      };
      pageEvents.start();
      pageTiming.startWatching();
      create(module).then(function (instance) {
        return callMain(instance, vectorUnit ? [] : [program]);
      }).then(resolve, function (error) {
        // ExitProcess ends the program with an exception its onExit has seen
        if (error && error.name === 'ExitStatus') return;
        record.errors.push(String(error));
        resolve('failed');
      });
    });
    record.status = await done;
    record.ended = performance.now();
    pageEvents.stop();
    pageTiming.stopWatching();
    pageCanvas.close();
    report(record);
    page.running = null;
    status.textContent = '';
    buttons.forEach(function (b) { b.disabled = false; });
  }

  // What the run showed: voxel's frame rates of both phases, fir's result
  // box; otherwise its last box (the reason it stopped).
  function report(record) {
    const lastBox = pageBoxes.shown.filter(function (b) { return b.at >= record.started; }).pop();
    let text = record.program + (record.program === 'voxel' ? ' at ' + record.depth + ' bits' : '') + ': ';
    if (record.program === 'voxel' && record.output.length && record.status === 0)
      text += record.output.join('\n');
    else if (record.program === 'fir' && record.status === 0 && lastBox)
      text += lastBox.text.replace('\n', '; ') + ' (clock resolution ' + formatMs(pageTiming.resolution) + ')';
    else if (lastBox)
      text += '"' + lastBox.text.replace(/\n/g, ' ') + '" (status ' + record.status + ')';
    else
      text += 'ended with status ' + record.status;
    if (record.errors.length) text += '\n' + record.errors.join('\n');
    addResult(text);
  }

  buttons[0].addEventListener('click', function () { run('voxel'); });
  buttons[1].addEventListener('click', function () { run('fir'); });
})();
