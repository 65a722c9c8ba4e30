// rdtsc_reset.h - returns the timing library to its state at process start
// (no table, not calibrated), freeing what it holds, so each test starts
// from a fresh library.
#pragma once
#include <cstdlib>

#include "fir/timing/rdtsc.h"

inline void reset_timing_library()
{
    for (int32_t k = 0; k < rdtsc_table_size; k++)
        std::free(rdtsc_table[k].event_name);
    std::free(rdtsc_table);
    rdtsc_table = nullptr;
    rdtsc_table_size = 0;
    rdtsc_cycles_per_second = 0.0;
    rdtsc_clock_origin = 0.0;
}
