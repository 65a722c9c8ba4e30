// avx2_fma.cpp - the `avx2-fma` kernel: the `avx` kernel with each
// multiply fused into its add, and a partial sum's first term a plain
// product (no addition to zero). Built for AVX2 and FMA (WIDE_TARGET).
#define WIDE_TARGET [[gnu::target("avx2,fma")]]
#include "tools/fir_bench/ops256.h"
#include "tools/fir_bench/wide.h"
#include "tools/fir_bench/wide_kernel.h"

namespace {

struct fused256 : ops256 {
    WIDE_TARGET static vec first(vec c, vec w) { return _mm256_mul_ps(c, w); }
    WIDE_TARGET static vec next(vec acc, vec c, vec w) { return _mm256_fmadd_ps(c, w, acc); }
};

}  // namespace

WIDE_TARGET void fir_avx2_fma(const float *padded_input, int n, const float *coef_block, float *output)
{
    wide_filter<fused256>(padded_input, n, coef_block, output);
}
