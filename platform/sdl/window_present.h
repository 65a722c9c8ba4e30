// window_present.h - the desktop under a window's client area onto the
// screen: in one pass into a shared-memory picture of the window (an X image,
// x11/x_shm_present.h, or a Wayland buffer, wayland/wl_shm_present.h), or
// where there is none into the window's canvas (canvas.h) and through SDL.
#pragma once

#include <windows.h>

struct SDL_Window;

namespace plat {

struct window;

// Shows the part of the desktop (the primary surface) under the client
// area of `w` in its SDL window; true when the picture went to the window
// system. On X11 with shared memory the picture is made and put on the
// presenter thread (present_thread.h), which traces it when it is shown,
// and this returns false.
bool present_desktop(SDL_Window *sdl_window, HWND hwnd, const window &w);

// Shows the desktop as it is now in each window that owes the screen a frame
// (one was left out while the compositor held every buffer) and has a buffer
// back, waiting for one at most `wait_ms`; each such frame is traced. Also
// draws through SDL the windows the presenter thread could not show.
void present_frames_owed(int wait_ms);

}  // namespace plat
