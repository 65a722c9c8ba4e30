// kernel.cpp - clocks, sleep, version, locale id, module handle and file, and
// exit.
#include <cstdlib>
#include <string>
#include <mmsystem.h>

#include "platform/backend.h"
#include "platform/state.h"

using namespace plat;

DWORD WINAPI GetTickCount(void) { return backend().milliseconds(true); }

DWORD WINAPI timeGetTime(void) { return backend().milliseconds(true); }

void WINAPI Sleep(DWORD milliseconds) { backend().sleep(milliseconds); }

// The real counter counts nanoseconds of the monotonic clock; the scriptable
// backend's counts microseconds of its scripted clock.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER *count) {
    if (!count) return FALSE;
    count->QuadPart = (LONGLONG)backend().counter();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = (LONGLONG)backend().counter_rate;
    return TRUE;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    HRESULT code;
    backend();
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
    if (call_fails(script_op::get_version, &code)) return FALSE;
    *info = state.machine.version;
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return TRUE;
}

LCID WINAPI GetSystemDefaultLCID(void) {
    backend();
    return state.machine.locale_id;
}

// The program's own module; other modules are not there.
HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    return name ? nullptr : handle_of<HMODULE>(0x400000);
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
    backend();
    const std::string &path = state.machine.module_path;
    if ((module && module != GetModuleHandleA(NULL)) || path.empty() || !name || size == 0) return 0;
    const DWORD length = path.size() < size ? DWORD(path.size()) : size - 1;
    path.copy(name, length);
    name[length] = '\0';
    return path.size() < size ? length : size;
}

void WINAPI ExitProcess(UINT exit_code) {
    backend().exit_process((int)exit_code);
    _Exit((int)exit_code);  // a backend's exit never comes back; be sure of it
}
