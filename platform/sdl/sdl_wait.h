// sdl_wait.h - waiting for window system events without SDL's wakeup
// machinery: SDL_WaitEventTimeout picks a window to which an event pushed
// meanwhile sends a message over a second X connection, and that message can
// reach the server after the window was destroyed on the main connection.
#pragma once
#include <cstdint>

namespace plat {

// Returns when SDL has an event queued, or after `ms` milliseconds.
void sdl_wait_for_event(uint32_t ms);

}  // namespace plat
