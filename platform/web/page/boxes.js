// boxes.js - message boxes as modal dialogs: caption, icon, text and an OK
// button that has the keyboard focus. Enter (on OK), Escape or a click on
// OK answers the box; show() returns a promise that settles then. Every
// box shown is kept in pageBoxes.shown for the page's summary and tests.
'use strict';

const pageBoxes = (function () {
  const dialog = document.getElementById('box');
  const caption = document.getElementById('box-caption');
  const icon = document.getElementById('box-icon');
  const text = document.getElementById('box-text');
  const ok = document.getElementById('box-ok');
  const icons = ['information', 'warning', 'error'];
  let answer = null;

  // Escape cancels the dialog, which closes it: an answer as good as OK
  dialog.addEventListener('close', function () {
    const settle = answer;
    answer = null;
    if (settle) settle();
  });

  return {
    shown: [],
    isOpen: function () { return dialog.open; },
    show: function (captionText, bodyText, iconIndex) {
      const kind = icons[iconIndex] || icons[0];
      this.shown.push({ caption: captionText, text: bodyText, icon: kind, at: performance.now() });
      caption.textContent = captionText;
      text.textContent = bodyText;
      icon.className = kind;
      dialog.setAttribute('aria-label', captionText);
      return new Promise(function (resolve) {
        answer = resolve;
        dialog.showModal();
        ok.focus();
      });
    },
  };
})();
