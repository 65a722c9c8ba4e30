// stream_copy.cpp - streaming stores (SSE2, on every x86-64) where the
// target allows them; a plain copy elsewhere (the browser).
#include "platform/stream_copy.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

#if defined(__SSE2__)

void stream_copy_row(uint8_t *dst, const uint8_t *src, size_t bytes) {
    // the unaligned head by an ordinary copy, then 16-byte aligned
    // streaming stores, then the tail
    const size_t head = std::min(bytes, (size_t)(-(uintptr_t)dst & 15));
    std::memcpy(dst, src, head);
    dst += head, src += head, bytes -= head;
    for (; bytes >= 64; dst += 64, src += 64, bytes -= 64) {
        const __m128i a = _mm_loadu_si128((const __m128i *)src);
        const __m128i b = _mm_loadu_si128((const __m128i *)(src + 16));
        const __m128i c = _mm_loadu_si128((const __m128i *)(src + 32));
        const __m128i d = _mm_loadu_si128((const __m128i *)(src + 48));
        _mm_stream_si128((__m128i *)dst, a);
        _mm_stream_si128((__m128i *)(dst + 16), b);
        _mm_stream_si128((__m128i *)(dst + 32), c);
        _mm_stream_si128((__m128i *)(dst + 48), d);
    }
    for (; bytes >= 16; dst += 16, src += 16, bytes -= 16)
        _mm_stream_si128((__m128i *)dst, _mm_loadu_si128((const __m128i *)src));
    std::memcpy(dst, src, bytes);
}

void stream_copy_done() { _mm_sfence(); }

#else

void stream_copy_row(uint8_t *dst, const uint8_t *src, size_t bytes) { std::memcpy(dst, src, bytes); }
void stream_copy_done() {}

#endif

}  // namespace plat
