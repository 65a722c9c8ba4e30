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

int check_vector_unit() {
    return platform_guarded_call(try_vector_instructions, nullptr) == 1 ? 1 : 0;
}
