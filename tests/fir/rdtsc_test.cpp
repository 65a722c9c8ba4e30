// The timing library: the table, start/stop arithmetic, calibration over the
// platform's Sleep (instant under the scriptable backend, which advances its
// clock instead), the free-running clock, the printed table and the error.
#include "fir/timing/rdtsc.h"
#include "tests/fir/rdtsc_reset.h"

#include "platform/script/script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The counter the library reads: the scripted clock at one cycle per
// nanosecond (so the calibrated rate is exactly 1e9 per second) plus cycles
// a test adds. Every reading is counted.
struct test_counter {
    static inline uint64_t extra = 0;
    static inline int readings = 0;
    static uint64_t read()
    {
        readings++;
        return uint64_t{script_time()} * 1000000u + extra;
    }
};

// A scripted session, a fresh library state and the test counter.
class rdtsc_library : public ::testing::Test {
protected:
    void SetUp() override
    {
        script_start();
        reset_timing_library();
        rdtsc_hooks = {test_counter::read, std::malloc};
        test_counter::extra = 0;
        test_counter::readings = 0;
    }
    void TearDown() override
    {
        rdtsc_hooks = {nullptr, std::malloc};
        reset_timing_library();
        script_stop();
    }
    static void init(int32_t n) { rdtsc_init(&n); }
    static void start(int32_t c) { rdtsc_start(&c); }
    static void stop(int32_t c) { rdtsc_stop(&c); }
    static const rdtsc_counter &counter(int32_t c) { return rdtsc_table[c]; }
    // Runs counter c over `cycles` cycles.
    static void time_cycles(int32_t c, uint64_t cycles)
    {
        start(c);
        test_counter::extra += cycles;
        stop(c);
    }
};

std::string captured_stdout(void (*print)())
{
    ::testing::internal::CaptureStdout();
    print();
    return ::testing::internal::GetCapturedStdout();
}

const std::string header =
    "counter  event                       #       time     sec/event\n"
    "-------  -----                       -       ----     ---------\n";

// ---- table and calibration ----------------------------------------------

TEST_F(rdtsc_library, init_with_2_makes_counters_0_to_2_all_zero)
{
    init(2);
    ASSERT_EQ(rdtsc_table_size, 3);
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(counter(c).events, 0);
        EXPECT_EQ(counter(c).cycles, 0.0);
        EXPECT_EQ(counter(c).start_low, 0u);
        EXPECT_EQ(counter(c).start_high, 0u);
        EXPECT_EQ(counter(c).event_name, nullptr);
    }
}

TEST_F(rdtsc_library, first_init_measures_the_rate_over_one_eight_second_sleep)
{
    init(1);
    EXPECT_EQ(script_time(), 8000u);
    EXPECT_EQ(test_counter::readings, 2);
    EXPECT_EQ(rdtsc_cycles_per_second, 1e9);
}

TEST_F(rdtsc_library, second_init_replaces_the_table_without_sleeping_again)
{
    int32_t one = 1;
    init(1);
    rdtsc_set_event_name(&one, "old");
    time_cycles(1, 500);
    init(2);
    EXPECT_EQ(script_time(), 8000u);
    ASSERT_EQ(rdtsc_table_size, 3);
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(counter(c).events, 0);
        EXPECT_EQ(counter(c).cycles, 0.0);
        EXPECT_EQ(counter(c).event_name, nullptr);
    }
}

TEST_F(rdtsc_library, rate_set_in_mhz_before_init_means_no_sleep)
{
    int32_t mhz = 500;
    rdtsc_set_mhz(&mhz);
    init(1);
    EXPECT_EQ(script_time(), 0u);
    EXPECT_EQ(test_counter::readings, 0);
    time_cycles(1, 1234567);
    int32_t one = 1;
    EXPECT_EQ(rdtsc_seconds(&one), 1234567 / (500 * 1000000.0));
    EXPECT_EQ(rdtsc_get_mhz(), 500.0);
}

TEST_F(rdtsc_library, rate_set_to_zero_is_measured_again_by_the_next_init)
{
    init(0);
    int32_t zero = 0;
    rdtsc_set_mhz(&zero);
    init(0);
    EXPECT_EQ(script_time(), 16000u);
    EXPECT_EQ(rdtsc_cycles_per_second, 1e9);
}

TEST_F(rdtsc_library, get_mhz_calibrates_when_needed)
{
    EXPECT_EQ(rdtsc_get_mhz(), 1000.0);
    EXPECT_EQ(script_time(), 8000u);
    EXPECT_EQ(rdtsc_get_mhz(), 1000.0);
    EXPECT_EQ(script_time(), 8000u);
}

TEST_F(rdtsc_library, negative_count_makes_an_empty_table)
{
    init(-1);
    EXPECT_EQ(rdtsc_table_size, 0);
    init(-2147483647 - 1);
    EXPECT_EQ(rdtsc_table_size, 0);
    EXPECT_EQ(captured_stdout(rdtsc_print_table), header);
}

// ---- start, stop, clear ---------------------------------------------------

TEST_F(rdtsc_library, start_and_stop_accumulate_cycles_and_events)
{
    init(2);
    time_cycles(2, 1000);
    time_cycles(2, 2500);
    int32_t two = 2;
    EXPECT_EQ(rdtsc_cycles(&two), 3500.0);
    EXPECT_EQ(counter(2).events, 2);
    EXPECT_EQ(rdtsc_seconds(&two), 3500.0 / 1e9);
    EXPECT_EQ(counter(1).events, 0);
}

TEST_F(rdtsc_library, start_stores_the_reading_in_its_two_halves)
{
    init(1);
    test_counter::extra = 0x123456789ABCull - 8000ull * 1000000;
    start(1);
    EXPECT_EQ(counter(1).start_low, 0x56789ABCu);
    EXPECT_EQ(counter(1).start_high, 0x1234u);
}

TEST_F(rdtsc_library, two_stops_after_one_start_count_that_start_twice)
{
    init(1);
    start(1);
    test_counter::extra += 100;
    stop(1);
    test_counter::extra += 50;
    stop(1);
    EXPECT_EQ(counter(1).cycles, 100.0 + 150.0);
    EXPECT_EQ(counter(1).events, 2);
}

TEST_F(rdtsc_library, stop_without_start_adds_the_full_reading)
{
    init(1);
    stop(1);
    EXPECT_EQ(counter(1).cycles, 8000.0 * 1000000);
}

TEST_F(rdtsc_library, low_half_wrapping_between_start_and_stop_carries_into_the_high_half)
{
    init(1);
    test_counter::extra = 0x1FFFFFFF0ull - 8000ull * 1000000;
    time_cycles(1, 0x20);
    EXPECT_EQ(counter(1).cycles, 32.0);
}

TEST_F(rdtsc_library, clear_zeroes_cycles_and_keeps_events_and_start)
{
    init(1);
    time_cycles(1, 700);
    uint32_t low = counter(1).start_low;
    int32_t one = 1;
    rdtsc_clear(&one);
    EXPECT_EQ(counter(1).cycles, 0.0);
    EXPECT_EQ(counter(1).events, 1);
    EXPECT_EQ(counter(1).start_low, low);
}

// ---- the free-running clock -----------------------------------------------

TEST_F(rdtsc_library, clock_start_calibrates_and_elapsed_counts_from_its_origin)
{
    rdtsc_clock_start();
    EXPECT_EQ(script_time(), 8000u);
    EXPECT_EQ(rdtsc_clock_origin, 8000.0 * 1000000);
    test_counter::extra += 250000000;
    EXPECT_EQ(rdtsc_clock_elapsed(), 0.25);
    EXPECT_EQ(rdtsc_clock_elapsed(), 0.25);
    rdtsc_clock_restart();
    EXPECT_EQ(rdtsc_clock_elapsed(), 0.0);
    EXPECT_EQ(script_time(), 8000u);
}

TEST_F(rdtsc_library, clock_elapsed_does_not_calibrate)
{
    test_counter::extra = 1000;
    double elapsed = rdtsc_clock_elapsed();
    EXPECT_TRUE(std::isinf(elapsed));
    EXPECT_EQ(script_time(), 0u);
}

// ---- printing ---------------------------------------------------------------

TEST_F(rdtsc_library, fresh_table_prints_the_two_header_lines_alone)
{
    init(3);
    EXPECT_EQ(captured_stdout(rdtsc_print_table), header);
}

TEST_F(rdtsc_library, table_prints_counters_with_events_in_ascending_order)
{
    init(3);
    int32_t one = 1, three = 3;
    rdtsc_set_event_name(&three, "vector");
    rdtsc_set_event_name(&one, "scalar");
    time_cycles(3, 500000000);
    time_cycles(1, 2000000000);
    time_cycles(1, 1000000000);
    EXPECT_EQ(captured_stdout(rdtsc_print_table),
              header + "1        scalar                      2       3.000    1.500\n"
                       "3        vector                      1       0.500    0.500\n");
}

TEST_F(rdtsc_library, unnamed_counter_prints_20_blanks_for_its_name)
{
    init(0);
    time_cycles(0, 1250000);
    EXPECT_EQ(captured_stdout(rdtsc_print_table),
              header + "0                                    1       0.001    0.001\n");
}

TEST_F(rdtsc_library, name_longer_than_20_characters_pushes_the_columns_right)
{
    init(1);
    int32_t one = 1;
    rdtsc_set_event_name(&one, "a_rather_long_event_name");
    time_cycles(1, 12345678901ull);
    EXPECT_EQ(captured_stdout(rdtsc_print_table),
              header + "1        a_rather_long_event_name        1      12.346   12.346\n");
}

TEST_F(rdtsc_library, cleared_counter_prints_its_events_with_zero_times)
{
    init(1);
    int32_t one = 1;
    time_cycles(1, 3000000000ull);
    time_cycles(1, 3000000000ull);
    rdtsc_clear(&one);
    EXPECT_EQ(captured_stdout(rdtsc_print_table),
              header + "1                                    2       0.000    0.000\n");
}

TEST_F(rdtsc_library, event_name_is_a_copy_and_can_be_replaced)
{
    init(0);
    int32_t zero = 0;
    char name[] = "first";
    rdtsc_set_event_name(&zero, name);
    name[0] = 'X';
    EXPECT_STREQ(counter(0).event_name, "first");
    rdtsc_set_event_name(&zero, "second");
    EXPECT_STREQ(counter(0).event_name, "second");
}

TEST_F(rdtsc_library, single_row_prints_without_header_even_with_no_events)
{
    init(2);
    int32_t two = 2;
    rdtsc_set_event_name(&two, "idle");
    ::testing::internal::CaptureStdout();
    rdtsc_print_event(&two);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "2        idle                        0       0.000      nan\n");
}

TEST_F(rdtsc_library, stderr_variants_print_the_same_text_to_standard_error)
{
    init(1);
    int32_t one = 1;
    time_cycles(1, 4000000000ull);
    std::string row = "1                                    1       4.000    4.000\n";
    ::testing::internal::CaptureStderr();
    rdtsc_print_table_stderr();
    rdtsc_print_event_stderr(&one);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), header + row + row);
}

// ---- heap exhaustion ------------------------------------------------------

void *no_memory(std::size_t)
{
    return nullptr;
}

void init_without_memory()
{
    rdtsc_hooks.allocate = no_memory;
    int32_t n = 1;
    rdtsc_init(&n);
}

void name_without_memory()
{
    int32_t n = 1;
    rdtsc_init(&n);
    rdtsc_hooks.allocate = no_memory;
    rdtsc_set_event_name(&n, "name");
}

TEST_F(rdtsc_library, failed_table_allocation_reports_and_exits_1)
{
    EXPECT_EXIT(init_without_memory(), ::testing::ExitedWithCode(1),
                "^rdtsc library error: malloc failed\n$");
}

TEST_F(rdtsc_library, failed_name_allocation_reports_and_exits_1)
{
    EXPECT_EXIT(name_without_memory(), ::testing::ExitedWithCode(1),
                "^rdtsc library error: malloc failed\n$");
}

}  // namespace
