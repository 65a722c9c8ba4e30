// web_picture.cpp - display pixels to RGBA. With the vector unit (a module
// built for SIMD128) rows go through convert_row's fast paths to the
// screen format blue, green, red, 255 and have red and blue exchanged (and
// the fourth byte made 255, which a 32-bit row copied as is lacks); the
// scalar-only module decodes pixel by pixel (pixel_decode.h), which
// convert_row matches byte for byte.
#include "platform/web/web_picture.h"

#include <algorithm>
#include <cstring>

#ifdef __wasm_simd128__
#include "platform/pixel_convert.h"
#endif

namespace plat {

#ifdef __wasm_simd128__
void rgba_from_display(const uint8_t *src, int pitch, int bits, bool is_555, const rgb_palette &palette,
                       int width, int height, uint8_t *rgba) {
    row_converter c;
    converter_prepare(c, bits, is_555, palette, screen_format::xrgb8888);
    for (int y = 0; y < height; y++) {
        uint8_t *out = rgba + size_t(y) * size_t(width) * 4;
        convert_row(c, src + size_t(y) * size_t(pitch), width, out);
        // a 32-bit row is copied as is, its unused fourth byte too: the
        // canvas takes that byte as opacity
        for (int x = 0; x < width; x++) {
            std::swap(out[4 * x], out[4 * x + 2]);
            out[4 * x + 3] = 255;
        }
    }
}
#else
void rgba_from_display(const uint8_t *src, int pitch, int bits, bool is_555, const rgb_palette &palette,
                       int width, int height, uint8_t *rgba) {
    const int step = bits / 8;
    for (int y = 0; y < height; y++) {
        const uint8_t *row = src + size_t(y) * size_t(pitch);
        uint8_t *out = rgba + size_t(y) * size_t(width) * 4;
        for (int x = 0; x < width; x++) {
            const rgb_colour c = decode_pixel(row + x * step, bits, is_555, palette);
            out[4 * x] = c.red, out[4 * x + 1] = c.green, out[4 * x + 2] = c.blue, out[4 * x + 3] = 255;
        }
    }
}
#endif

void window_picture(const window &w, std::vector<uint8_t> &rgba, int *width, int *height) {
    const machine_settings &m = state.machine;
    const int wide = std::max(0, int(w.client.right - w.client.left));
    const int high = std::max(0, int(w.client.bottom - w.client.top));
    *width = wide, *height = high;
    rgba.assign(size_t(wide) * size_t(high) * 4, 0);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;

    rgb_palette palette{};
    if (m.display_bits == 8)
        for (int i = 0; i < 256; i++)
            palette[i] = rgb_colour{state.system_palette[i].peRed, state.system_palette[i].peGreen,
                                    state.system_palette[i].peBlue};

    // the part of the client area that lies on the desktop
    const int x0 = std::max(0, int(-w.client.left)), x1 = std::min(wide, int(m.desktop_width - w.client.left));
    const int y0 = std::max(0, int(-w.client.top)), y1 = std::min(high, int(m.desktop_height - w.client.top));
    if (x0 >= x1 || y0 >= y1) return;
    const int bpp = bytes_per_pixel(m.display_bits);
    const uint8_t *first = desktop_memory() + size_t(w.client.top + y0) * size_t(state.desktop_pitch) +
                           size_t(w.client.left + x0) * size_t(bpp);
    if (x0 == 0 && x1 == wide) {
        rgba_from_display(first, state.desktop_pitch, m.display_bits, m.display_555, palette, wide, y1 - y0,
                          rgba.data() + size_t(y0) * size_t(wide) * 4);
        return;
    }
    for (int y = y0; y < y1; y++)
        rgba_from_display(first + size_t(y - y0) * size_t(state.desktop_pitch), 0, m.display_bits, m.display_555,
                          palette, x1 - x0, 1, rgba.data() + (size_t(y) * size_t(wide) + size_t(x0)) * 4);
}

}  // namespace plat
