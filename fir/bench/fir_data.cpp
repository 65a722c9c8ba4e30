// fir_data.cpp - the benchmark's generated samples and taps.
#include "fir/bench/fir_kernels.h"

uint32_t fir_random_state = 0;

void fir_seed_random(uint32_t seed)
{
    fir_random_state = seed;
}

// Linear congruential step modulo 2^32; the draw is bits 16..30 of the state.
int fir_next_random()
{
    fir_random_state = fir_random_state * 214013u + 2531011u;
    return static_cast<int>((fir_random_state >> 16) & 32767u);
}

void fir_make_data(float *input, float *taps)
{
    // The scales are the floats nearest to 1/1234 and 1/19828; a float
    // product of a draw (exact as a float) rounds once, as required.
    constexpr float input_scale = 1.0f / 1234.0f;
    constexpr float tap_scale = 1.0f / 19828.0f;

    fir_seed_random(42);
    for (int k = 0; k < fir::sample_count; k++)
        input[k] = static_cast<float>(fir_next_random()) * input_scale;
    for (int k = 0; k < fir::tap_count; k++)
        taps[k] = static_cast<float>(fir_next_random()) * tap_scale;
}
