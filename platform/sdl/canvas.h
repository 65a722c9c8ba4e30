// canvas.h - what a window of the sdl backend is drawn on. Normally SDL's
// window surface. A 32-bit surface of our own where SDL's would not do:
// on Wayland, shown through our shared-memory buffers
// (wayland/wl_shm_present.h), and on a screen whose visual is indexed
// (8-bit PseudoColor), where SDL2 makes none, shown through a colour map of
// the program (x11/x_display.h).
#pragma once

struct SDL_Window;
struct SDL_Surface;

namespace plat {

// Windows are drawn through the colour map from now on (set once at start).
void canvas_use_colour_map();
bool canvas_uses_colour_map();

// The surface to draw the window's contents on, of the window's size, or
// null when there is none.
SDL_Surface *canvas_of(SDL_Window *window);

// Shows what was drawn on the window's canvas; false when it did not reach
// the window system (to be drawn again later).
bool canvas_show(SDL_Window *window);

// The window is going away: its canvas too.
void canvas_forget(SDL_Window *window);

}  // namespace plat
