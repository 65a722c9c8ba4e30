// guard-check - the vector-unit check on Windows' own exception handling.
// On a real processor the two instructions never fault with the default
// settings, so the programs never take the guard's fault path; here the
// invalid-operation exception is unmasked so that they do. Prints one line
// per failed expectation and ends with status 1, or "guard-check: passed"
// and status 0.
#include <cstdio>
#include <xmmintrin.h>

#include "common/checks.h"

static int failures = 0;

static void expect(bool holds, const char *what, unsigned value) {
    if (holds)
        return;
    std::printf("guard-check: %s (got %#x)\n", what, value);
    ++failures;
}

// The check under `control`: its answer, and MXCSR as it left it.
static void check_under(unsigned control, int answer, const char *what) {
    _mm_setcsr(control);
    const int got = check_vector_unit();
    const unsigned after = _mm_getcsr();
    expect(got == answer, what, unsigned(got));
    expect(after == control, "MXCSR not restored", after);
}

int main() {
    const unsigned masked = 0x1F80, invalid_unmasked = 0x1F80 & ~0x0080u;
    check_under(masked, 1, "answer with all exceptions masked is not 1");
    check_under(invalid_unmasked, 0, "answer with invalid operation unmasked is not 0");
    check_under(masked, 1, "answer after a fault, masked again, is not 1");
    check_under(invalid_unmasked, 0, "second fault: answer is not 0");
    _mm_setcsr(masked);
    if (failures == 0)
        std::puts("guard-check: passed");
    return failures ? 1 : 0;
}
