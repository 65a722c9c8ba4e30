// fir_test_data.h - the generated benchmark block and the vector kernel's
// buffers, made once per test and released with it.
#pragma once
#include "fir/bench/fir_kernels.h"

#include <array>
#include <cstdlib>
#include <cstring>

struct generated_block {
    std::array<float, fir::sample_count> input{};
    std::array<float, fir::tap_count> taps{};
    generated_block() { fir_make_data(input.data(), taps.data()); }
};

// The vector kernel's three blocks for an input and taps, freed at the end.
struct vector_buffers {
    float *padded = nullptr, *coef = nullptr, *output = nullptr;
    void *blocks[3] = {nullptr, nullptr, nullptr};

    vector_buffers(const float *input, const float *taps)
    {
        fir_prepare_vector(input, &padded, taps, &coef, &output, blocks);
    }
    ~vector_buffers()
    {
        for (void *block : blocks)
            std::free(block);
    }
    vector_buffers(const vector_buffers &) = delete;
    vector_buffers &operator=(const vector_buffers &) = delete;
};

// Bit pattern of a float, for exact comparisons.
inline uint32_t float_bits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
