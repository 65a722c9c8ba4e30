// wide.cpp - the table of wide kernels and what this processor and
// operating system can run. Compiled for baseline x86-64 like the rest of
// fir-bench: nothing here executes a wider instruction.
#include "tools/fir_bench/wide.h"

#include <cpuid.h>

#include <cstring>

const fir_wide_kernel fir_wide_kernels[fir_wide_kernel_count] = {
    {"avx", 8, fir_wide_avx, fir_avx},
    {"avx512", 16, fir_wide_avx | fir_wide_avx512, fir_avx512},
    {"avx2-fma", 8, fir_wide_avx | fir_wide_avx2 | fir_wide_fma, fir_avx2_fma},
    {"avx512-fma", 16, fir_wide_avx | fir_wide_avx512 | fir_wide_fma, fir_avx512_fma},
};

const fir_wide_kernel *fir_wide_find(const char *name)
{
    for (const fir_wide_kernel &kernel : fir_wide_kernels)
        if (!std::strcmp(kernel.name, name))
            return &kernel;
    return nullptr;
}

namespace {

// XCR0, the register state the operating system saves and restores: bit 1
// SSE, bit 2 the upper halves of the YMM registers, bits 5..7 the AVX-512
// opmask registers, the upper halves of ZMM0..15 and ZMM16..31.
constexpr unsigned long long ymm_state = 0x6;
constexpr unsigned long long zmm_state = 0xe6;

unsigned long long saved_state()
{
    unsigned low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

unsigned find_available()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return 0;
    bool has_avx = c & bit_AVX, has_fma = c & bit_FMA;
    // Without OSXSAVE the system keeps no extended state, and xgetbv faults.
    if (!(c & bit_OSXSAVE))
        return 0;
    unsigned long long state = saved_state();
    if (!has_avx || (state & ymm_state) != ymm_state)
        return 0;

    unsigned found = fir_wide_avx | (has_fma ? fir_wide_fma : 0u);
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) {
        if (b & bit_AVX2)
            found |= fir_wide_avx2;
        if ((b & bit_AVX512F) && (state & zmm_state) == zmm_state)
            found |= fir_wide_avx512;
    }
    return found;
}

}  // namespace

unsigned fir_wide_available()
{
    static const unsigned available = find_available();
    return available;
}

bool fir_wide_supported(const fir_wide_kernel &kernel)
{
    return (fir_wide_available() & kernel.needs) == kernel.needs;
}
