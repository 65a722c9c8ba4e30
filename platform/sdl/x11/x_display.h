// x_display.h - what the sdl backend asks of the X server itself, beside
// SDL: protocol errors about windows the program has closed, the truth about
// a window's mapping, the screen's visual, and the colour map through which
// an indexed (8-bit PseudoColor) window is drawn.
// Without X (another video driver, or a build without libX11) the answers
// come from SDL alone.
#pragma once
#include <cstdint>
#include <string>

struct SDL_Window;
struct SDL_Surface;

namespace plat {

// Installs the X error handlers once (after SDL opened its connections):
// a BadWindow or BadDrawable about a window the program no longer has is
// reported once on standard error and ignored; any other error on the
// connection that shows shared-memory images stops that path only
// (x_shm_present.h); any other error, or a lost connection, is named on
// standard error and then ends the program through the handler that was
// there before.
void x_errors_install();

// The program's windows, as the error handler needs to know them.
void x_window_added(SDL_Window *window);
void x_window_removed(SDL_Window *window);

// True when the window is on the screen (mapped and viewable) as the
// window system shows it; from SDL's window flags where X cannot be asked.
bool x_window_viewable(SDL_Window *window);

// The default visual of the X screen named by DISPLAY, as "8-bit
// PseudoColor" (and its id in *id), or "" when it cannot be asked.
std::string x_screen_visual(unsigned long *id);

// Shows a 32-bit (SDL_PIXELFORMAT_RGB888) picture of the window's size in
// an 8-bit indexed window: through the program's colour map, a cube of 8
// reds, 8 greens and 4 blues, with ordered dithering. False when the window
// is not such a window.
bool x_show_through_colour_map(SDL_Window *window, const SDL_Surface *picture);

}  // namespace plat
