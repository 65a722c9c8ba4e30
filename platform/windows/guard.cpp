// guard.cpp (Windows) - a guarded region on structured exception handling:
// a vectored exception handler, installed for the duration of the call only,
// accepts every exception raised inside the region and resumes the guard at
// the point it noted before entering, which then answers 0.
//
// The resume point is a whole register context taken with RtlCaptureContext
// in platform_guarded_call's own frame, which is still live while the region
// runs; continuing with that context is a jump back, like longjmp, that the
// system performs itself.
#include <windows.h>

#include <xmmintrin.h>

#include "platform/guard.h"

static CONTEXT guard_resume;
static volatile LONG guard_faulted;

static LONG CALLBACK leave_region(EXCEPTION_POINTERS *exception) {
    guard_faulted = 1;
    *exception->ContextRecord = guard_resume;
    return EXCEPTION_CONTINUE_EXECUTION;
}

int platform_guarded_call(void (*region)(void *), void *context) {
    // note the state the region may disturb, and where to come back to
    const unsigned int control = _mm_getcsr();
    guard_faulted = 0;
    void *handler = AddVectoredExceptionHandler(1, leave_region);
    RtlCaptureContext(&guard_resume);

    // run it; a fault continues just after the capture above, with the flag set
    if (!guard_faulted)
        region(context);
    const int completed = guard_faulted ? 0 : 1;

    // put everything back, whichever way the region ended
    RemoveVectoredExceptionHandler(handler);
    _mm_setcsr(control);
    return completed;
}
