// fir_kernels.h - the FIR benchmark's data, its two 16-tap filter kernels and
// the aligned buffers the vector kernel needs.
//
//   float input[1024], taps[16], out[1024];
//   fir_make_data(input, taps);                   // seeded, always the same
//   fir_scalar(input, 1024, taps, 16, out);       // reference kernel
//
//   float *padded, *coef, *vout; void *blocks[3];
//   fir_prepare_vector(input, &padded, taps, &coef, &vout, blocks);
//   fir_clear(reinterpret_cast<uint32_t *>(vout), 1024);
//   fir_vector(padded, 1024, coef, vout);         // four outputs per step
//   free(blocks[0]); free(blocks[1]); free(blocks[2]);  // caller frees
//
// Both kernels compute y[i] = sum over j of h[j] * x[i - j], samples before
// x[0] being zero.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fir {

constexpr int sample_count = 1024;   // samples per block and outputs per call
constexpr int tap_count = 16;        // taps of the filter
constexpr int padded_floats = sample_count + tap_count;   // 16 zeros, then x
constexpr int coef_floats = 80;      // twenty 4-float coefficient vectors

// Bytes requested for the three vector blocks: the used size plus 16, room
// for moving the start up to the next 16-byte boundary.
constexpr std::size_t padded_input_bytes = padded_floats * sizeof(float) + 16;
constexpr std::size_t vector_output_bytes = sample_count * sizeof(float) + 16;
constexpr std::size_t coef_block_bytes = coef_floats * sizeof(float) + 16;

}  // namespace fir

// State of the benchmark's pseudo-random generator.
extern uint32_t fir_random_state;

// Where fir_prepare_vector takes its heap blocks; malloc unless a test points
// it at an allocator of its own. The blocks are released with free().
extern void *(*fir_allocate)(std::size_t bytes);

void fir_seed_random(uint32_t seed);
int fir_next_random();   // 0..32767

void fir_make_data(float *input, float *taps);

// n outputs from n inputs with tap_total taps; nothing when n <= 0, zeros when
// tap_total <= 0.
void fir_scalar(const float *input, int n, const float *taps, int tap_total, float *output);

// Allocates and fills the padded input, the coefficient block and the output
// block (16-byte aligned pointers) and stores the raw heap pointers in
// mem_ptr[0..2] (input, output, coefficients) for the caller to free. Ends the
// process with status -1 when an allocation fails.
void fir_prepare_vector(const float *input, float **padded_input, const float *taps,
                        float **coef_block, float **vector_output, void **mem_ptr);

// n outputs, written in whole groups of four: a count that is not a multiple
// of four leaves the last n % 4 outputs unwritten (the padded input holds no
// samples for a partial group to read). Nothing when n <= 0. All three
// pointers must be 16-byte aligned.
void fir_vector(const float *padded_input, int n, const float *coef_block, float *vector_output);

// Sets count words to zero; nothing when count <= 0.
void fir_clear(uint32_t *words, int count);

// Returns when pointer is not null; otherwise reports the name on standard
// error and ends the process with status -1.
void fir_check_alloc(const char *name, const void *pointer);
