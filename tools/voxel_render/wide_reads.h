// wide_reads.h - the two ways the wide renderers read the maps, for
// wide_pass.h: the heights under each group's lane 0 at every step, and a
// group's four colour elements when a span starts. Both read the same
// bytes; which is faster depends on the processor (a gather instruction is
// cheap on some and costs more than a whole step on others), so the
// renderers are built with each and a timed trial at start-up picks one
// (render_paths.h). Internal to the files that include wide_pass.h.
#pragma once
#include <immintrin.h>

#include <cstdint>

#include "voxel/render/vector_rays.h"

#ifndef WIDE_TARGET
#error "define WIDE_TARGET (the target attribute) before including wide_reads.h"
#endif

namespace {

// One load per element, put together in a register.
struct scalar_reads {
    static constexpr const char *name = "scalar-reads";

    // The heights under lane 0 of each group of the map indices (of the
    // groups there are), as 8 x sample in the group lanes.
    template <class ops>
    WIDE_TARGET static __m128 heights(typename ops::ivec indices, const uint8_t *map)
    {
        alignas(64) uint32_t index[4 * ops::groups];
        ops::store_indices(index, indices);
        const float *h = vector_rays::sample_height.data();
        if constexpr (ops::groups == 2)
            return _mm_setr_ps(h[map[index[0]]], h[map[index[4]]], 0.0f, 0.0f);
        else
            return _mm_setr_ps(h[map[index[0]]], h[map[index[4]]], h[map[index[8]]], h[map[index[12]]]);
    }

    // One group's row from its four lanes' map indices: the elements side
    // by side in the low 4 * bpp bytes.
    template <int bpp>
    WIDE_TARGET static __m128i row(const uint32_t *index, const uint8_t *colours)
    {
        using vector_rays::colour_element;
        const uint64_t e0 = colour_element<bpp>(colours, index[0]), e1 = colour_element<bpp>(colours, index[1]);
        const uint64_t e2 = colour_element<bpp>(colours, index[2]), e3 = colour_element<bpp>(colours, index[3]);
        constexpr int bits = 8 * bpp;
        if constexpr (bpp == 4)
            return _mm_insert_epi32(
                _mm_insert_epi32(_mm_insert_epi32(_mm_cvtsi32_si128(int(e0)), int(e1), 1), int(e2), 2), int(e3), 3);
        else if constexpr (bpp == 3)
            return _mm_set_epi64x(static_cast<long long>(e2 >> 16 | e3 << 8),
                                  static_cast<long long>(e0 | e1 << 24 | e2 << 48));
        else
            return _mm_cvtsi64_si128(static_cast<long long>(e0 | e1 << bits | e2 << 2 * bits | e3 << 3 * bits));
    }
};

// One gather instruction for the four heights and for a group's colours at
// 8, 16 and 32 bits (at 24 bits an element may straddle two words: read as
// scalar_reads does). An element narrower than a word is read as the whole
// word that holds it, from the map's start in steps of 4 bytes: every map
// is a whole number of words long, so no read passes its end.
struct gather_reads {
    static constexpr const char *name = "gathers";

    // The elements of `bytes` bytes (1 or 2) at the indices, each in the low
    // bits of its lane.
    template <int bytes>
    WIDE_TARGET static __m128i small_elements(const uint8_t *map, __m128i index)
    {
        constexpr int per_word = 4 / bytes;
        const __m128i word = _mm_srli_epi32(index, per_word == 4 ? 2 : 1);
        const __m128i words = _mm_i32gather_epi32(reinterpret_cast<const int *>(map), word, 4);
        const __m128i shift = _mm_slli_epi32(_mm_and_si128(index, _mm_set1_epi32(per_word - 1)), bytes == 1 ? 3 : 4);
        return _mm_and_si128(_mm_srlv_epi32(words, shift), _mm_set1_epi32(bytes == 1 ? 0xFF : 0xFFFF));
    }

    template <class ops>
    WIDE_TARGET static __m128 heights(typename ops::ivec indices, const uint8_t *map)
    {
        const __m128i samples = small_elements<1>(map, ops::lane0s(indices));
        // 8 x sample, exactly as the table holds it
        return _mm_mul_ps(_mm_cvtepi32_ps(samples), _mm_set1_ps(8.0f));
    }

    template <int bpp>
    WIDE_TARGET static __m128i row(const uint32_t *index, const uint8_t *colours)
    {
        const __m128i at = _mm_load_si128(reinterpret_cast<const __m128i *>(index));
        if constexpr (bpp == 4) {
            return _mm_i32gather_epi32(reinterpret_cast<const int *>(colours), at, 4);
        } else if constexpr (bpp == 2) {
            const __m128i e = small_elements<2>(colours, at);
            return _mm_packus_epi32(e, e);
        } else if constexpr (bpp == 1) {
            const __m128i e = small_elements<1>(colours, at);
            const __m128i words = _mm_packus_epi32(e, e);
            return _mm_packus_epi16(words, words);
        } else {
            return scalar_reads::row<bpp>(index, colours);
        }
    }
};

}  // namespace
