// guard.h - a guarded region: runs code that may fault on the processor's
// invalid-instruction or floating-point exceptions and reports whether it
// completed, instead of letting the fault end the process.
//
//   static void try_it(void *) { ... instructions that may fault ... }
//   if (platform_guarded_call(try_it, nullptr) == 0) ... it faulted ...
//
// Signal handlers for SIGILL and SIGFPE are installed for the duration of the
// call only; the earlier handlers and the vector unit's control and status
// register (MXCSR) are restored afterwards, whichever way the region ended.
// Not reentrant: one guarded region at a time, on one thread.
#pragma once

// 1 when region(context) returned, 0 when it raised SIGILL or SIGFPE.
int platform_guarded_call(void (*region)(void *), void *context);
