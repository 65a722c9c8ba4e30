// window_title.h - the title a window of the sdl backend is given for its
// caption. On Wayland the title bar is drawn by libdecor in the program
// (or by the compositor) across the window's own width, less its buttons,
// and a long caption on a narrow window lost its end, the rate in voxel's
// caption: there a caption too wide is given shortened (title_fit.h). The
// caption itself, what GetWindowText returns, stays the program's own.
#pragma once
#include <string>

struct SDL_Window;

namespace plat {

// Gives `window` its title for `caption_utf8` at the window's present width.
void set_window_title(SDL_Window *window, const std::string &caption_utf8);

}  // namespace plat
