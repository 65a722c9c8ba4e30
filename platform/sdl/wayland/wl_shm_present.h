// wl_shm_present.h - the windows' pictures shown on Wayland through buffers
// of our own in memory shared with the compositor (wl_shm), attached to the
// surface SDL made for the window:
//
//   shm_frame frame;
//   if (wl_shm_begin(window, width, height, &frame) == shm_begin::ready) {
//       ... write width x height pixels of frame.format at frame.pixels ...
//       wl_shm_finish(window);   // attach, damage, commit; no round trip
//   }
//
// Each window has wl_buffer_count buffers (buffer_ring.h): a frame is
// written only into one the compositor has released, so no half-written or
// stale picture is ever shown, and the program does not wait while the
// compositor keeps up; when every buffer is still held it waits for a
// release at most 100 ms and otherwise leaves the frame out. The buffers'
// events come on an event queue of our own, so SDL's event loop never sees
// them. Where there is no Wayland connection, no wl_shm, or PLATFORM_NO_SHM
// is set, the presenter is unavailable and windows are drawn through SDL.
#pragma once

#include "platform/sdl/shm_frame.h"

struct SDL_Window;

namespace plat {

// Buffers per window: two are released too late at a few thousand frames a
// second (the compositor lets one go only when the next is committed), and
// a third keeps the program from waiting for the compositor.
constexpr int wl_buffer_count = 3;

// Opens the presenter on the Wayland connection of `window` (any window of
// the program): true when windows can be shown through it. Asked once; the
// answer stays.
bool wl_shm_open(SDL_Window *window);
bool wl_shm_available();

// A buffer of the window's client size (made anew when the size changed)
// that is free to be written.
shm_begin wl_shm_begin(SDL_Window *window, int width, int height, shm_frame *frame);

// Attaches the buffer that wl_shm_begin gave, damages the whole of it and
// commits the surface.
void wl_shm_finish(SDL_Window *window);

// The window is about to be destroyed: its buffers go.
void wl_shm_forget(SDL_Window *window);

}  // namespace plat
