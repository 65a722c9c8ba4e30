// fir_driver.h - the benchmark driver: the whole run of `fir`, callable from
// a test through the scriptable platform backend.
//
//   int status = fir_main();   // checks, calibration, both timed runs, box
//
// Answers 0 after the result box and 1 after a failed check; a failed
// allocation ends the process (status 1 from the timing library, -1 from
// the vector buffers).
#pragma once
#include <cstddef>
#include <cstdint>

// Kernel calls in each timed run (32768).
extern int32_t fir_iterations;

int fir_main();

// Milliseconds of a time in seconds as the result box shows it: truncated
// toward zero to the whole millisecond. Times that fit no unsigned 32-bit
// number of seconds are held at its ends: not a number and negative times
// give 0, times of 2^32 seconds or more give 4294967295.999 seconds.
uint64_t fir_milliseconds(double seconds);

// A time as the result box shows it: whole seconds, the language's decimal
// separator and three digits of milliseconds ("0.712", "12,900").
void fir_format_seconds(char *text, size_t capacity, double seconds, char separator);
