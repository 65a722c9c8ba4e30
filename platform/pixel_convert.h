// pixel_convert.h - rows of display-format pixels (pixel_decode.h) straight
// into the pixel format of a screen, in one pass, giving the same bytes as
// decoding each pixel to red, green, blue and packing that:
//
//   row_converter c;
//   converter_prepare(c, 16, false, palette, screen_format::xrgb8888);
//   convert_row(c, desktop_row, width, window_row);
//
// Screen formats, in memory on this little-endian machine:
//   xrgb8888  4 bytes: blue, green, red, 0xFF (a 24- or 32-bit true-colour
//             screen, SDL's RGB888); a 32-bit display row is copied as is
//   rgb565    a 16-bit word, red in bits 11-15 (a 16-bit screen)
//   rgb555    a 16-bit word, red in bits 10-14, bit 15 zero (a 15-bit screen)
// Packing to 16 bits keeps a channel's top bits, as SDL's converter does, so
// a display of the screen's own 16-bit format is copied as is.
#pragma once
#include <array>
#include <cstdint>

#include "platform/pixel_decode.h"

namespace plat {

enum class screen_format { xrgb8888, rgb565, rgb555 };

struct row_converter {
    int bits = 32;          // the display's: 8, 16, 24 or 32
    bool is_555 = false;    // a 16-bit display in 5-5-5
    screen_format screen = screen_format::xrgb8888;
    bool copies = false;    // the display's format is the screen's
    std::array<uint32_t, 256> palette_screen{};  // 8 bits: each index in the screen's format
};

// Sets the converter up for a display format and a screen format; at 8 bits
// from the palette (again whenever the palette changes).
void converter_prepare(row_converter &c, int bits, bool is_555, const rgb_palette &palette,
                       screen_format screen);

// `width` display pixels from `src` into `dst` in the screen's format. Any
// alignment of either.
void convert_row(const row_converter &c, const uint8_t *src, int width, uint8_t *dst);

// Bytes of one pixel of the screen format.
constexpr int screen_bytes(screen_format f) { return f == screen_format::xrgb8888 ? 4 : 2; }

// One colour in the screen's format (the reference the fast paths match).
constexpr uint32_t pack_screen(rgb_colour c, screen_format f) {
    switch (f) {
    case screen_format::rgb565: return uint32_t((c.red >> 3) << 11 | (c.green >> 2) << 5 | c.blue >> 3);
    case screen_format::rgb555: return uint32_t((c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3);
    default: return 0xFF000000u | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
    }
}

}  // namespace plat
