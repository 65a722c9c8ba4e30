// fir_buffers.cpp - the vector kernel's aligned blocks, the coefficient
// layout, clearing, and the allocation check.
#include "fir/bench/fir_kernels.h"

#include <cstdio>
#include <cstdlib>

void *(*fir_allocate)(std::size_t bytes) = std::malloc;

void fir_check_alloc(const char *name, const void *pointer)
{
    if (pointer != nullptr)
        return;
    std::fprintf(stderr, "ERROR --- malloc failed on pointer %s, exitting...\n", name);
    std::exit(-1);
}

// First 16-byte boundary at or after the block's start.
static float *align_16(void *block)
{
    return reinterpret_cast<float *>((reinterpret_cast<uintptr_t>(block) + 15) & ~uintptr_t{15});
}

static float *allocate_aligned(std::size_t bytes, const char *name, void **raw)
{
    *raw = fir_allocate(bytes);
    fir_check_alloc(name, *raw);
    return align_16(*raw);
}

void fir_prepare_vector(const float *input, float **padded_input, const float *taps,
                        float **coef_block, float **vector_output, void **mem_ptr)
{
    *padded_input = allocate_aligned(fir::padded_input_bytes, "mem_ptr[0]", &mem_ptr[0]);
    *vector_output = allocate_aligned(fir::vector_output_bytes, "mem_ptr[1]", &mem_ptr[1]);
    *coef_block = allocate_aligned(fir::coef_block_bytes, "mem_ptr[2]", &mem_ptr[2]);

    // Sixteen zeros stand for the samples before x[0].
    float *padded = *padded_input;
    for (int k = 0; k < fir::tap_count; k++)
        padded[k] = 0.0f;
    for (int k = 0; k < fir::sample_count; k++)
        padded[k + fir::tap_count] = input[k];

    // Four reversed copies of the taps, each one float further into its
    // block of vectors: V0..V3 from float 0, V5..V9 from 21, V10..V14 from
    // 42, V15..V19 from 63; everything else zero.
    float *coef = *coef_block;
    for (int k = 0; k < fir::coef_floats; k++)
        coef[k] = 0.0f;
    for (int k = 0; k < fir::tap_count; k++) {
        float tap = taps[fir::tap_count - 1 - k];
        coef[k] = tap;
        coef[k + 21] = tap;
        coef[k + 42] = tap;
        coef[k + 63] = tap;
    }
}

void fir_clear(uint32_t *words, int count)
{
    for (int k = 0; k < count; k++)
        words[k] = 0;
}
