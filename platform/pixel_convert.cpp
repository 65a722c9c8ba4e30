// pixel_convert.cpp - display rows into a screen's format: a copy where the
// formats agree, a table at 8 bits, SSE2 for 16-bit displays (eight pixels a
// step, the channels widened exactly as widen_5/widen_6 do), plain loops for
// the rest.
#include "platform/pixel_convert.h"

#include <emmintrin.h>

#include <cstring>

namespace plat {
namespace {

const rgb_palette no_palette{};  // a 16-bit display needs none

// The channels of eight 16-bit display pixels, widened to 8 bits, one per
// 16-bit lane.
struct lanes {
    __m128i red, green, blue;
};

inline __m128i widen_5_lanes(__m128i v) { return _mm_or_si128(_mm_slli_epi16(v, 3), _mm_srli_epi16(v, 2)); }
inline __m128i widen_6_lanes(__m128i v) { return _mm_or_si128(_mm_slli_epi16(v, 2), _mm_srli_epi16(v, 4)); }

inline lanes decode_16(__m128i w, bool is_555) {
    const __m128i five = _mm_set1_epi16(31), six = _mm_set1_epi16(63);
    const __m128i blue = widen_5_lanes(_mm_and_si128(w, five));
    if (is_555)
        return {widen_5_lanes(_mm_and_si128(_mm_srli_epi16(w, 10), five)),
                widen_5_lanes(_mm_and_si128(_mm_srli_epi16(w, 5), five)), blue};
    return {widen_5_lanes(_mm_srli_epi16(w, 11)), widen_6_lanes(_mm_and_si128(_mm_srli_epi16(w, 5), six)), blue};
}

void row_16_to_xrgb(const uint8_t *src, int width, bool is_555, uint8_t *dst) {
    const __m128i alpha = _mm_set1_epi16((short)0xFF00);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const lanes c = decode_16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 2 * x)), is_555);
        const __m128i low = _mm_or_si128(c.blue, _mm_slli_epi16(c.green, 8));  // blue, green
        const __m128i high = _mm_or_si128(c.red, alpha);                        // red, 0xFF
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 4 * x), _mm_unpacklo_epi16(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 4 * x + 16), _mm_unpackhi_epi16(low, high));
    }
    for (; x < width; x++) {
        const uint32_t v = pack_screen(decode_pixel(src + 2 * x, 16, is_555, no_palette), screen_format::xrgb8888);
        memcpy(dst + 4 * x, &v, 4);
    }
}

void row_16_to_16(const uint8_t *src, int width, bool is_555, screen_format screen, uint8_t *dst) {
    const bool to_565 = screen == screen_format::rgb565;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const lanes c = decode_16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 2 * x)), is_555);
        const __m128i red = _mm_slli_epi16(_mm_srli_epi16(c.red, 3), to_565 ? 11 : 10);
        const __m128i green = to_565 ? _mm_slli_epi16(_mm_srli_epi16(c.green, 2), 5)
                                     : _mm_slli_epi16(_mm_srli_epi16(c.green, 3), 5);
        const __m128i word = _mm_or_si128(_mm_or_si128(red, green), _mm_srli_epi16(c.blue, 3));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 2 * x), word);
    }
    for (; x < width; x++) {
        const uint16_t v = (uint16_t)pack_screen(decode_pixel(src + 2 * x, 16, is_555, no_palette), screen);
        memcpy(dst + 2 * x, &v, 2);
    }
}

void row_8(const row_converter &c, const uint8_t *src, int width, uint8_t *dst) {
    if (c.screen == screen_format::xrgb8888) {
        for (int x = 0; x < width; x++) memcpy(dst + 4 * x, &c.palette_screen[src[x]], 4);
        return;
    }
    for (int x = 0; x < width; x++) {
        const uint16_t v = (uint16_t)c.palette_screen[src[x]];
        memcpy(dst + 2 * x, &v, 2);
    }
}

// 24- and 32-bit displays (blue, green, red in their first three bytes).
void row_true_colour(const row_converter &c, const uint8_t *src, int width, uint8_t *dst) {
    const int step = c.bits / 8;
    if (c.screen == screen_format::xrgb8888) {
        for (int x = 0; x < width; x++, src += step) {
            const uint32_t v = 0xFF000000u | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
            memcpy(dst + 4 * x, &v, 4);
        }
        return;
    }
    for (int x = 0; x < width; x++, src += step) {
        const uint16_t v = (uint16_t)pack_screen(rgb_colour{src[2], src[1], src[0]}, c.screen);
        memcpy(dst + 2 * x, &v, 2);
    }
}

}  // namespace

void converter_prepare(row_converter &c, int bits, bool is_555, const rgb_palette &palette,
                       screen_format screen) {
    c.bits = bits;
    c.is_555 = bits == 16 && is_555;
    c.screen = screen;
    c.copies = (bits == 32 && screen == screen_format::xrgb8888) ||
               (bits == 16 && !c.is_555 && screen == screen_format::rgb565);
    if (bits == 8)
        for (int i = 0; i < 256; i++) c.palette_screen[i] = pack_screen(palette[i], screen);
}

void convert_row(const row_converter &c, const uint8_t *src, int width, uint8_t *dst) {
    if (width <= 0) return;
    if (c.copies) {
        memcpy(dst, src, (size_t)width * screen_bytes(c.screen));
        return;
    }
    switch (c.bits) {
    case 8: row_8(c, src, width, dst); break;
    case 16:
        if (c.screen == screen_format::xrgb8888)
            row_16_to_xrgb(src, width, c.is_555, dst);
        else
            row_16_to_16(src, width, c.is_555, c.screen, dst);
        break;
    case 24:
    case 32: row_true_colour(c, src, width, dst); break;
    default: memset(dst, 0, (size_t)width * screen_bytes(c.screen)); break;
    }
}

}  // namespace plat
