// fir_vector.cpp - the four-lane kernel: per group of four outputs, five
// aligned input windows against nineteen coefficient vectors whose taps are
// shifted one float per block, then a two-level interleave-and-add that
// leaves output b + k in lane k.
#include "fir/bench/fir_kernels.h"

#include <xmmintrin.h>

// The coefficient vector Vk, k = 0..19.
static inline __m128 coef_vector(const float *coef_block, int k)
{
    return _mm_load_ps(coef_block + 4 * k);
}

// acc + c * w, lane by lane.
static inline __m128 add_product(__m128 acc, __m128 c, __m128 w)
{
    return _mm_add_ps(acc, _mm_mul_ps(c, w));
}

// a + b lane pairs: (a0 + a2, b0 + b2, a1 + a3, b1 + b3).
static inline __m128 interleave_add(__m128 a, __m128 b)
{
    return _mm_add_ps(_mm_unpacklo_ps(a, b), _mm_unpackhi_ps(a, b));
}

void fir_vector(const float *padded_input, int n, const float *coef_block, float *vector_output)
{
    // The coefficient vectors are the same for every group. Six of them
    // (V5..V10) stay in registers for the whole loop; the other thirteen are
    // read from the block where they are needed: the loop's five windows,
    // four sums, zero and a product take the remaining ten registers, and
    // keeping more would spill them to the stack. V4 (zeros) is never read.
    const float *v = coef_block;
    const __m128 v5 = coef_vector(v, 5), v6 = coef_vector(v, 6), v7 = coef_vector(v, 7);
    const __m128 v8 = coef_vector(v, 8), v9 = coef_vector(v, 9), v10 = coef_vector(v, 10);
    const __m128 zero = _mm_setzero_ps();

    // Group b covers outputs b..b+3; its newest window starts at p[b + 16].
    for (int b = 0; b + 4 <= n; b += 4) {
        const float *p = padded_input + b + fir::tap_count;

        // Load the five windows, newest first.
        __m128 w0 = _mm_load_ps(p);
        __m128 w1 = _mm_load_ps(p - 4);
        __m128 w2 = _mm_load_ps(p - 8);
        __m128 w3 = _mm_load_ps(p - 12);
        __m128 w4 = _mm_load_ps(p - 16);

        // Bring the next group's newest window towards every cache level.
        _mm_prefetch(reinterpret_cast<const char *>(p + 4), _MM_HINT_T0);

        // Partial sums, one per output of the group, each from zero and
        // window by window: P0 from V9..V5, P1 from V14..V10, P2 from
        // V19..V15, P3 from V3..V0 (no W4 term).
        __m128 p0 = add_product(zero, v9, w0);
        __m128 p1 = add_product(zero, coef_vector(v, 14), w0);
        __m128 p2 = add_product(zero, coef_vector(v, 19), w0);
        __m128 p3 = add_product(zero, coef_vector(v, 3), w0);
        p0 = add_product(p0, v8, w1);
        p1 = add_product(p1, coef_vector(v, 13), w1);
        p2 = add_product(p2, coef_vector(v, 18), w1);
        p3 = add_product(p3, coef_vector(v, 2), w1);
        p0 = add_product(p0, v7, w2);
        p1 = add_product(p1, coef_vector(v, 12), w2);
        p2 = add_product(p2, coef_vector(v, 17), w2);
        p3 = add_product(p3, coef_vector(v, 1), w2);
        p0 = add_product(p0, v6, w3);
        p1 = add_product(p1, coef_vector(v, 11), w3);
        p2 = add_product(p2, coef_vector(v, 16), w3);
        p3 = add_product(p3, coef_vector(v, 0), w3);
        p0 = add_product(p0, v5, w4);
        p1 = add_product(p1, v10, w4);
        p2 = add_product(p2, coef_vector(v, 15), w4);

        // Fold the lanes: lane k of the result is the whole sum of output b + k.
        __m128 q = interleave_add(p0, p2);
        __m128 r = interleave_add(p1, p3);
        _mm_store_ps(vector_output + b, interleave_add(q, r));
    }
}
