// stream_copy.h - a row copy whose writes go past the caches to memory:
//
//   stream_copy_row(dst, src, bytes);   // any alignment, any length
//   ...more rows...
//   stream_copy_done();                 // before another thread reads them
//
// For the desktop, which another processor (a presenter thread, the window
// system) reads after every frame: with ordinary stores every line it read
// must first be taken back from that processor's cache, which makes a 1 MB
// copy about five times as slow as the same copy with streaming stores.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

void stream_copy_row(uint8_t *dst, const uint8_t *src, size_t bytes);

// Orders the streamed writes before whatever the thread does next (a store
// that tells another thread the rows are there).
void stream_copy_done();

}  // namespace plat
