// The vector kernel's aligned blocks, the coefficient layout, clearing and
// the allocation check.
#include "fir_test_data.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A test allocator: hands out blocks from a static arena at a chosen offset
// from a 16-byte boundary, records the sizes asked for, and answers null
// from the call numbered `fail_at` on. Arena blocks are never freed.
struct arena_allocator {
    alignas(16) static inline unsigned char arena[16384];
    static inline std::size_t used = 0;
    static inline std::size_t offset = 0;
    static inline int fail_at = -1;
    static inline std::vector<std::size_t> sizes;

    static void *allocate(std::size_t bytes)
    {
        int call = static_cast<int>(sizes.size());
        sizes.push_back(bytes);
        if (fail_at >= 0 && call >= fail_at)
            return nullptr;
        unsigned char *block = arena + used + offset;
        used += (bytes + offset + 15) & ~std::size_t{15};
        return block;
    }
};

// Points fir_allocate at the arena for one test and back at malloc after it.
class fir_arena : public ::testing::Test {
protected:
    generated_block block;
    float *padded = nullptr, *coef = nullptr, *output = nullptr;
    void *blocks[3] = {nullptr, nullptr, nullptr};

    void SetUp() override
    {
        arena_allocator::used = 0;
        arena_allocator::offset = 0;
        arena_allocator::fail_at = -1;
        arena_allocator::sizes.clear();
        fir_allocate = arena_allocator::allocate;
    }
    void TearDown() override { fir_allocate = std::malloc; }
    void prepare()
    {
        fir_prepare_vector(block.input.data(), &padded, block.taps.data(), &coef, &output, blocks);
    }
};

uintptr_t address(const void *pointer)
{
    return reinterpret_cast<uintptr_t>(pointer);
}

TEST_F(fir_arena, requests_used_size_plus_16_bytes_in_input_output_coefficient_order)
{
    prepare();
    EXPECT_EQ(arena_allocator::sizes, (std::vector<std::size_t>{4176, 4112, 336}));
}

TEST_F(fir_arena, each_pointer_is_the_first_16_byte_boundary_at_or_after_its_block)
{
    for (std::size_t offset : {0, 1, 4, 8, 12, 15}) {
        arena_allocator::used = 0;
        arena_allocator::offset = offset;
        prepare();
        float *used[3] = {padded, output, coef};
        for (int k = 0; k < 3; k++) {
            uintptr_t expected = (address(blocks[k]) + 15) & ~uintptr_t{15};
            EXPECT_EQ(address(used[k]), expected) << "offset " << offset << ", block " << k;
            EXPECT_EQ(address(used[k]) % 16, 0u);
        }
    }
}

TEST_F(fir_arena, padded_input_is_16_zeros_then_the_samples)
{
    prepare();
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(float_bits(padded[k]), 0u) << "float " << k;
    for (int k = 0; k < fir::sample_count; k++)
        ASSERT_EQ(padded[k + 16], block.input[k]) << "sample " << k;
}

TEST_F(fir_arena, coefficient_block_holds_four_reversed_tap_copies_at_0_21_42_63)
{
    prepare();
    std::vector<float> expected(80, 0.0f);
    for (int start : {0, 21, 42, 63})
        for (int k = 0; k < 16; k++)
            expected[start + k] = block.taps[15 - k];
    for (int k = 0; k < 80; k++)
        EXPECT_EQ(float_bits(coef[k]), float_bits(expected[k])) << "float " << k;
}

TEST_F(fir_arena, failed_first_allocation_names_mem_ptr_0_and_exits_minus_1)
{
    arena_allocator::fail_at = 0;
    // The process reports an exit status of -1 as 255.
    EXPECT_EXIT(prepare(), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer mem_ptr\\[0\\], exitting\\.\\.\\.\n$");
}

TEST_F(fir_arena, failed_second_allocation_names_mem_ptr_1_and_exits_minus_1)
{
    arena_allocator::fail_at = 1;
    EXPECT_EXIT(prepare(), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer mem_ptr\\[1\\], exitting\\.\\.\\.\n$");
}

TEST_F(fir_arena, failed_third_allocation_names_mem_ptr_2_and_exits_minus_1)
{
    arena_allocator::fail_at = 2;
    EXPECT_EXIT(prepare(), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer mem_ptr\\[2\\], exitting\\.\\.\\.\n$");
}

// The child checks a real pointer first: it returns silently, and only the
// null one reports and ends the process.
void check_real_then_null_pointer()
{
    int object = 0;
    fir_check_alloc("real", &object);
    fir_check_alloc("anything", nullptr);
}

TEST(fir_check_alloc, real_pointer_returns_silently_null_reports_its_name_and_exits_minus_1)
{
    EXPECT_EXIT(check_real_then_null_pointer(), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer anything, exitting\\.\\.\\.\n$");
}

TEST(fir_clear, sets_count_words_to_zero_and_nothing_beyond)
{
    std::vector<uint32_t> words(8, 0xDEADBEEFu);
    fir_clear(words.data(), 5);
    EXPECT_EQ(words, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0xDEADBEEFu, 0xDEADBEEFu, 0xDEADBEEFu}));
}

TEST(fir_clear, zero_or_negative_count_writes_nothing)
{
    std::vector<uint32_t> words(4, 0xDEADBEEFu);
    fir_clear(words.data(), 0);
    fir_clear(words.data(), -2);
    EXPECT_EQ(words, std::vector<uint32_t>(4, 0xDEADBEEFu));
}

}  // namespace
