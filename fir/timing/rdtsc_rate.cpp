// rdtsc_rate.cpp - the counter rate (measured once over a sleep, or given in
// MHz) and the free-running clock.
#include "fir/timing/rdtsc_internal.h"

#include <windows.h>

double rdtsc_cycles_per_second = 0.0;
double rdtsc_clock_origin = 0.0;

void rdtsc_sleep_seconds(int seconds)
{
    Sleep(static_cast<DWORD>(seconds) * 1000);
}

void rdtsc_calibrate()
{
    if (rdtsc_cycles_per_second != 0.0)
        return;

    // Count the cycles across an eight-second sleep.
    uint32_t low0, high0, low1, high1;
    rdtsc_read(&low0, &high0);
    rdtsc_sleep_seconds(8);
    rdtsc_read(&low1, &high1);
    rdtsc_cycles_per_second = (rdtsc_as_double(low1, high1) - rdtsc_as_double(low0, high0)) / 8.0;
}

void rdtsc_set_mhz(const int32_t *mhz)
{
    rdtsc_cycles_per_second = *mhz * 1000000.0;
}

double rdtsc_get_mhz()
{
    rdtsc_calibrate();
    return rdtsc_cycles_per_second / 1000000.0;
}

void rdtsc_clock_start()
{
    rdtsc_calibrate();
    uint32_t low, high;
    rdtsc_read(&low, &high);
    rdtsc_clock_origin = rdtsc_as_double(low, high);
}

void rdtsc_clock_restart()
{
    rdtsc_clock_start();
}

double rdtsc_clock_elapsed()
{
    uint32_t low, high;
    rdtsc_read(&low, &high);
    return (rdtsc_as_double(low, high) - rdtsc_clock_origin) / rdtsc_cycles_per_second;
}
