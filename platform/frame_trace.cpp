// frame_trace.cpp - the optional frame trace (frame_trace.h).
#include "platform/frame_trace.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

#include "platform/settings.h"
#include "platform/state.h"

namespace plat {

FILE *frame_trace = nullptr;

namespace {

unsigned long long monotonic_microseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (unsigned long long)now.tv_sec * 1000000u + (unsigned long long)now.tv_nsec / 1000u;
}

void close_trace() {
    if (frame_trace) fclose(frame_trace);
    frame_trace = nullptr;
}

// A caption as one line of UTF-8.
std::string one_line(const char *text) {
    std::string line = code_page_to_utf8(text ? text : "", code_page_of_locale(state.machine.locale_id));
    for (char &c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

}  // namespace

bool frame_trace_open(const char *path, const char *backend_name, int display_bits) {
    close_trace();
    if (!path || !*path) return true;
    frame_trace = fopen(path, "a");
    if (!frame_trace) return false;
    // a frame line is about 25 bytes: a few hundred frames per write
    setvbuf(frame_trace, nullptr, _IOFBF, 1 << 16);
    static bool registered = false;
    if (!registered) registered = atexit(close_trace) == 0;
    fprintf(frame_trace, "%llu start backend=%s depth=%d pid=%d\n", monotonic_microseconds(),
            backend_name, display_bits, (int)getpid());
    // in the file at once: a program ended by a signal still names its backend
    fflush(frame_trace);
    return true;
}

void frame_trace_from_environment(const char *backend_name, int display_bits) {
    static bool done = false;
    if (done) return;
    done = true;
    const char *path = getenv("PLATFORM_FRAME_TRACE");
    if (path && *path && !frame_trace_open(path, backend_name, display_bits))
        fprintf(stderr, "platform: PLATFORM_FRAME_TRACE=%s cannot be opened; no trace\n", path);
}

void frame_trace_frame(HWND hwnd) {
    fprintf(frame_trace, "%llu frame %#lx\n", monotonic_microseconds(), (unsigned long)key(hwnd));
}

void frame_trace_drawn(HWND hwnd) {
    fprintf(frame_trace, "%llu drawn %#lx\n", monotonic_microseconds(), (unsigned long)key(hwnd));
}

void frame_trace_caption(HWND hwnd, const char *text) {
    fprintf(frame_trace, "%llu caption %#lx %s\n", monotonic_microseconds(), (unsigned long)key(hwnd),
            one_line(text).c_str());
}

void frame_trace_box(bool opened, const char *caption) {
    fprintf(frame_trace, "%llu %s %s\n", monotonic_microseconds(), opened ? "box-open" : "box-closed",
            one_line(caption).c_str());
    fflush(frame_trace);
}

}  // namespace plat
