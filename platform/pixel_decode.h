// pixel_decode.h - display-format surface memory to red, green, blue.
//
//   rgb_palette palette;                       // 8 bits: the display palette
//   set_static_colours(palette);               // entries 0-9 and 246-255
//   decode_row(surface_row, width, 32, false, palette, rgb_out);  // 3 bytes a pixel out
//
// Memory order of one surface pixel, as the display keeps it:
//   8 bits   a palette index
//   16 bits  a little-endian word, 5-6-5 (red in bits 11-15) or, with the
//            5-5-5 flag, 5-5-5 (red in bits 10-14, bit 15 unused)
//   24 bits  blue, green, red
//   32 bits  blue, green, red, unused
// Header-only; needs nothing but the standard library and the static colours.
#pragma once
#include <array>
#include <cstdint>

#include "platform/system_colours.h"

struct rgb_colour {
    uint8_t red, green, blue;
};

using rgb_palette = std::array<rgb_colour, 256>;

// A 5-bit or 6-bit channel widened to 8 bits by repeating its top bits, so
// that the largest value becomes 255 and 0 stays 0.
constexpr uint8_t widen_5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }
constexpr uint8_t widen_6(unsigned v) { return uint8_t((v << 2) | (v >> 4)); }

// The 20 static colours of an 8-bit display into entries 0-9 and 246-255.
inline void set_static_colours(rgb_palette &palette) {
    for (int i = 0; i < 256; i = (i == 9) ? 246 : i + 1) {
        const system_colour c = static_colour_of(i);
        palette[i] = {c.red, c.green, c.blue};
    }
}

// One pixel at `p` of a surface with `bits_per_pixel` 8, 16, 24 or 32;
// any other bit count decodes as black.
inline rgb_colour decode_pixel(const uint8_t *p, int bits_per_pixel, bool format_555,
                               const rgb_palette &palette) {
    switch (bits_per_pixel) {
    case 8:
        return palette[p[0]];
    case 16: {
        const unsigned word = unsigned(p[0]) | (unsigned(p[1]) << 8);
        if (format_555)
            return {widen_5((word >> 10) & 31), widen_5((word >> 5) & 31), widen_5(word & 31)};
        return {widen_5((word >> 11) & 31), widen_6((word >> 5) & 63), widen_5(word & 31)};
    }
    case 24:
    case 32:
        return {p[2], p[1], p[0]};
    default:
        return {0, 0, 0};
    }
}

// `width` pixels from `src` into `rgb_out` as red, green, blue byte triples.
inline void decode_row(const uint8_t *src, int width, int bits_per_pixel, bool format_555,
                       const rgb_palette &palette, uint8_t *rgb_out) {
    const int step = bits_per_pixel / 8;
    for (int x = 0; x < width; ++x) {
        const rgb_colour c = decode_pixel(src + x * step, bits_per_pixel, format_555, palette);
        rgb_out[3 * x] = c.red;
        rgb_out[3 * x + 1] = c.green;
        rgb_out[3 * x + 2] = c.blue;
    }
}
