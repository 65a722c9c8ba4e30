// guard.h - a guarded region: runs code that may fault on the processor's
// invalid-instruction or floating-point exceptions and reports whether it
// completed, instead of letting the fault end the process.
//
//   static void try_it(void *) { ... instructions that may fault ... }
//   if (platform_guarded_call(try_it, nullptr) == 0) ... it faulted ...
//
// Two implementations, one per system, picked by CMake:
//   guard.cpp          Linux: handlers for SIGILL and SIGFPE, installed for
//                      the duration of the call only, the earlier ones
//                      restored afterwards;
//   windows/guard.cpp  Windows: a vectored exception handler, installed for
//                      the duration of the call only, that accepts every
//                      exception raised in the region.
// Both restore the vector unit's control and status register (MXCSR)
// afterwards, whichever way the region ended.
// Not reentrant: one guarded region at a time, on one thread.
#pragma once

// 1 when region(context) returned, 0 when it faulted (SIGILL or SIGFPE on
// Linux, any exception on Windows).
int platform_guarded_call(void (*region)(void *), void *context);
