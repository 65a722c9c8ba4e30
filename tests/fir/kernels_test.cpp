// The generator, the generated data and the two filter kernels.
#include "fir_test_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr float sentinel = -12345.0f;

// Single-precision units in the last place between two positive floats.
int64_t ulp_distance(float a, float b)
{
    return std::llabs(static_cast<int64_t>(float_bits(a)) - static_cast<int64_t>(float_bits(b)));
}

// Both kernels over one input and set of taps; outputs start as sentinels.
struct both_outputs {
    std::vector<float> scalar = std::vector<float>(fir::sample_count, sentinel);
    std::vector<float> vector = std::vector<float>(fir::sample_count, sentinel);
};

both_outputs run_both(const float *input, const float *taps)
{
    both_outputs out;
    fir_scalar(input, fir::sample_count, taps, fir::tap_count, out.scalar.data());
    vector_buffers buffers(input, taps);
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
    out.vector.assign(buffers.output, buffers.output + fir::sample_count);
    return out;
}

// ---- generator and data -------------------------------------------------

TEST(fir_generator, seed_42_draws_175_400_17869_first)
{
    fir_seed_random(42);
    EXPECT_EQ(fir_next_random(), 175);
    EXPECT_EQ(fir_next_random(), 400);
    EXPECT_EQ(fir_next_random(), 17869);
}

TEST(fir_generator, draws_follow_the_32_bit_recurrence_and_stay_in_15_bits)
{
    fir_seed_random(0xFFFFFFFFu);
    int draw = fir_next_random();
    EXPECT_EQ(fir_random_state, 0xFFFFFFFFu * 214013u + 2531011u);
    EXPECT_EQ(draw, static_cast<int>((fir_random_state >> 16) & 0x7FFF));
    for (int k = 0; k < 1000; k++) {
        int next = fir_next_random();
        ASSERT_GE(next, 0);
        ASSERT_LE(next, 32767);
    }
}

TEST(fir_data, first_inputs_are_draws_scaled_by_the_float_nearest_one_over_1234)
{
    generated_block block;
    const double scale = static_cast<double>(1.0f / 1234.0f);
    // The exact product of draw and scale, rounded once.
    EXPECT_EQ(block.input[0], static_cast<float>(175.0 * scale));
    EXPECT_EQ(block.input[1], static_cast<float>(400.0 * scale));
    EXPECT_EQ(block.input[2], static_cast<float>(17869.0 * scale));
    EXPECT_NEAR(block.input[0], 0.1418152, 1e-7);
    EXPECT_NEAR(block.input[1], 0.3241491, 1e-7);
    EXPECT_NEAR(block.input[2], 14.48055, 1e-5);
}

TEST(fir_data, taps_are_draws_1025_to_1040_scaled_by_one_over_19828)
{
    generated_block block;
    fir_seed_random(42);
    for (int k = 0; k < fir::sample_count; k++)
        fir_next_random();
    const double scale = static_cast<double>(1.0f / 19828.0f);
    for (int k = 0; k < fir::tap_count; k++) {
        int draw = fir_next_random();
        if (k == 0) {
            EXPECT_EQ(draw, 12036);
        }
        EXPECT_EQ(block.taps[k], static_cast<float>(draw * scale)) << "tap " << k;
    }
    EXPECT_NEAR(block.taps[0], 0.6070204, 1e-7);
}

TEST(fir_data, values_stay_within_the_scaled_draw_range)
{
    generated_block block;
    for (float x : block.input) {
        EXPECT_GE(x, 0.0f);
        EXPECT_LE(x, 26.554f);
    }
    for (float h : block.taps) {
        EXPECT_GE(h, 0.0f);
        EXPECT_LE(h, 1.6526f);
    }
}

TEST(fir_data, same_block_at_every_call)
{
    generated_block first;
    fir_seed_random(7);
    generated_block second;
    EXPECT_EQ(first.input, second.input);
    EXPECT_EQ(first.taps, second.taps);
}

// ---- both kernels on the generated data ---------------------------------

TEST(fir_kernels, first_output_is_first_tap_times_first_sample_in_both)
{
    generated_block block;
    both_outputs out = run_both(block.input.data(), block.taps.data());
    float expected = block.taps[0] * block.input[0];
    EXPECT_EQ(out.scalar[0], expected);
    EXPECT_EQ(out.vector[0], expected);
    EXPECT_NEAR(out.scalar[0], 0.08608474, 1e-8);
}

TEST(fir_kernels, scalar_and_vector_agree_within_a_few_units_in_the_last_place)
{
    generated_block block;
    both_outputs out = run_both(block.input.data(), block.taps.data());
    int64_t worst = 0;
    for (int i = 0; i < fir::sample_count; i++) {
        ASSERT_GT(out.scalar[i], 0.0f) << "output " << i;
        worst = std::max(worst, ulp_distance(out.scalar[i], out.vector[i]));
    }
    EXPECT_LE(worst, 4);
    RecordProperty("worst_ulp", static_cast<int>(worst));
}

TEST(fir_kernels, scalar_output_is_the_double_sum_rounded_once)
{
    generated_block block;
    both_outputs out = run_both(block.input.data(), block.taps.data());
    // Output 15 is the first that uses all sixteen taps.
    for (int i : {15, 16, 517, 1023}) {
        double sum = 0.0;
        for (int j = 0; j < fir::tap_count; j++)
            sum += static_cast<double>(block.taps[j]) * block.input[i - j];
        EXPECT_EQ(out.scalar[i], static_cast<float>(sum)) << "output " << i;
    }
}

// The vector kernel's sums lane by lane in plain single precision, in its
// order: each partial sum from zero, window W0 first; then the two levels
// of interleave-and-add, which leave (Pk[0] + Pk[2]) + (Pk[1] + Pk[3]).
std::vector<float> vector_model(const float *padded, const float *coef)
{
    // Blocks of coefficient vectors per output of a group, newest window first.
    const int blocks[4][5] = {{9, 8, 7, 6, 5}, {14, 13, 12, 11, 10}, {19, 18, 17, 16, 15}, {3, 2, 1, 0, -1}};
    std::vector<float> y(fir::sample_count);
    for (int b = 0; b < fir::sample_count; b += 4) {
        const float *p = padded + b + fir::tap_count;
        for (int k = 0; k < 4; k++) {
            float partial[4];
            for (int l = 0; l < 4; l++) {
                float sum = 0.0f;
                for (int v = 0; v < 5 && blocks[k][v] >= 0; v++)
                    sum = sum + coef[4 * blocks[k][v] + l] * p[l - 4 * v];
                partial[l] = sum;
            }
            y[b + k] = (partial[0] + partial[2]) + (partial[1] + partial[3]);
        }
    }
    return y;
}

TEST(fir_kernels, vector_sums_in_the_kernel_order_bit_for_bit)
{
    generated_block block;
    vector_buffers buffers(block.input.data(), block.taps.data());
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
    std::vector<float> expected = vector_model(buffers.padded, buffers.coef);
    for (int i = 0; i < fir::sample_count; i++)
        ASSERT_EQ(float_bits(buffers.output[i]), float_bits(expected[i])) << "output " << i;
}

// An impulse in each lane position returns the taps, shifted, in both
// kernels: every product is exact, so the outputs are too.
TEST(fir_kernels, impulse_in_each_lane_returns_the_taps_exactly)
{
    generated_block block;
    for (int at = 0; at < 8; at++) {
        std::vector<float> impulse(fir::sample_count, 0.0f);
        impulse[at] = 1.0f;
        both_outputs out = run_both(impulse.data(), block.taps.data());
        for (int i = 0; i < fir::sample_count; i++) {
            int j = i - at;
            float expected = (j >= 0 && j < fir::tap_count) ? block.taps[j] : 0.0f;
            ASSERT_EQ(out.scalar[i], expected) << "impulse at " << at << ", output " << i;
            ASSERT_EQ(out.vector[i], expected) << "impulse at " << at << ", output " << i;
        }
    }
}

// ---- counts ---------------------------------------------------------------

TEST(fir_scalar_counts, zero_taps_write_zeros_to_every_output)
{
    generated_block block;
    std::vector<float> out(8, sentinel);
    fir_scalar(block.input.data(), 6, block.taps.data(), 0, out.data());
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(float_bits(out[i]), 0u) << "output " << i;
    EXPECT_EQ(out[6], sentinel);
}

TEST(fir_scalar_counts, zero_or_negative_count_writes_nothing)
{
    generated_block block;
    std::vector<float> out(4, sentinel);
    fir_scalar(block.input.data(), 0, block.taps.data(), 16, out.data());
    fir_scalar(block.input.data(), -3, block.taps.data(), 16, out.data());
    for (float y : out)
        EXPECT_EQ(y, sentinel);
}

TEST(fir_scalar_counts, fewer_taps_filter_with_the_first_ones_only)
{
    generated_block block;
    std::vector<float> out(3, sentinel);
    fir_scalar(block.input.data(), 3, block.taps.data(), 1, out.data());
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(out[i], block.taps[0] * block.input[i]);
}

class fir_vector_counts : public ::testing::Test {
protected:
    generated_block block;
    vector_buffers buffers{block.input.data(), block.taps.data()};
    std::vector<float> full = std::vector<float>(fir::sample_count);

    void SetUp() override
    {
        fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
        full.assign(buffers.output, buffers.output + fir::sample_count);
        for (int i = 0; i < fir::sample_count; i++)
            buffers.output[i] = sentinel;
    }
    // Outputs below `written` equal the full run's; the rest are untouched.
    void expect_written(int written)
    {
        for (int i = 0; i < fir::sample_count; i++) {
            float expected = i < written ? full[i] : sentinel;
            ASSERT_EQ(buffers.output[i], expected) << "output " << i;
        }
    }
};

TEST_F(fir_vector_counts, zero_count_writes_nothing)
{
    fir_vector(buffers.padded, 0, buffers.coef, buffers.output);
    expect_written(0);
}

TEST_F(fir_vector_counts, negative_count_writes_nothing)
{
    fir_vector(buffers.padded, -4, buffers.coef, buffers.output);
    expect_written(0);
}

TEST_F(fir_vector_counts, count_of_four_writes_exactly_the_first_four)
{
    fir_vector(buffers.padded, 4, buffers.coef, buffers.output);
    expect_written(4);
}

TEST_F(fir_vector_counts, count_not_a_multiple_of_four_writes_whole_groups_only)
{
    fir_vector(buffers.padded, 7, buffers.coef, buffers.output);
    expect_written(4);
    fir_vector(buffers.padded, 3, buffers.coef, buffers.output);
    expect_written(4);
}

TEST_F(fir_vector_counts, the_zeros_of_v4_are_never_read)
{
    // Fill V4 (floats 16..19) with values that would show in any output.
    for (int k = 16; k < 20; k++)
        buffers.coef[k] = std::nanf("");
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
    expect_written(fir::sample_count);
}

TEST_F(fir_vector_counts, every_other_zero_of_the_block_is_read)
{
    // The zeros around the shifted taps are part of the sums: spoiling one
    // of them must show in the outputs.
    for (int k : {20, 37, 38, 39, 40, 41, 58, 59, 60, 61, 62, 79}) {
        float saved = buffers.coef[k];
        buffers.coef[k] = 1000.0f;
        fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
        bool changed = false;
        for (int i = 0; i < fir::sample_count; i++)
            changed = changed || buffers.output[i] != full[i];
        EXPECT_TRUE(changed) << "coefficient float " << k;
        buffers.coef[k] = saved;
    }
}

}  // namespace
