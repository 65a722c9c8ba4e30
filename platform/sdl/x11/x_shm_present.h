// x_shm_present.h - the demo windows' pictures shown through the X server's
// shared memory (MIT-SHM), on a connection of the backend's own:
//
//   shm_frame frame;
//   if (x_shm_begin(window, width, height, &frame) == shm_begin::ready) {
//       ... write width x height pixels of frame.format at frame.pixels ...
//       x_shm_finish(window);   // XShmPutImage, and no waiting for it
//   }
//
// Each window has two shared images. A frame is written only into an image
// whose previous put the server has completed (its ShmCompletion event came
// back), so no half-written or stale picture is ever shown, and nothing
// waits for a round trip while the server keeps up; when both images
// are still being put it waits for a completion, at most 100 ms, and
// otherwise leaves the frame out. Where the server has no MIT-SHM, cannot
// attach our memory (a remote display), the screen's format is not one
// pixel_convert.h writes, or PLATFORM_NO_SHM is set, x_shm_begin says
// `unavailable` and the window is drawn through SDL as before.
//
// The window's pictures are made and put on the presenter thread
// (present_thread.h): every call here but x_shm_usable and
// x_shm_remove_pending comes from that thread, or from the program's while
// that thread is held.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/sdl/shm_frame.h"

struct SDL_Window;

namespace plat {

// Opens the presenting connection on first use: false when windows are
// drawn through SDL instead (no MIT-SHM, PLATFORM_NO_SHM, given up).
bool x_shm_usable();

// An image of the window's client size (made anew when the size changed)
// that is free to be written; `busy` when none became free in time.
shm_begin x_shm_begin(SDL_Window *window, int width, int height, shm_frame *frame);

// Puts the image that x_shm_begin gave into the window.
void x_shm_finish(SDL_Window *window);

// The window is about to be destroyed: its images go, after the server is
// done with them.
void x_shm_forget(SDL_Window *window);

// Marks for removal a segment made and not yet marked (one whose attach is
// under way); safe in a signal handler.
void x_shm_remove_pending();

// For the X error handler: true when the error came on the presenting
// connection (`display`). An image whose put failed is free again; any
// error but one about a closed window stops the shared-memory path.
bool x_shm_takes_error(void *display, unsigned long serial, int error_code, bool closed_window);

}  // namespace plat
