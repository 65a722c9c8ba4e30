// bitmap_trace.cpp - the reader's diagnostic hook.
//
// debug_trace prints nothing anywhere. It keeps the formatted text of the
// last message in bitmap_last_trace so that a caller that wants to tell a
// user why a file was refused (an offline tool, a test) can read it.
#include <cstdarg>
#include <cstdio>

#include "voxel/display/bitmap.h"

char bitmap_last_trace[bitmap_trace_size];

void debug_trace(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(bitmap_last_trace, sizeof bitmap_last_trace, format, args);
    va_end(args);
}
