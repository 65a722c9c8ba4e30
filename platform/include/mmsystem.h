// mmsystem.h - the multimedia millisecond timer.
#pragma once
#include <windows.h>

// Milliseconds since an arbitrary start, wrapping at 2^32; the same clock as
// GetTickCount.
DWORD WINAPI timeGetTime(void);
