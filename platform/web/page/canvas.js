// canvas.js - the program's window: a canvas of its client size with the
// caption above it (and as the document's title). The program hands over
// its newest picture as RGBA bytes whenever it lets the page run; the
// picture goes onto the canvas at the next display refresh, so at most one
// picture is drawn per refresh, always the newest.
'use strict';

const pageCanvas = (function () {
  const section = document.getElementById('window');
  const canvas = document.getElementById('screen');
  const captionText = document.getElementById('caption');
  const context = canvas.getContext('2d');
  let picture = null;       // ImageData of the newest picture
  let pending = false;      // handed over, not yet drawn
  let frame = 0;            // number of the newest picture
  const state = { shownFrame: 0, pictures: 0 };

  function draw() {
    if (!pending) return;
    context.putImageData(picture, 0, 0);
    state.shownFrame = frame;
    state.pictures++;
    pending = false;
  }

  state.open = function (width, height, caption) {
    canvas.width = width;
    canvas.height = height;
    context.fillStyle = '#000';
    context.fillRect(0, 0, width, height);
    state.shownFrame = 0;
    state.pictures = 0;
    section.classList.remove('ended');
    section.hidden = false;
    state.caption(caption);
    canvas.focus();
  };
  state.caption = function (text) {
    captionText.textContent = text;
    document.title = text;
  };
  state.put = function (rgba, width, height, number) {
    if (!picture || picture.width !== width || picture.height !== height) picture = new ImageData(width, height);
    picture.data.set(rgba);
    frame = number;
    if (!pending) requestAnimationFrame(draw);
    pending = true;
  };
  state.close = function () {
    draw();
    section.classList.add('ended');
  };
  // The canvas as it is shown, read back through a second canvas.
  state.readBack = function () {
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const c = copy.getContext('2d');
    c.drawImage(canvas, 0, 0);
    return c.getImageData(0, 0, copy.width, copy.height);
  };
  state.element = canvas;
  return state;
})();
