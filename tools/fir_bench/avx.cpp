// avx.cpp - the `avx` kernel: eight outputs per step, two groups of
// four in one 256-bit register, bit-identical to the four-lane kernel.
// Built for AVX (WIDE_TARGET); called only where AVX runs.
#define WIDE_TARGET [[gnu::target("avx")]]
#include "tools/fir_bench/ops256.h"
#include "tools/fir_bench/wide.h"
#include "tools/fir_bench/wide_kernel.h"

WIDE_TARGET void fir_avx(const float *padded_input, int n, const float *coef_block, float *output)
{
    wide_filter<ops256>(padded_input, n, coef_block, output);
}
