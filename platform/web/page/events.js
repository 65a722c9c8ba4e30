// events.js - what a person does to the program's window, queued for the
// program as it looks for messages: keys pressed (as Windows virtual-key
// codes), the close button, and the page going out of sight and back (the
// window minimised and restored). Keys go to the program only while no
// box is open and the focus is not on a control of the page.
'use strict';

const pageEvents = (function () {
  const queue = [];
  let listening = false;
  const CLOSE = -1, HIDDEN = -2, SHOWN = -3;
  const named = { Escape: 0x1B, Enter: 0x0D, ' ': 0x20, Tab: 0x09, Backspace: 0x08,
    ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28 };

  function virtualKey(key) {
    if (key in named) return named[key];
    if (/^[a-zA-Z0-9]$/.test(key)) return key.toUpperCase().charCodeAt(0);
    return 0;
  }

  document.addEventListener('keydown', function (event) {
    if (!listening || pageBoxes.isOpen()) return;
    const target = event.target;
    if (target !== document.body && target !== pageCanvas.element) return;
    const code = virtualKey(event.key);
    if (!code) return;
    queue.push(code);
    event.preventDefault();
  });
  document.getElementById('close').addEventListener('click', function () {
    if (listening) queue.push(CLOSE);
  });
  document.addEventListener('visibilitychange', function () {
    if (listening) queue.push(document.hidden ? HIDDEN : SHOWN);
  });

  return {
    next: function () { return queue.length ? queue.shift() : 0; },
    start: function () { queue.length = 0; listening = true; },
    stop: function () { listening = false; queue.length = 0; },
  };
})();
