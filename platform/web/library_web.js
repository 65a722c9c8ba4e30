// library_web.js - the functions of web_page.h, linked into the module
// (emcc --js-library). Each forwards to the page's scripts, which the page
// hands the module as Module.page: canvas (canvas.js), boxes (boxes.js),
// events (events.js) and timing (timing.js). The three that wait suspend
// the program with Asyncify and resume it when the page calls back.
mergeInto(LibraryManager.library, {
  web_window_open: function (width, height, caption) {
    Module.page.canvas.open(width, height, UTF8ToString(caption));
  },
  web_window_caption: function (caption) {
    Module.page.canvas.caption(UTF8ToString(caption));
  },
  web_window_close: function () {
    Module.page.canvas.close();
  },
  web_picture_put: function (rgba, width, height, frame) {
    Module.page.canvas.put(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, frame >>> 0);
  },
  web_box_show: function (caption, text, icon) {
    return Asyncify.handleSleep(function (wakeUp) {
      Module.page.boxes.show(UTF8ToString(caption), UTF8ToString(text), icon).then(function () { wakeUp(); });
    });
  },
  web_yield: function () {
    return Asyncify.handleSleep(function (wakeUp) { Module.page.timing.yieldToPage(wakeUp); });
  },
  web_sleep: function (ms) {
    return Asyncify.handleSleep(function (wakeUp) { setTimeout(wakeUp, ms >>> 0); });
  },
  web_next_event: function () {
    return Module.page.events.next();
  },
  web_refresh_interval: function () {
    return Module.page.timing.refreshInterval();
  },
  web_browser_languages: function (out, capacity) {
    stringToUTF8(Module.page.languages().join(','), out, capacity);
  },
});
