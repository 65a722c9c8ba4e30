// wide.h - fir-bench's wider kernels: the four-lane kernel's
// filter on 256-bit (AVX) and 512-bit (AVX-512) registers, each file compiled
// for its own instruction set and called only where this processor and the
// operating system can run it (tools/shared/cpu_support.h).
//
//   const fir_wide_kernel *kernel = fir_wide_find("avx512");
//   if (kernel && fir_wide_supported(*kernel))
//       kernel->run(padded, 1024, coef, out);
//
// Every kernel takes the four-lane kernel's padded input (16 zeros, then x)
// and coefficient block (fir_prepare_vector) at any alignment, and writes n
// outputs in whole steps: a count that is not a multiple of the step leaves
// the last n % step outputs unwritten. Nothing when n <= 0.
//
// `avx` and `avx512` do in each 128-bit part of a register what the
// four-lane kernel does in its one register, in the same order, so their
// outputs are bit-identical to it. The `-fma` kernels fuse each multiply
// into its add (one rounding less per tap): their outputs differ slightly.
#pragma once
#include <string>

#include "tools/shared/cpu_support.h"

using fir_wide_run = void (*)(const float *padded_input, int n, const float *coef_block, float *output);

// One way of computing a kernel's outputs: the same bits, another speed.
struct fir_wide_variant {
    const char *name;   // "one-step", "two-steps"
    fir_wide_run run;
};

struct fir_wide_kernel {
    const char *name;   // its fir-bench name: "avx", "avx512", "avx2-fma", "avx512-fma"
    int step;           // outputs per step: 8 or 16
    unsigned needs;     // cpu_support.h bits
    fir_wide_run run;   // the chosen variant's (the first until a trial chose)
    const fir_wide_variant *variants;   // null for a kernel built one way only
    int variant_count;
    const char *variant;                // the chosen variant's name, or null
};

// The kernels, in the order fir-bench prints them.
constexpr int fir_wide_kernel_count = 4;
extern fir_wide_kernel fir_wide_kernels[fir_wide_kernel_count];

// For every kernel with variants that runs here, a short timed trial of
// each (rounds of 64 calls in turns, compared by the median of the rounds'
// ratios) on these
// buffers, the fastest kept as the kernel's run and variant.
void fir_wide_choose_variants(const float *padded_input, const float *coef_block, float *output);

// The kernel of that name, or null.
const fir_wide_kernel *fir_wide_find(const char *name);

bool fir_wide_supported(const fir_wide_kernel &kernel);

// Why the kernel cannot run here ("this processor has no AVX-512F"); empty
// when it can.
std::string fir_wide_missing(const fir_wide_kernel &kernel);

void fir_avx(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx512(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx512_two_steps(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx2_fma(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx512_fma(const float *padded_input, int n, const float *coef_block, float *output);
