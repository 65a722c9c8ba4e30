// x_display.h - what the sdl backend asks of the X server itself, beside
// SDL: protocol errors about windows the program has closed, the truth about
// a window's mapping, and the screen's visual.
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
// reported once on standard error and ignored; any other error, or a lost
// connection, is named on standard error and then ends the program through
// the handler that was there before.
void x_errors_install();

// The program's windows, as the error handler needs to know them.
void x_window_added(SDL_Window *window);
void x_window_removed(SDL_Window *window);

// True when the window is on the screen (mapped and viewable) as the
// window system shows it; from SDL's window flags where X cannot be asked.
bool x_window_viewable(SDL_Window *window);

// The default visual of the X screen named by DISPLAY, as "8-bit
// PseudoColor", or "" when it cannot be asked.
std::string x_screen_visual();

}  // namespace plat
