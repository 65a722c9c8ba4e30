// wl_shm_present.h - the windows' pictures shown on Wayland through buffers
// of our own in memory shared with the compositor (wl_shm), attached to the
// surface SDL made for the window:
//
//   shm_frame frame;
//   if (wl_shm_begin(window, width, height, &frame, 0) == shm_begin::ready) {
//       ... write width x height pixels of frame.format at frame.pixels ...
//       wl_shm_finish(window);   // attach, damage, commit; no round trip
//   }
//
// Each window has wl_buffer_count buffers (buffer_ring.h): a frame is
// written only into one the compositor has released, so no half-written or
// stale picture is ever shown. The demo's frames never wait for a release:
// a compositor may hold every buffer until its next repaint (mutter gives
// them back together, once a refresh), and a frame that finds them all held
// is left out; the window then owes the screen its picture
// (wl_shm_frame_due), which the backend draws anew, from what is newest, as
// soon as a buffer comes back. A commit also waits for the compositor's
// frame callback for the one before (at most a quarter of a second), so
// that the compositor gets one picture a refresh, the newest, rather than
// thousands it would import and never show. The buffers' events come on an event queue
// of our own, so SDL's event loop never sees them. Where there is no
// Wayland connection, no wl_shm, or PLATFORM_NO_SHM is set, the presenter
// is unavailable and windows are drawn through SDL. A window whose buffers
// would not fit the protocol's 32-bit sizes is refused with a message and
// not drawn.
#pragma once

#include "platform/sdl/shm_frame.h"

struct SDL_Window;

namespace plat {

// Buffers per window: two are released too late at a few thousand frames a
// second (weston lets one go only when the next is committed), and a third
// gives the demo a free one while weston keeps up. More do not help where
// the compositor keeps every one until its repaint: the frames it would
// take are frames it never shows.
constexpr int wl_buffer_count = 3;

// Opens the presenter on the Wayland connection of `window` (any window of
// the program): true when windows can be shown through it. Asked once; the
// answer stays.
bool wl_shm_open(SDL_Window *window);
bool wl_shm_available();

// A buffer of the window's client size (made anew when the size changed)
// that is free to be written, waiting for a release at most `wait_ms`; when
// none is free (`busy`) the window owes a frame.
shm_begin wl_shm_begin(SDL_Window *window, int width, int height, shm_frame *frame, int wait_ms);

// Attaches the buffer that wl_shm_begin gave, damages the whole of it and
// commits the surface.
void wl_shm_finish(SDL_Window *window);

// True when the window owes a frame (one was left out since its last
// commit) and a buffer is free for it, waiting for a release at most
// `wait_ms`.
bool wl_shm_frame_due(SDL_Window *window, int wait_ms);

// The window is about to be destroyed: its buffers go.
void wl_shm_forget(SDL_Window *window);

}  // namespace plat
