// wide_avx512.h - 512-bit register operations for wide_pass.h: the map
// positions of four groups of four columns, one group in each 128-bit part.
// Internal to render_avx512.cpp, whose WIDE_TARGET builds them for AVX-512F
// and AVX-512BW (the 16-bit pack and multiply-add).
#pragma once
#include <immintrin.h>

#include <cstdint>

#include "voxel/render/vector_rays.h"

namespace {

struct avx512_ops {
    static constexpr int groups = 4;
    using vec = __m512;     // [X0 Y0 X1 Y1] or [X2 Y2 X3 Y3] of each group
    using ivec = __m512i;   // 32-bit lanes, four a group

    WIDE_TARGET static vec load(const float *p) { return _mm512_load_ps(p); }
    WIDE_TARGET static vec add(vec a, vec b) { return _mm512_add_ps(a, b); }
    WIDE_TARGET static vec start_positions(float x, float y)
    {
        return _mm512_setr_ps(x, y, x, y, x, y, x, y, x, y, x, y, x, y, x, y);
    }

    // Map cells (ix, iy) of positions: the low 9 bits of the biased sums.
    WIDE_TARGET static ivec cells(vec xy)
    {
        const vec biased = _mm512_add_ps(xy, _mm512_set1_ps(vector_rays::rounding_bias));
        return _mm512_and_si512(_mm512_castps_si512(biased), _mm512_set1_epi32(511));
    }
    // Map indices ix + 512 * iy of each part's four lanes, from the cells of
    // [X0 Y0 X1 Y1] and [X2 Y2 X3 Y3]: packed to 16-bit words, one multiply-add.
    WIDE_TARGET static ivec indices(ivec cells01, ivec cells23)
    {
        return _mm512_madd_epi16(_mm512_packs_epi32(cells01, cells23), _mm512_set1_epi32((512 << 16) | 1));
    }
    WIDE_TARGET static void store_indices(uint32_t *p, ivec v) { _mm512_store_si512(p, v); }
    // Lane 0 of each group.
    WIDE_TARGET static __m128i lane0s(ivec v)
    {
        // the zero-masked forms with every lane kept are the plain
        // instructions; GCC 12's plain intrinsics start from an "undefined"
        // register that its own -Wmaybe-uninitialized reports
        const ivec lane0 = _mm512_setr_epi32(0, 4, 8, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        return _mm512_maskz_extracti32x4_epi32(0xF, _mm512_maskz_permutexvar_epi32(0xFFFF, lane0, v), 0);
    }
};

}  // namespace
