// fir_driver.h - the benchmark driver: the whole run of `fir`, callable from
// a test through the scriptable platform backend.
//
//   int status = fir_main();   // checks, calibration, both timed runs, box
//
// Answers 0 after the result box and 1 after a failed check; a failed
// allocation ends the process (status 1 from the timing library, -1 from
// the vector buffers).
#pragma once
#include <cstdint>

// Kernel calls in each timed run (32768).
extern int32_t fir_iterations;

int fir_main();

// Seconds as the result box shows them: the whole part, truncated toward
// zero. Times that fit no unsigned 32-bit number are held at its ends: not a
// number and negative times give 0, times of 2^32 seconds or more give
// 4294967295.
uint32_t fir_whole_seconds(double seconds);
