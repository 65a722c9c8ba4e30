// rdtsc_internal.h - the timing library's own steps, shared by its files.
#pragma once
#include "fir/timing/rdtsc.h"

#include <cstdio>
#ifdef __EMSCRIPTEN__
// a web page has no cycle counter: the page's clock counts nanoseconds
#include "platform/web/web_clock.h"
#define rdtsc_hardware_counter web_clock_nanoseconds
#else
#include <x86intrin.h>
#define rdtsc_hardware_counter __rdtsc
#endif

// The one place that reads the counter: a single read, no serialising
// instruction around it, stored low half first.
inline void rdtsc_read(uint32_t *low, uint32_t *high)
{
    uint64_t now = rdtsc_hooks.read_counter ? rdtsc_hooks.read_counter() : rdtsc_hardware_counter();
    *low = static_cast<uint32_t>(now);
    *high = static_cast<uint32_t>(now >> 32);
}

// A reading as a number: high * 2^32 + low, in double precision.
inline double rdtsc_as_double(uint32_t low, uint32_t high)
{
    return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

void rdtsc_calibrate();
void rdtsc_sleep_seconds(int seconds);
void rdtsc_print_header(std::FILE *stream);
void rdtsc_print_row(int counter, std::FILE *stream);
[[noreturn]] void rdtsc_error(const char *message);
