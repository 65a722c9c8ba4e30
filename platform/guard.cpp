// guard.cpp - a guarded region on POSIX signals: SIGILL and SIGFPE raised
// inside it jump back to the guard, which answers 0.
#include "platform/guard.h"

#include <csetjmp>
#include <csignal>
#include <xmmintrin.h>

static sigjmp_buf guard_return;

static void leave_region(int) { siglongjmp(guard_return, 1); }

int platform_guarded_call(void (*region)(void *), void *context) {
    // note the state the region may disturb
    unsigned int control = _mm_getcsr();
    struct sigaction handler = {}, old_ill, old_fpe;
    handler.sa_handler = leave_region;
    sigemptyset(&handler.sa_mask);
    sigaction(SIGILL, &handler, &old_ill);
    sigaction(SIGFPE, &handler, &old_fpe);

    // run it; a fault comes back here through the handler
    volatile int completed = 0;
    if (sigsetjmp(guard_return, 1) == 0) {
        region(context);
        completed = 1;
    }

    // put everything back, whichever way the region ended
    sigaction(SIGILL, &old_ill, nullptr);
    sigaction(SIGFPE, &old_fpe, nullptr);
    _mm_setcsr(control);
    return completed;
}
