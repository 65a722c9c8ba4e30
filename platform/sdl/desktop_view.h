// desktop_view.h - what a picture of the desktop under a window is made
// from, taken on the program's thread when the frame reached the desktop,
// so that a presenter on another thread needs nothing else of the
// platform's state.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/pixel_decode.h"

namespace plat {

struct desktop_view {
    const uint8_t *pixels = nullptr;  // the desktop's first row
    int pitch = 0;
    int width = 0, height = 0;
    int bits = 32;
    bool is_555 = false;
    rgb_palette palette{};  // the system palette, at 8 bits
    RECT client{};          // the window's client area on the desktop
};

}  // namespace plat
