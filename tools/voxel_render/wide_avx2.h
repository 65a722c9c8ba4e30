// wide_avx2.h - 256-bit register operations for wide_pass.h: the map
// positions of two groups of four columns, one group in each 128-bit half.
// Internal to render_avx2.cpp, whose WIDE_TARGET builds them for AVX2.
#pragma once
#include <immintrin.h>

#include <cstdint>

#include "voxel/render/vector_rays.h"

namespace {

struct avx2_ops {
    static constexpr int groups = 2;
    using vec = __m256;     // [X0 Y0 X1 Y1] or [X2 Y2 X3 Y3] of each group
    using ivec = __m256i;   // 32-bit lanes, four a group

    WIDE_TARGET static vec load(const float *p) { return _mm256_load_ps(p); }
    WIDE_TARGET static vec add(vec a, vec b) { return _mm256_add_ps(a, b); }
    WIDE_TARGET static vec start_positions(float x, float y) { return _mm256_setr_ps(x, y, x, y, x, y, x, y); }

    // Map cells (ix, iy) of positions: the low 9 bits of the biased sums.
    WIDE_TARGET static ivec cells(vec xy)
    {
        const vec biased = _mm256_add_ps(xy, _mm256_set1_ps(vector_rays::rounding_bias));
        return _mm256_and_si256(_mm256_castps_si256(biased), _mm256_set1_epi32(511));
    }
    // Map indices ix + 512 * iy of each part's four lanes, from the cells of
    // [X0 Y0 X1 Y1] and [X2 Y2 X3 Y3]: packed to 16-bit words, one multiply-add.
    WIDE_TARGET static ivec indices(ivec cells01, ivec cells23)
    {
        return _mm256_madd_epi16(_mm256_packs_epi32(cells01, cells23), _mm256_set1_epi32((512 << 16) | 1));
    }
    WIDE_TARGET static void store_indices(uint32_t *p, ivec v) { _mm256_store_si256(reinterpret_cast<ivec *>(p), v); }
    // Lane 0 of each group (the other two lanes repeat the first).
    WIDE_TARGET static __m128i lane0s(ivec v)
    {
        return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0)));
    }
};

}  // namespace
