// fir_scalar.cpp - the reference kernel: one output at a time, every product
// and the running sum in double precision, one rounding at the store.
#include "fir/bench/fir_kernels.h"

void fir_scalar(const float *input, int n, const float *taps, int tap_total, float *output)
{
    for (int i = 0; i < n; i++) {
        double sum = 0.0;
        // Test every tap against the start of the block; no early exit.
        for (int j = 0; j < tap_total; j++) {
            if (i - j >= 0)
                sum += static_cast<double>(input[i - j]) * static_cast<double>(taps[j]);
        }
        output[i] = static_cast<float>(sum);
    }
}
