// web_page.h - what the web backend asks of the page it runs in. Each
// function is JavaScript (library_web.js), forwarded to the page's scripts:
// canvas.js (the window), boxes.js, events.js and timing.js. Texts are
// UTF-8. The three marked "waits" suspend the program (Asyncify) and resume
// it when the page is done; everything else returns at once.
#pragma once
#include <cstdint>

extern "C" {

// The window: a canvas of the client size with the caption above it.
void web_window_open(int width, int height, const char *caption);
void web_window_caption(const char *caption);
void web_window_close();

// The newest picture of the window, `width` x `height` RGBA pixels, top row
// first; the page copies it and shows it at the next display refresh.
// `frame` numbers the pictures handed over (1 for the first).
void web_picture_put(const uint8_t *rgba, int width, int height, uint32_t frame);

// A modal box with an OK button; icon 0 information, 1 warning, 2 error.
// Waits until the box is answered.
void web_box_show(const char *caption, const char *text, int icon);

// Lets the page run (draw, take input) and comes back as soon as it has.
// Waits.
void web_yield();

// Comes back after `ms` milliseconds, the page running meanwhile. Waits.
void web_sleep(uint32_t ms);

// The next thing a person did to the window, oldest first: a virtual-key
// code (> 0) for a key pressed, web_event_close for the window's close
// button, web_event_hidden / web_event_shown when the page went out of
// sight and came back; 0 when nothing is waiting.
int web_next_event();

// Milliseconds between the display's refreshes, as the page measured them.
double web_refresh_interval();

// The browser's preferred languages, comma-separated (navigator.languages),
// into `out` of `capacity` bytes.
void web_browser_languages(char *out, int capacity);

}

constexpr int web_event_close = -1;
constexpr int web_event_hidden = -2;
constexpr int web_event_shown = -3;
