// shm_frame.h - a picture in memory the window system shares with us, as
// the presenters (x11/x_shm_present.h, wayland/wl_shm_present.h) hand it
// out for one frame to be written.
#pragma once
#include <cstdint>

#include "platform/pixel_convert.h"

namespace plat {

struct shm_frame {
    uint8_t *pixels = nullptr;
    int pitch = 0;
    int width = 0, height = 0;
    screen_format format = screen_format::xrgb8888;
};

// ready: `frame` may be written; busy: the window system still holds every
// picture (this frame is left out); unavailable: no such path here (the
// window is drawn through SDL).
enum class shm_begin { ready, busy, unavailable };

}  // namespace plat
