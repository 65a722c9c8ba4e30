// wide.cpp - the table of wide kernels and what this processor and
// operating system can run. Compiled for baseline x86-64 like the rest of
// fir-bench: nothing here executes a wider instruction.
#include "tools/fir_bench/wide.h"

#include <cstring>
#include <vector>

#include "fir/bench/fir_kernels.h"
#include "tools/shared/rounds.h"

namespace {

const fir_wide_variant avx512_variants[] = {
    {"one-step", fir_avx512},
    {"two-steps", fir_avx512_two_steps},
};

constexpr int trial_rounds = 9;
constexpr int trial_calls = 64;   // a round: about 15 us of the 16-lane kernel

}  // namespace

fir_wide_kernel fir_wide_kernels[fir_wide_kernel_count] = {
    {"avx", 8, cpu_avx, fir_avx, nullptr, 0, nullptr},
    {"avx512", 16, cpu_avx | cpu_avx512f, fir_avx512, avx512_variants, 2, "one-step"},
    {"avx2-fma", 8, cpu_avx | cpu_avx2 | cpu_fma, fir_avx2_fma, nullptr, 0, nullptr},
    {"avx512-fma", 16, cpu_avx | cpu_avx512f | cpu_fma, fir_avx512_fma, nullptr, 0, nullptr},
};

void fir_wide_choose_variants(const float *padded_input, const float *coef_block, float *output)
{
    for (fir_wide_kernel &kernel : fir_wide_kernels) {
        if (kernel.variant_count < 2 || !fir_wide_supported(kernel))
            continue;
        // rounds in turns; each variant against the first by the median of
        // the rounds' ratios
        std::vector<std::vector<double>> ms(size_t(kernel.variant_count));
        for (int round = 0; round < trial_rounds; round++)
            for (int v = 0; v < kernel.variant_count; v++) {
                const double start = thread_clock_ms();
                for (int call = 0; call < trial_calls; call++)
                    kernel.variants[v].run(padded_input, fir::sample_count, coef_block, output);
                ms[size_t(v)].push_back(thread_clock_ms() - start);
            }
        int fastest = 0;
        double best = 1.0;
        for (int v = 1; v < kernel.variant_count; v++) {
            const double times_as_fast = median_of(per_round_ratios(ms[0], ms[size_t(v)]));
            if (times_as_fast > best) {
                best = times_as_fast;
                fastest = v;
            }
        }
        kernel.run = kernel.variants[fastest].run;
        kernel.variant = kernel.variants[fastest].name;
    }
}

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
