// rdtsc_print.cpp - the event table: a two-line header and one row per
// counter.
#include "fir/timing/rdtsc_internal.h"

#include <cmath>

void rdtsc_print_header(std::FILE *stream)
{
    std::fprintf(stream, "counter  event                       #       time     sec/event\n");
    std::fprintf(stream, "-------  -----                       -       ----     ---------\n");
}

void rdtsc_print_row(int counter, std::FILE *stream)
{
    const rdtsc_counter &record = rdtsc_table[counter];
    double seconds = record.cycles / rdtsc_cycles_per_second;
    // A counter without events has no time per event: it prints as "nan"
    // (always unsigned, whatever sign the division by zero would give).
    double per_event = record.events != 0 ? seconds / record.events : std::nan("");
    std::fprintf(stream, "%-5d    %-20s    %5d     %7.3f  %7.3f\n", counter,
                 record.event_name ? record.event_name : "", record.events, seconds, per_event);
}

void rdtsc_print_event(const int32_t *counter)
{
    rdtsc_print_row(*counter, stdout);
}

void rdtsc_print_event_stderr(const int32_t *counter)
{
    rdtsc_print_row(*counter, stderr);
}

// Header, then the counters that have events, in ascending order.
static void print_table(std::FILE *stream)
{
    rdtsc_print_header(stream);
    for (int k = 0; k < rdtsc_table_size; k++) {
        if (rdtsc_table[k].events != 0)
            rdtsc_print_row(k, stream);
    }
}

void rdtsc_print_table()
{
    print_table(stdout);
}

void rdtsc_print_table_stderr()
{
    print_table(stderr);
}
