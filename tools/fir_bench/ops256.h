// ops256.h - 256-bit register operations for wide_kernel.h, for the files
// built for AVX (avx.cpp, avx2_fma.cpp) through their WIDE_TARGET. Internal
// to each including file.
#pragma once
#include <immintrin.h>

namespace {

struct ops256 {
    using vec = __m256;
    static constexpr int lanes = 8;

    WIDE_TARGET static vec load(const float *p) { return _mm256_loadu_ps(p); }
    WIDE_TARGET static void store(float *p, vec a) { _mm256_storeu_ps(p, a); }
    // Coefficient vector Vk in both 128-bit parts.
    WIDE_TARGET static vec coef(const float *block, int k)
    {
        __m128 v = _mm_loadu_ps(block + 4 * k);
        return _mm256_set_m128(v, v);
    }
    WIDE_TARGET static vec add(vec a, vec b) { return _mm256_add_ps(a, b); }
    WIDE_TARGET static vec unpacklo(vec a, vec b) { return _mm256_unpacklo_ps(a, b); }
    WIDE_TARGET static vec unpackhi(vec a, vec b) { return _mm256_unpackhi_ps(a, b); }

    // A partial sum's first term (zero + c * w) and each further one, as the
    // four-lane kernel rounds them.
    WIDE_TARGET static vec first(vec c, vec w) { return _mm256_add_ps(_mm256_setzero_ps(), _mm256_mul_ps(c, w)); }
    WIDE_TARGET static vec next(vec acc, vec c, vec w) { return _mm256_add_ps(acc, _mm256_mul_ps(c, w)); }
};

}  // namespace
