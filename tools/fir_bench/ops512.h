// ops512.h - 512-bit register operations for wide_kernel.h, for the files
// built for AVX-512F (avx512.cpp, avx512_fma.cpp) through their WIDE_TARGET.
// Internal to each including file.
#pragma once
#include <immintrin.h>

namespace {

struct ops512 {
    using vec = __m512;
    static constexpr int lanes = 16;

    WIDE_TARGET static vec load(const float *p) { return _mm512_loadu_ps(p); }
    WIDE_TARGET static void store(float *p, vec a) { _mm512_storeu_ps(p, a); }
    // The zero-masked forms with every lane kept are the plain instructions;
    // the plain intrinsics of GCC 12 start from an "undefined" register that
    // its own -Wuninitialized reports.
    static constexpr __mmask16 all = 0xffff;

    // Coefficient vector Vk in all four 128-bit parts.
    WIDE_TARGET static vec coef(const float *block, int k) { return _mm512_maskz_broadcast_f32x4(all, _mm_loadu_ps(block + 4 * k)); }
    WIDE_TARGET static vec add(vec a, vec b) { return _mm512_add_ps(a, b); }
    WIDE_TARGET static vec unpacklo(vec a, vec b) { return _mm512_maskz_unpacklo_ps(all, a, b); }
    WIDE_TARGET static vec unpackhi(vec a, vec b) { return _mm512_maskz_unpackhi_ps(all, a, b); }

    // A partial sum's first term (zero + c * w) and each further one, as the
    // four-lane kernel rounds them.
    WIDE_TARGET static vec first(vec c, vec w) { return _mm512_add_ps(_mm512_setzero_ps(), _mm512_mul_ps(c, w)); }
    WIDE_TARGET static vec next(vec acc, vec c, vec w) { return _mm512_add_ps(acc, _mm512_mul_ps(c, w)); }
};

}  // namespace
