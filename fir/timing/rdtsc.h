// rdtsc.h - numbered cycle counters on the processor's time-stamp counter.
//
//   int32_t n = 2, c = 1;
//   rdtsc_init(&n);            // counters 0..2; measures the counter rate
//                              // once per process (an eight-second sleep)
//   rdtsc_start(&c);  work();  rdtsc_stop(&c);
//   double s = rdtsc_seconds(&c);
//   rdtsc_print_table();       // header and every counter that has events
//
// Operations that name a counter take its number by address; valid numbers
// are 0..n of the last init, and init must come before them (nothing checks
// either). The library owns the table and the event-name copies.
#pragma once
#include <cstddef>
#include <cstdint>

struct rdtsc_counter {
    uint32_t start_low;    // counter at the last start, low half
    uint32_t start_high;   // and high half
    char *event_name;      // heap copy, or null
    double cycles;         // accumulated over completed intervals
    int32_t events;        // completed intervals (stops)
};

extern rdtsc_counter *rdtsc_table;
extern int32_t rdtsc_table_size;
extern double rdtsc_cycles_per_second;   // 0.0: not yet measured
extern double rdtsc_clock_origin;        // reading at the clock's last start

// Where the library reads the counter and takes its heap blocks. The
// defaults are the processor's time-stamp counter and malloc; tests point
// them at sources of their own. Blocks are released with free().
struct rdtsc_hooks_record {
    uint64_t (*read_counter)();   // null: the time-stamp counter
    void *(*allocate)(std::size_t bytes);
};
extern rdtsc_hooks_record rdtsc_hooks;

void rdtsc_init(const int32_t *n);
void rdtsc_set_event_name(const int32_t *counter, const char *name);
void rdtsc_start(const int32_t *counter);
void rdtsc_stop(const int32_t *counter);
void rdtsc_clear(const int32_t *counter);
double rdtsc_seconds(const int32_t *counter);
double rdtsc_cycles(const int32_t *counter);

void rdtsc_print_event(const int32_t *counter);
void rdtsc_print_event_stderr(const int32_t *counter);
void rdtsc_print_table();
void rdtsc_print_table_stderr();

void rdtsc_set_mhz(const int32_t *mhz);
double rdtsc_get_mhz();

void rdtsc_clock_start();
void rdtsc_clock_restart();
double rdtsc_clock_elapsed();
