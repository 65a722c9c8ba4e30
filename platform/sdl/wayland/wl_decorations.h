// wl_decorations.h - whether the Wayland compositor draws the windows' title
// bars itself (it offers xdg-decoration, as sway and kwin do). SDL then
// makes its windows plain xdg toplevels rather than libdecor frames, and
// what libdecor would have told the compositor (a box's fixed size) is
// ours to say.
#pragma once

struct SDL_Window;

namespace plat {

// Asked once, of the connection of `window` (any window of the program);
// false off Wayland.
bool wl_server_side_decorations(SDL_Window *window);

}  // namespace plat
