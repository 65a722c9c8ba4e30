// web_clock.h - the page's clock: performance.now(), monotonic, in
// nanoseconds. Its resolution is the browser's (5 us in a cross-origin
// isolated page, 100 us otherwise), so whoever times with it times batches
// of work far longer than that.
//
//   uint64_t start = web_clock_nanoseconds();  work();  ... - start
//
// The web's stand-in for the processor's cycle counter: the timing library
// reads it where it reads the time-stamp counter natively.
#pragma once
#include <cstdint>

#include <emscripten.h>

inline uint64_t web_clock_nanoseconds() { return uint64_t(emscripten_get_now() * 1e6); }
