// avx512.cpp - the `avx512` kernel: sixteen outputs per step, four
// groups of four in one 512-bit register, bit-identical to the four-lane
// kernel, a step at a time or two. Built for AVX-512F (WIDE_TARGET); called
// only where AVX-512F runs.
#define WIDE_TARGET [[gnu::target("avx512f")]]
#include "tools/fir_bench/ops512.h"
#include "tools/fir_bench/wide.h"
#include "tools/fir_bench/wide_kernel.h"

WIDE_TARGET void fir_avx512(const float *padded_input, int n, const float *coef_block, float *output)
{
    wide_filter<ops512>(padded_input, n, coef_block, output);
}

WIDE_TARGET void fir_avx512_two_steps(const float *padded_input, int n, const float *coef_block, float *output)
{
    wide_filter_two_steps<ops512>(padded_input, n, coef_block, output);
}
