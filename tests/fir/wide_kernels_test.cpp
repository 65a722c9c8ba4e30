// fir-bench's wide kernels: `avx` and both variants of `avx512` bit for bit against the
// four-lane kernel on the generated block and on random blocks, read at any
// alignment; a kernel this machine cannot run is skipped with the reason.
#include "fir_test_data.h"
#include "tools/fir_bench/wide.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>
#include <random>
#include <vector>

namespace {

class bit_identical : public ::testing::TestWithParam<const char *> {
protected:
    const fir_wide_kernel *kernel = nullptr;
    fir_wide_run run = nullptr;   // the kernel's, or the variant's after a '/'

    void SetUp() override
    {
        const std::string param = GetParam();
        kernel = fir_wide_find(param.substr(0, param.find('/')).c_str());
        ASSERT_NE(kernel, nullptr);
        run = param.find('/') == std::string::npos ? kernel->run : nullptr;
        for (int v = 0; v < kernel->variant_count; v++)
            if (param.find('/') != std::string::npos && param.substr(param.find('/') + 1) == kernel->variants[v].name)
                run = kernel->variants[v].run;
        ASSERT_NE(run, nullptr) << param << " names no variant";
        if (!fir_wide_supported(*kernel))
            GTEST_SKIP() << "this processor or operating system cannot run the " << kernel->name << " kernel";
    }

    // The four-lane kernel's outputs for the block, and the wide kernel's
    // from copies of the same buffers moved `shift` floats off their
    // alignment; every output must have the same bits.
    void expect_same_outputs(const float *input, const float *taps, int shift)
    {
        vector_buffers buffers(input, taps);
        fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);

        std::vector<float> padded(buffers.padded, buffers.padded + fir::padded_floats);
        std::vector<float> coef(buffers.coef, buffers.coef + fir::coef_floats);
        padded.insert(padded.begin(), shift, 0.0f);
        coef.insert(coef.begin(), shift, 0.0f);
        std::vector<float> output(fir::sample_count + shift, NAN);
        run(padded.data() + shift, fir::sample_count, coef.data() + shift, output.data() + shift);

        int wrong = 0;
        for (int i = 0; i < fir::sample_count && wrong < 5; i++) {
            if (float_bits(output[i + shift]) != float_bits(buffers.output[i])) {
                ADD_FAILURE() << kernel->name << " output " << i << " is " << output[i + shift]
                              << ", the four-lane kernel's " << buffers.output[i] << " (shift " << shift << ")";
                wrong++;
            }
        }
    }
};

TEST_P(bit_identical, on_the_generated_block)
{
    generated_block block;
    expect_same_outputs(block.input.data(), block.taps.data(), 0);
}

// Signed samples and taps over many magnitudes, so that the sums round and
// cancel in every way the order of additions can show.
TEST_P(bit_identical, on_random_blocks_at_any_alignment)
{
    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-12, 12);
    std::vector<float> input(fir::sample_count), taps(fir::tap_count);
    for (int block = 0; block < 24; block++) {
        for (float &x : input)
            x = std::ldexp(unit(random), exponent(random));
        for (float &h : taps)
            h = std::ldexp(unit(random), exponent(random));
        expect_same_outputs(input.data(), taps.data(), block % 4);
    }
}

// Whole steps only: the outputs past the last whole step keep what they held.
TEST_P(bit_identical, writes_whole_steps_and_nothing_after_them)
{
    generated_block block;
    vector_buffers buffers(block.input.data(), block.taps.data());
    fir_vector(buffers.padded, fir::sample_count, buffers.coef, buffers.output);
    std::vector<float> output(fir::sample_count, -7.0f);
    run(buffers.padded, 0, buffers.coef, output.data());
    EXPECT_EQ(output[0], -7.0f) << "n = 0 wrote an output";

    const int whole = 3 * kernel->step;
    run(buffers.padded, whole + 5, buffers.coef, output.data());
    for (int i = 0; i < whole; i++)
        EXPECT_EQ(float_bits(output[i]), float_bits(buffers.output[i])) << "output " << i;
    for (int i = whole; i < fir::sample_count; i++)
        ASSERT_EQ(output[i], -7.0f) << "output " << i << " was written";
}

INSTANTIATE_TEST_SUITE_P(wide_kernels, bit_identical, ::testing::Values("avx", "avx512/one-step", "avx512/two-steps"),
                         [](const auto &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

}  // namespace
