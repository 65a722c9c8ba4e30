// avx512_fma.cpp - the `avx512-fma` kernel: the `avx512` kernel
// with each multiply fused into its add, and a partial sum's first term a
// plain product (no addition to zero). Built for AVX-512F (WIDE_TARGET),
// whose fused multiply-add this is.
#define WIDE_TARGET [[gnu::target("avx512f")]]
#include "tools/fir_bench/ops512.h"
#include "tools/fir_bench/wide.h"
#include "tools/fir_bench/wide_kernel.h"

namespace {

struct fused512 : ops512 {
    WIDE_TARGET static vec first(vec c, vec w) { return _mm512_mul_ps(c, w); }
    WIDE_TARGET static vec next(vec acc, vec c, vec w) { return _mm512_fmadd_ps(c, w, acc); }
};

}  // namespace

WIDE_TARGET void fir_avx512_fma(const float *padded_input, int n, const float *coef_block, float *output)
{
    wide_filter<fused512>(padded_input, n, coef_block, output);
}
