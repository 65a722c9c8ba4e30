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
// back), so no half-written or stale picture is ever shown, and the program
// never waits for a round trip while the server keeps up; when both images
// are still being put it waits for a completion, at most 100 ms, and
// otherwise leaves the frame out. Where the server has no MIT-SHM, cannot
// attach our memory (a remote display), the screen's format is not one
// pixel_convert.h writes, or PLATFORM_NO_SHM is set, x_shm_begin says
// `unavailable` and the window is drawn through SDL as before.
//
// Where the desktop's format is the screen's own (a 32-bit desktop on a 24-
// or 32-bit screen, 5-6-5 on a 5-6-5 screen) the desktop memory is itself a
// shared image (x_shm_desktop_memory), and a window is put straight from it
// (x_shm_put_desktop), with no copy at all; before the platform writes the
// desktop again, x_shm_desktop_writing waits (at most 100 ms) for the
// completion of every put from it still under way.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/sdl/shm_frame.h"

struct SDL_Window;

namespace plat {

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

// The backend's desktop memory (platform_backend::desktop_memory): `bytes`
// of zeroed shared memory, 1 KiB past a page like the platform's own, in
// the screen's format; null when the screen's format differs or there is
// no MIT-SHM. 0 lets the previous go.
uint8_t *x_shm_desktop_memory(size_t bytes);

// Returns once no put from the shared desktop is under way (at most 100 ms).
void x_shm_desktop_writing();

// Puts width x height of the shared desktop at (x, y) into the window;
// false (nothing done) when there is no shared desktop, the rectangle is not
// wholly on it or the window's visual is not the desktop's.
bool x_shm_put_desktop(SDL_Window *window, int x, int y, int width, int height);

// For the X error handler: true when the error came on the presenting
// connection (`display`). An image whose put failed is free again; any
// error but one about a closed window stops the shared-memory path.
bool x_shm_takes_error(void *display, unsigned long serial, int error_code, bool closed_window);

}  // namespace plat
