// checks.cpp - the start-up checks: operating system and vector unit.
#include <windows.h>

#include <cstring>

#include "common/checks.h"
#include "platform/guard.h"

int check_operating_system() {
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(&version)) return 0;
    // Windows NT 4.0 with exactly the fourth service pack
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 4 &&
        strcmp(version.szCSDVersion, "Service Pack 4") == 0)
        return 1;
    return 0;
}

#ifdef __EMSCRIPTEN__
// The same two instructions on WebAssembly's 128-bit vector unit, to which
// the intrinsics map one for one; the volatile store keeps the compiler
// from dropping or folding them.
#include <xmmintrin.h>
static void try_vector_instructions(void *) {
    static volatile float lane;
    __m128 zero = _mm_xor_ps(_mm_set1_ps(lane), _mm_set1_ps(lane));
    lane = _mm_cvtss_f32(_mm_div_ps(zero, zero));
}
#else
// Clears a vector register with exclusive-or, then divides it by itself
// lane-wise (0 / 0 in all four lanes). Written as assembly so that the
// compiler can neither drop nor fold the instructions.
static void try_vector_instructions(void *) {
    __asm__ __volatile__("xorps %%xmm0, %%xmm0\n\t"
                         "divps %%xmm0, %%xmm0\n\t"
                         :
                         :
                         : "xmm0");
}
#endif

int check_vector_unit() {
    return platform_guarded_call(try_vector_instructions, nullptr) == 1 ? 1 : 0;
}
