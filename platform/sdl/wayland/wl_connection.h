// wl_connection.h - the Wayland connection SDL opened, watched as Xlib
// watches an X connection: when the compositor goes away (or ends the
// connection for a protocol error) the program says so once on standard
// error ("platform: the connection to the Wayland compositor wayland-0 was
// lost (Broken pipe); the program ends") and ends with status 1, at the
// next pump, wait, sleep or frame. Going on would show nothing, answer no
// box, and report rates of frames nobody saw.
#pragma once
#include <cstdint>

struct SDL_Window;

namespace plat {

// Watches the connection of `window` (nothing off Wayland).
void wl_connection_watch(SDL_Window *window);

// Ends the program if the watched connection has failed or the compositor
// has hung up; called also before SDL reads from the connection, since
// SDL 2.26.5 with libdecor can crash dispatching on a dead one.
void wl_connection_check();

// Sleeps `ms` milliseconds, ending the program as soon as the compositor
// hangs up meanwhile; a plain sleep when no connection is watched.
void wl_connection_sleep(uint32_t ms);

}  // namespace plat
