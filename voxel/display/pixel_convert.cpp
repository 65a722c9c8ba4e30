// pixel_convert.cpp - the row converters from 8-bit colour-table indices and
// 24-bit pixels into the frame's 16, 24 and 32-bit formats.
//
// One loop over rows and pixels serves all five; each converter only names
// how one source pixel becomes one destination pixel.
#include <cstddef>

#include "voxel/display/pixel_convert.h"

int pixel_format_555 = 0;

namespace {

// The row-by-row walk: `store` turns the source pixel at its second argument
// into the destination pixel at its first.
template <int src_bytes, int dst_bytes, typename pixel_store>
void convert_rows(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                  int height, pixel_store store) {
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x)
            store(dst + size_t(x) * dst_bytes, src + size_t(x) * src_bytes);
        dst += dst_step;
        src += src_step;
    }
}

// A 16-bit pixel in the layout pixel_format_555 names, little-endian.
void store_16(uint8_t *d, unsigned red, unsigned green, unsigned blue) {
    const unsigned value = pixel_format_555
        ? ((red << 7) & 0x7C00) | ((green << 2) & 0x03E0) | (blue >> 3)
        : ((red << 8) & 0xF800) | ((green << 3) & 0x07E0) | (blue >> 3);
    d[0] = uint8_t(value);
    d[1] = uint8_t(value >> 8);
}

}  // namespace

// Colour-table entries are blue, green, red, reserved.
void convert_8_to_16(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                     int height, const uint8_t *colour_table) {
    convert_rows<1, 2>(dst, dst_step, src, src_step, width, height,
                       [colour_table](uint8_t *d, const uint8_t *s) {
                           const uint8_t *entry = colour_table + 4 * s[0];
                           store_16(d, entry[2], entry[1], entry[0]);
                       });
}

// Memory order red, blue, green: after the presentation's two-byte shift a
// display pixel gets blue and green from one entry and red from the next.
void convert_8_to_24(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                     int height, const uint8_t *colour_table) {
    convert_rows<1, 3>(dst, dst_step, src, src_step, width, height,
                       [colour_table](uint8_t *d, const uint8_t *s) {
                           const uint8_t *entry = colour_table + 4 * s[0];
                           d[0] = entry[2];
                           d[1] = entry[0];
                           d[2] = entry[1];
                       });
}

// Memory order red, 0xFF, blue, green: the same shift puts the 0xFF in the
// display pixel's unused fourth byte.
void convert_8_to_32(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                     int height, const uint8_t *colour_table) {
    convert_rows<1, 4>(dst, dst_step, src, src_step, width, height,
                       [colour_table](uint8_t *d, const uint8_t *s) {
                           const uint8_t *entry = colour_table + 4 * s[0];
                           d[0] = entry[2];
                           d[1] = 0xFF;
                           d[2] = entry[0];
                           d[3] = entry[1];
                       });
}

// 24-bit pixels s0, s1, s2 are taken as red, green, blue.
void convert_24_to_16(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                      int height) {
    convert_rows<3, 2>(dst, dst_step, src, src_step, width, height,
                       [](uint8_t *d, const uint8_t *s) { store_16(d, s[0], s[1], s[2]); });
}

// Memory order s2, s1, s0, 0xFF.
void convert_24_to_32(uint8_t *dst, int dst_step, const uint8_t *src, int src_step, int width,
                      int height) {
    convert_rows<3, 4>(dst, dst_step, src, src_step, width, height, [](uint8_t *d, const uint8_t *s) {
        d[0] = s[2];
        d[1] = s[1];
        d[2] = s[0];
        d[3] = 0xFF;
    });
}
