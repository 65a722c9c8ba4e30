// The benchmark driver, run through the scriptable platform backend with the
// counter readings in the test's hands: its boxes, statuses and the result
// text in seconds to the millisecond.
#include "fir/bench/fir_driver.h"

#include "common/checks.h"
#include "fir/bench/fir_kernels.h"
#include "fir/timing/rdtsc.h"
#include "tests/fir/rdtsc_reset.h"
#include "platform/script/script.h"

#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The counter readings of one run, in the order the driver takes them:
// calibration before and after the sleep, then start and stop of the scalar
// run, then of the vector run. Readings past the list repeat the last one.
struct scripted_counter {
    static inline std::vector<uint64_t> readings;
    static inline std::size_t taken = 0;
    static uint64_t read()
    {
        uint64_t value = readings.empty() ? 0 : readings[std::min(taken, readings.size() - 1)];
        taken++;
        return value;
    }
};

// A rate of 1e9 cycles per second and the two runs' lengths in seconds.
std::vector<uint64_t> readings_for(double scalar_seconds, double vector_seconds)
{
    uint64_t scalar = static_cast<uint64_t>(scalar_seconds * 1e9);
    uint64_t vector = static_cast<uint64_t>(vector_seconds * 1e9);
    uint64_t t = 5000000000ull;
    return {t, t + 8000000000ull, t + 9000000000ull, t + 9000000000ull + scalar, t + 40000000000ull,
            t + 40000000000ull + vector};
}

// fir_iterations as the program starts with it, before any test changes it.
const int32_t iterations_at_start = fir_iterations;

class fir_driver : public ::testing::Test {
protected:
    script_settings settings;

    void SetUp() override
    {
        reset_timing_library();
        rdtsc_hooks = {scripted_counter::read, std::malloc};
        scripted_counter::readings = readings_for(12.9, 5.2);
        scripted_counter::taken = 0;
        fir_iterations = 3;   // the kernels run for real; three calls suffice
    }
    void TearDown() override
    {
        fir_iterations = 32768;
        rdtsc_hooks = {nullptr, std::malloc};
        reset_timing_library();
        script_stop();
    }
    int run()
    {
        script_start(settings);
        return script_run(fir_main);
    }
    static std::string result_text(const std::string &scalar, const std::string &vector)
    {
        return "Standard demo time: " + scalar + " second(s)\nKelvane-enabled demo time: " + vector + " second(s)";
    }
};

TEST_F(fir_driver, runs_32768_kernel_calls_per_timed_run_by_default)
{
    EXPECT_EQ(iterations_at_start, 32768);
}

TEST_F(fir_driver, english_run_shows_the_start_box_then_the_truncated_times)
{
    ASSERT_EQ(run(), 0);
    const auto &boxes = script_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "SUCCESS: Kelvane support has been enabled.\nStarting a comparative computation of a Finite "
              "Impulse Response (FIR) filter using Kelvane and Floating Point instructions.\nThis demo might "
              "take about one minute to run.");
    EXPECT_EQ(boxes[0].caption, "Message ");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(boxes[1].text, result_text("12.900", "5.200"));
    EXPECT_EQ(boxes[1].caption, "Message ");
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[1].owner, nullptr);
}

TEST_F(fir_driver, calibration_sleeps_eight_seconds_once_after_the_start_box)
{
    settings.on_message_box = [](const script_box &box) {
        if (box.index == 0) {
            EXPECT_EQ(scripted_counter::taken, 0u) << "counter read before the start box closed";
        }
    };
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(script_boxes()[0].time, 0u);
    EXPECT_EQ(script_boxes()[1].time, 8000u);
    EXPECT_EQ(scripted_counter::taken, 6u);
}

TEST_F(fir_driver, times_under_a_second_show_their_milliseconds_truncated)
{
    scripted_counter::readings = readings_for(0.7129, 0.0505);
    ASSERT_EQ(run(), 0);
    ASSERT_EQ(script_boxes().size(), 2u);
    EXPECT_EQ(script_boxes()[1].text, result_text("0.712", "0.050"));
}

TEST_F(fir_driver, milliseconds_truncate_toward_zero_and_hold_at_the_ends)
{
    EXPECT_EQ(fir_milliseconds(0.9999), 999u);
    EXPECT_EQ(fir_milliseconds(0.712), 712u);
    EXPECT_EQ(fir_milliseconds(1.0), 1000u);
    EXPECT_EQ(fir_milliseconds(0.0), 0u);
    EXPECT_EQ(fir_milliseconds(-3.5), 0u);
    EXPECT_EQ(fir_milliseconds(__builtin_nan("")), 0u);
    EXPECT_EQ(fir_milliseconds(4294967295.9995), 4294967295999u);
    EXPECT_EQ(fir_milliseconds(1e20), 4294967295999u);
    EXPECT_EQ(fir_milliseconds(__builtin_inf()), 4294967295999u);
    char text[32];
    fir_format_seconds(text, sizeof text, 1e20, ',');
    EXPECT_STREQ(text, "4294967295,999");
    fir_format_seconds(text, sizeof text, 0.05, '.');
    EXPECT_STREQ(text, "0.050");
}

TEST_F(fir_driver, result_is_worded_in_the_language_of_its_moment)
{
    // The locale changes while the start box is open: the start box is
    // French, the result German.
    settings.locale_id = 0x040C;
    settings.on_message_box = [](const script_box &box) {
        if (box.index == 0)
            script_set_locale(0x0407);
    };
    ASSERT_EQ(run(), 0);
    const auto &boxes = script_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, fir_messages[1][6]);
    EXPECT_EQ(boxes[0].caption, fir_messages[1][7]);
    const char *const *german = fir_messages[5];
    EXPECT_EQ(boxes[1].text,
              std::string(german[0]) + ": 12,900 " + german[2] + "\n" + german[1] + ": 5,200 " + german[2]);
    EXPECT_EQ(boxes[1].caption, german[3]);
}

TEST_F(fir_driver, unsupported_system_shows_slot_8_and_ends_with_1_before_the_vector_check)
{
    std::strcpy(settings.version.szCSDVersion, "Service Pack 5");
    // With invalid operations unmasked the vector check would fail; the
    // system check comes first, so its box is the only one.
    unsigned saved = _mm_getcsr();
    _mm_setcsr(saved & ~_MM_MASK_INVALID);
    int status = run();
    _mm_setcsr(saved);
    EXPECT_EQ(status, 1);
    const auto &boxes = script_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "FAILURE: This demo is supported only on Windows* NT* Version 4.0 Service Pack 4.");
    EXPECT_EQ(boxes[0].caption, "Error 259");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(script_time(), 0u);
    EXPECT_EQ(scripted_counter::taken, 0u);
}

TEST_F(fir_driver, unusable_vector_unit_shows_slot_4_error_and_ends_with_1_without_calibration)
{
    unsigned saved = _mm_getcsr();
    _mm_setcsr(saved & ~_MM_MASK_INVALID);
    int status = run();
    _mm_setcsr(saved);
    EXPECT_EQ(status, 1);
    const auto &boxes = script_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "FAILURE: Kelvane support has not been enabled.");
    EXPECT_EQ(boxes[0].caption, "Error 251");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(script_time(), 0u);
    EXPECT_EQ(scripted_counter::taken, 0u);
}

TEST_F(fir_driver, no_iterations_still_shows_the_measured_times)
{
    fir_iterations = 0;
    ASSERT_EQ(run(), 0);
    EXPECT_EQ(script_boxes()[1].text, result_text("12.900", "5.200"));
}

// The separator of each language, over every record of the catalogue.
TEST_F(fir_driver, result_uses_the_decimal_separator_of_its_language)
{
    const struct {
        uint32_t locale;
        int record;
        char separator;
    } cases[] = {{0x0409, 0, '.'}, {0x040C, 1, ','}, {0x0410, 2, ','}, {0x0C0A, 3, ','},
                 {0x0416, 4, ','}, {0x0407, 5, ','}, {0x0419, 6, ','}, {0x0412, 7, '.'},
                 {0x0804, 8, '.'}, {0x0404, 9, '.'}, {0x0411, 10, '.'}, {0x041D, 11, '.'}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.record);
        reset_timing_library();
        scripted_counter::taken = 0;
        settings.locale_id = c.locale;
        ASSERT_EQ(run(), 0);
        const char *const *texts = fir_messages[c.record];
        const std::string sep(1, c.separator);
        ASSERT_EQ(script_boxes().size(), 2u);
        EXPECT_EQ(script_boxes()[1].text, std::string(texts[0]) + ": 12" + sep + "900 " + texts[2] + "\n" +
                                              texts[1] + ": 5" + sep + "200 " + texts[2]);
        script_stop();
    }
}

// ---- allocation failures end the process ---------------------------------

void *fail_third_block(std::size_t bytes)
{
    static int calls = 0;
    return ++calls == 3 ? nullptr : std::malloc(bytes);
}

void *no_memory(std::size_t)
{
    return nullptr;
}

// Present only in builds with the leak checker.
extern "C" void __lsan_disable() __attribute__((weak));

// A failed allocation ends the run on purpose and leaves every block, the
// platform's included, to the process end; the child's leak check would
// count them, so it is switched off there.
void leave_blocks_to_the_process_end()
{
    if (__lsan_disable)
        __lsan_disable();
}

void run_with_vector_allocator(void *(*allocate)(std::size_t))
{
    leave_blocks_to_the_process_end();
    fir_allocate = allocate;
    script_start();
    script_run(fir_main);
}

void run_without_timing_memory()
{
    leave_blocks_to_the_process_end();
    rdtsc_hooks.allocate = no_memory;
    script_start();
    script_run(fir_main);
}

TEST_F(fir_driver, failed_third_vector_block_names_mem_ptr_2_and_exits_minus_1)
{
    EXPECT_EXIT(run_with_vector_allocator(fail_third_block), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer mem_ptr\\[2\\], exitting\\.\\.\\.\n$");
}

TEST_F(fir_driver, failed_first_vector_block_names_mem_ptr_0_and_exits_minus_1)
{
    EXPECT_EXIT(run_with_vector_allocator(no_memory), ::testing::ExitedWithCode(255),
                "^ERROR --- malloc failed on pointer mem_ptr\\[0\\], exitting\\.\\.\\.\n$");
}

TEST_F(fir_driver, failed_timing_table_reports_the_library_error_and_exits_1)
{
    EXPECT_EXIT(run_without_timing_memory(), ::testing::ExitedWithCode(1),
                "^rdtsc library error: malloc failed\n$");
}

}  // namespace
