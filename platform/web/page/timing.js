// timing.js - the page's side of time: letting the page run between the
// program's frames, the display's refresh interval, and the resolution of
// performance.now().
//
// A program lets the page run with yieldToPage(resume): resume is called
// from a message posted to ourselves, which comes back as soon as the page
// has done what was due (drawing at a display refresh, input), without the
// 4 ms that a nested setTimeout costs.
'use strict';

const pageTiming = (function () {
  const channel = new MessageChannel();
  const waiting = [];
  channel.port1.onmessage = function () {
    const resume = waiting.shift();
    if (resume) resume();
  };

  // the last intervals between animation frames, while a program runs
  const intervals = [];
  let lastFrame = 0;
  let watching = false;
  function watchFrames(now) {
    if (lastFrame) {
      intervals.push(now - lastFrame);
      if (intervals.length > 30) intervals.shift();
    }
    lastFrame = now;
    if (watching) requestAnimationFrame(watchFrames);
  }

  // The smallest step performance.now() takes, in milliseconds.
  function measureResolution() {
    let smallest = Infinity;
    let last = performance.now();
    const end = last + 20;
    for (let now = last; now < end; now = performance.now()) {
      if (now > last) smallest = Math.min(smallest, now - last);
      last = now;
    }
    return smallest;
  }
  const resolution = measureResolution();

  return {
    yieldToPage: function (resume) {
      waiting.push(resume);
      channel.port2.postMessage(0);
    },
    // The median of the recent intervals; a 60 Hz display until there are some.
    refreshInterval: function () {
      if (intervals.length < 3) return 1000 / 60;
      const sorted = intervals.slice().sort(function (a, b) { return a - b; });
      return sorted[sorted.length >> 1];
    },
    startWatching: function () {
      if (watching) return;
      watching = true;
      lastFrame = 0;
      requestAnimationFrame(watchFrames);
    },
    stopWatching: function () { watching = false; },
    resolution: resolution,
    isolated: self.crossOriginIsolated === true,
  };
})();
