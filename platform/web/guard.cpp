// guard.cpp - the guarded region in WebAssembly. Its floating-point
// instructions raise no exceptions (IEEE results, no traps), and a module
// holding instructions the engine lacks is refused whole before anything
// runs: the page asks WebAssembly.validate whether the engine has the
// 128-bit vector instructions and, when it has not, loads the scalar-only
// module instead (missing_unit.cpp). So a region in a running module
// completes, and nothing is disturbed that needs restoring. A trap (a
// fault of the program itself) ends the whole instance, as it should.
#include "platform/guard.h"

int platform_guarded_call(void (*region)(void *), void *context) {
    region(context);
    return 1;
}
