// pixel_convert.cpp - display rows into a screen's format: a copy where the
// formats agree, a table at 8 bits, SSE2 for the rest (the 16-bit channels
// widened exactly as widen_5/widen_6 do); the last few pixels of a row go
// one by one.
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
    const uint32_t *table = c.palette_screen.data();
    if (c.screen == screen_format::xrgb8888) {
        int x = 0;
        for (; x + 4 <= width; x += 4)  // one store for four pixels
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 4 * x),
                             _mm_setr_epi32((int)table[src[x]], (int)table[src[x + 1]], (int)table[src[x + 2]],
                                            (int)table[src[x + 3]]));
        for (; x < width; x++) memcpy(dst + 4 * x, &table[src[x]], 4);
        return;
    }
    int x = 0;
    for (; x + 8 <= width; x += 8)  // one store for eight pixels
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 2 * x),
                         _mm_setr_epi16((short)table[src[x]], (short)table[src[x + 1]], (short)table[src[x + 2]],
                                        (short)table[src[x + 3]], (short)table[src[x + 4]], (short)table[src[x + 5]],
                                        (short)table[src[x + 6]], (short)table[src[x + 7]]));
    for (; x < width; x++) {
        const uint16_t v = (uint16_t)table[src[x]];
        memcpy(dst + 2 * x, &v, 2);
    }
}

// A 24- or 32-bit display pixel as a little-endian word whose low three
// bytes are blue, green, red; a 24-bit pixel is read byte by byte, as it
// may be the last of the memory.
inline uint32_t true_colour_word(const uint8_t *p, bool is_24) {
    uint32_t v;
    if (is_24)
        v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    else
        memcpy(&v, p, 4);
    return v;
}

inline uint32_t word_to_16(uint32_t v, screen_format screen) {
    if (screen == screen_format::rgb565) return (v >> 8 & 0xF800) | (v >> 5 & 0x07E0) | (v >> 3 & 0x1F);
    return (v >> 9 & 0x7C00) | (v >> 6 & 0x03E0) | (v >> 3 & 0x1F);
}

// Four true-colour pixels (one per 32-bit lane, top byte ignored) into
// 16-bit words, each sign-extended so that the saturating pack keeps it.
inline __m128i four_to_16(__m128i p, bool to_565) {
    const __m128i red = _mm_and_si128(_mm_srli_epi32(p, to_565 ? 8 : 9), _mm_set1_epi32(to_565 ? 0xF800 : 0x7C00));
    const __m128i green = _mm_and_si128(_mm_srli_epi32(p, to_565 ? 5 : 6), _mm_set1_epi32(to_565 ? 0x07E0 : 0x03E0));
    const __m128i blue = _mm_and_si128(_mm_srli_epi32(p, 3), _mm_set1_epi32(0x1F));
    const __m128i word = _mm_or_si128(_mm_or_si128(red, green), blue);
    return _mm_srai_epi32(_mm_slli_epi32(word, 16), 16);
}

// Four 24-bit pixels from one 16-byte load (12 bytes used) into 32-bit
// lanes, each with a stray top byte.
inline __m128i four_of_24(const uint8_t *src) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
    const __m128i first = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));                   // pixels 0, 1
    const __m128i second = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));  // pixels 2, 3
    return _mm_unpacklo_epi64(first, second);
}

// 32 bits into 16: eight pixels a step.
void row_32_to_16(const uint8_t *src, int width, screen_format screen, uint8_t *dst) {
    const bool to_565 = screen == screen_format::rgb565;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i low = four_to_16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 4 * x)), to_565);
        const __m128i high = four_to_16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 4 * x + 16)), to_565);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 2 * x), _mm_packs_epi32(low, high));
    }
    for (; x < width; x++) {
        const uint16_t v = (uint16_t)word_to_16(true_colour_word(src + 4 * x, false), screen);
        memcpy(dst + 2 * x, &v, 2);
    }
}

// 24 bits into 16: eight pixels a step; the loads never pass the row's end
// (the last pixels go one by one).
void row_24_to_16(const uint8_t *src, int width, screen_format screen, uint8_t *dst) {
    const bool to_565 = screen == screen_format::rgb565;
    int x = 0;
    for (; x + 10 <= width; x += 8, src += 24) {
        const __m128i low = four_to_16(four_of_24(src), to_565);
        const __m128i high = four_to_16(four_of_24(src + 12), to_565);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 2 * x), _mm_packs_epi32(low, high));
    }
    for (; x < width; x++, src += 3) {
        const uint16_t out = (uint16_t)word_to_16(true_colour_word(src, true), screen);
        memcpy(dst + 2 * x, &out, 2);
    }
}

// 24 bits into blue, green, red, 0xFF: four pixels a step.
void row_24_to_xrgb(const uint8_t *src, int width, uint8_t *dst) {
    const __m128i alpha = _mm_set1_epi32((int)0xFF000000u);
    int x = 0;
    for (; x + 6 <= width; x += 4, src += 12)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 4 * x), _mm_or_si128(four_of_24(src), alpha));
    for (; x < width; x++, src += 3) {
        const uint32_t out = 0xFF000000u | true_colour_word(src, true);
        memcpy(dst + 4 * x, &out, 4);
    }
}

// 24- and 32-bit displays (blue, green, red in their first three bytes).
void row_true_colour(const row_converter &c, const uint8_t *src, int width, uint8_t *dst) {
    if (c.bits == 24 && c.screen == screen_format::xrgb8888)
        row_24_to_xrgb(src, width, dst);
    else if (c.bits == 24)
        row_24_to_16(src, width, c.screen, dst);
    else
        row_32_to_16(src, width, c.screen, dst);  // 32 into 32 is a copy
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
