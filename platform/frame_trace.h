// frame_trace.h - an optional record of what a person sees of the program,
// for measuring it in a real window: when PLATFORM_FRAME_TRACE names a file,
// one line is appended per frame shown in a window, per caption set and per
// message box opened and closed, each starting with the monotonic clock in
// microseconds:
//
//   12034567 start backend=sdl depth=32 pid=4711
//   12051230 frame 0x10001
//   12051228 drawn 0x10001
//   12051240 caption 0x10001 Standard Voxel Demo FPS: 512
//   17060002 box-open Voxel Demo
//   17912345 box-closed Voxel Demo
//
// A "frame" is a picture a window showed. Where windows show the newest
// frame once a refresh of the screen (the presenter thread on X11, the
// compositor's pace on Wayland), each frame the program drew into the
// desktop under a window is also recorded, as "drawn", when it was drawn;
// elsewhere every frame drawn is shown at once, and there are no "drawn"
// lines.
// Captions and box captions are written in UTF-8, with line breaks as
// blanks. The start line reaches the file at once; the others are
// buffered and reach it when a box opens or closes and when the process
// ends through exit (not when a signal ends it). Off, each of the calls
// below costs one test of a pointer.
#pragma once
#include <cstdio>
#include <windows.h>

namespace plat {

extern FILE *frame_trace;  // the open trace, or null

// Opens the trace named by PLATFORM_FRAME_TRACE, if any, once per process.
void frame_trace_from_environment(const char *backend_name, int display_bits);
// Appends to `path` from now on (null or empty: closes the trace); false
// when the file cannot be opened. The start line names the backend and depth.
bool frame_trace_open(const char *path, const char *backend_name, int display_bits);

void frame_trace_frame(HWND hwnd);
void frame_trace_drawn(HWND hwnd);
void frame_trace_caption(HWND hwnd, const char *text);
void frame_trace_box(bool opened, const char *caption);

inline void trace_frame(HWND hwnd) {
    if (frame_trace) frame_trace_frame(hwnd);
}
inline void trace_drawn(HWND hwnd) {
    if (frame_trace) frame_trace_drawn(hwnd);
}
inline void trace_caption(HWND hwnd, const char *text) {
    if (frame_trace) frame_trace_caption(hwnd, text);
}
inline void trace_box(bool opened, const char *caption) {
    if (frame_trace) frame_trace_box(opened, caption);
}

}  // namespace plat
