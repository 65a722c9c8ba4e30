// wide_kernel.h - the wide kernels' loop, written once over the register
// operations of the including file (ops256.h or ops512.h, both internal to
// that file). Every function carries WIDE_TARGET, the target attribute the
// including file defines, so that each instance is built for that file's
// instruction set and nothing else in fir-bench is.
//
// A step handles lanes / 4 groups of four outputs, one group in each 128-bit
// part of a register, exactly as the four-lane kernel (fir/bench/fir_vector.cpp)
// handles its one group: the same five windows, the nineteen coefficient
// vectors (broadcast into every part), the partial sums built window by
// window in the same order, and the same two levels of interleave-and-add,
// which work within each 128-bit part.
#pragma once
#ifndef WIDE_TARGET
#error "define WIDE_TARGET (the target attribute) before including wide_kernel.h"
#endif

#include "fir/bench/fir_kernels.h"

// a + b lane pairs within each 128-bit part: (a0 + a2, b0 + b2, a1 + a3, b1 + b3).
template <class ops>
WIDE_TARGET typename ops::vec interleave_add(typename ops::vec a, typename ops::vec b)
{
    return ops::add(ops::unpacklo(a, b), ops::unpackhi(a, b));
}

// One step: the outputs b .. b + lanes - 1 from the coefficient vectors v.
template <class ops>
WIDE_TARGET inline void wide_step(const float *padded_input, int b, const typename ops::vec (&v)[20], float *output)
{
    using vec = typename ops::vec;
    const float *p = padded_input + b + fir::tap_count;

    vec w = ops::load(p);
    vec p0 = ops::first(v[9], w), p1 = ops::first(v[14], w);
    vec p2 = ops::first(v[19], w), p3 = ops::first(v[3], w);
    w = ops::load(p - 4);
    p0 = ops::next(p0, v[8], w), p1 = ops::next(p1, v[13], w);
    p2 = ops::next(p2, v[18], w), p3 = ops::next(p3, v[2], w);
    w = ops::load(p - 8);
    p0 = ops::next(p0, v[7], w), p1 = ops::next(p1, v[12], w);
    p2 = ops::next(p2, v[17], w), p3 = ops::next(p3, v[1], w);
    w = ops::load(p - 12);
    p0 = ops::next(p0, v[6], w), p1 = ops::next(p1, v[11], w);
    p2 = ops::next(p2, v[16], w), p3 = ops::next(p3, v[0], w);
    w = ops::load(p - 16);
    p0 = ops::next(p0, v[5], w), p1 = ops::next(p1, v[10], w);
    p2 = ops::next(p2, v[15], w);

    vec q = interleave_add<ops>(p0, p2);
    vec r = interleave_add<ops>(p1, p3);
    ops::store(output + b, interleave_add<ops>(q, r));
}

// The same outputs two steps at a time (two independent chains of sums in
// flight, for processors that can overlap them), then a last single step
// where the count of whole steps is odd.
template <class ops>
WIDE_TARGET void wide_filter_two_steps(const float *padded_input, int n, const float *coef_block, float *output)
{
    using vec = typename ops::vec;
    vec v[20];
    for (int k = 0; k < 20; k++)   // V4 (zeros) is read but never used
        v[k] = ops::coef(coef_block, k);
    int b = 0;
    for (; b + 2 * ops::lanes <= n; b += 2 * ops::lanes) {
        wide_step<ops>(padded_input, b, v, output);
        wide_step<ops>(padded_input, b + ops::lanes, v, output);
    }
    if (b + ops::lanes <= n)
        wide_step<ops>(padded_input, b, v, output);
}

template <class ops>
WIDE_TARGET void wide_filter(const float *padded_input, int n, const float *coef_block, float *output)
{
    using vec = typename ops::vec;
    // All nineteen coefficient vectors are read once, before the loop; V4
    // (zeros) is never read. Those the register file cannot hold are read
    // from the stack as memory operands.
    const float *c = coef_block;
    const vec v0 = ops::coef(c, 0), v1 = ops::coef(c, 1), v2 = ops::coef(c, 2), v3 = ops::coef(c, 3);
    const vec v5 = ops::coef(c, 5), v6 = ops::coef(c, 6), v7 = ops::coef(c, 7), v8 = ops::coef(c, 8);
    const vec v9 = ops::coef(c, 9), v10 = ops::coef(c, 10), v11 = ops::coef(c, 11), v12 = ops::coef(c, 12);
    const vec v13 = ops::coef(c, 13), v14 = ops::coef(c, 14), v15 = ops::coef(c, 15), v16 = ops::coef(c, 16);
    const vec v17 = ops::coef(c, 17), v18 = ops::coef(c, 18), v19 = ops::coef(c, 19);

    // Part k of step b covers outputs b + 4k .. b + 4k + 3; the window that
    // starts at p - 4j holds, in each part, that part's window Wj.
    for (int b = 0; b + ops::lanes <= n; b += ops::lanes) {
        const float *p = padded_input + b + fir::tap_count;

        vec w = ops::load(p);
        vec p0 = ops::first(v9, w), p1 = ops::first(v14, w);
        vec p2 = ops::first(v19, w), p3 = ops::first(v3, w);
        w = ops::load(p - 4);
        p0 = ops::next(p0, v8, w), p1 = ops::next(p1, v13, w);
        p2 = ops::next(p2, v18, w), p3 = ops::next(p3, v2, w);
        w = ops::load(p - 8);
        p0 = ops::next(p0, v7, w), p1 = ops::next(p1, v12, w);
        p2 = ops::next(p2, v17, w), p3 = ops::next(p3, v1, w);
        w = ops::load(p - 12);
        p0 = ops::next(p0, v6, w), p1 = ops::next(p1, v11, w);
        p2 = ops::next(p2, v16, w), p3 = ops::next(p3, v0, w);
        w = ops::load(p - 16);
        p0 = ops::next(p0, v5, w), p1 = ops::next(p1, v10, w);
        p2 = ops::next(p2, v15, w);

        vec q = interleave_add<ops>(p0, p2);
        vec r = interleave_add<ops>(p1, p3);
        ops::store(output + b, interleave_add<ops>(q, r));
    }
}
