// web_picture.h - what a window shows, as the RGBA pixels a canvas takes:
// the display's pixels (8-bit palette indices, 16-bit 5-6-5 or 5-5-5
// words, 24- or 32-bit blue, green, red) through the same conversion the
// sdl backend uses (pixel_convert.h), each pixel red, green, blue, 255.
//
//   std::vector<uint8_t> rgba(size_t(w) * h * 4);
//   rgba_from_display(desktop_row, pitch, 16, false, palette, w, h, rgba.data());
#pragma once
#include <cstdint>
#include <vector>

#include "platform/pixel_decode.h"
#include "platform/state.h"

namespace plat {

// `height` rows of `width` display pixels, `pitch` bytes apart, into rows of
// width * 4 bytes.
void rgba_from_display(const uint8_t *src, int pitch, int bits, bool is_555, const rgb_palette &palette,
                       int width, int height, uint8_t *rgba);

// The desktop under the window's client area, as it is now (in the display
// mode and, at 8 bits, through the system palette); what lies off the
// desktop is black.
void window_picture(const window &w, std::vector<uint8_t> &rgba, int *width, int *height);

}  // namespace plat
