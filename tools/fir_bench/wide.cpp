// wide.cpp - the table of wide kernels and what this processor and
// operating system can run. Compiled for baseline x86-64 like the rest of
// fir-bench: nothing here executes a wider instruction.
#include "tools/fir_bench/wide.h"

#include <cstring>

const fir_wide_kernel fir_wide_kernels[fir_wide_kernel_count] = {
    {"avx", 8, cpu_avx, fir_avx},
    {"avx512", 16, cpu_avx | cpu_avx512f, fir_avx512},
    {"avx2-fma", 8, cpu_avx | cpu_avx2 | cpu_fma, fir_avx2_fma},
    {"avx512-fma", 16, cpu_avx | cpu_avx512f | cpu_fma, fir_avx512_fma},
};

const fir_wide_kernel *fir_wide_find(const char *name)
{
    for (const fir_wide_kernel &kernel : fir_wide_kernels)
        if (!std::strcmp(kernel.name, name))
            return &kernel;
    return nullptr;
}

bool fir_wide_supported(const fir_wide_kernel &kernel)
{
    return cpu_supports(kernel.needs);
}

std::string fir_wide_missing(const fir_wide_kernel &kernel)
{
    return cpu_missing(kernel.needs);
}
