// wide.h - fir-bench's wider kernels: the four-lane kernel's
// filter on 256-bit (AVX) and 512-bit (AVX-512) registers, each file compiled
// for its own instruction set and called only where this processor and the
// operating system can run it.
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

// The instruction-set extensions a kernel needs, as bits.
enum : unsigned {
    fir_wide_avx = 1u,      // AVX instructions and the OS saving YMM state
    fir_wide_avx2 = 2u,     // AVX2
    fir_wide_fma = 4u,      // FMA3
    fir_wide_avx512 = 8u,   // AVX-512F and the OS saving opmask and ZMM state
};

struct fir_wide_kernel {
    const char *name;   // its fir-bench name: "avx", "avx512", "avx2-fma", "avx512-fma"
    int step;           // outputs per step: 8 or 16
    unsigned needs;     // fir_wide_* bits
    void (*run)(const float *padded_input, int n, const float *coef_block, float *output);
};

// The kernels, in the order fir-bench prints them.
constexpr int fir_wide_kernel_count = 4;
extern const fir_wide_kernel fir_wide_kernels[fir_wide_kernel_count];

// The kernel of that name, or null.
const fir_wide_kernel *fir_wide_find(const char *name);

// The fir_wide_* bits this processor and operating system support (cpuid,
// and xgetbv for the register state the system saves), found once.
unsigned fir_wide_available();

bool fir_wide_supported(const fir_wide_kernel &kernel);

void fir_avx(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx512(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx2_fma(const float *padded_input, int n, const float *coef_block, float *output);
void fir_avx512_fma(const float *padded_input, int n, const float *coef_block, float *output);
