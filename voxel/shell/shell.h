// shell.h - the life of the voxel program around the renderer: start-up
// checks, window, message loop with the two timed phases, frame driver,
// shutdown.
//
//   int status = run_demo(instance, show_command);   // the whole program
//
// Exit statuses: 0 for a normal end (also Escape, a closed window, or a window
// that could not be set up); 1 after a failed start-up check, missing data
// files or an unsupported display depth, and -1 when a data file cannot be
// read or used (the terrain initialisation failed), all ending the process at
// once through ExitProcess after a box that says why.
#pragma once
#include <windows.h>

#include <cstdint>

constexpr DWORD standard_phase_ms = 5000;   // the switch comes after more than this
constexpr DWORD vector_phase_ms = 10000;    // a phase ends at this or more

extern int window_active;   // 0 while the window is minimised
extern HWND main_window;    // the demo window, for the display's recovery and palette
extern bool frame_under_way; // render_frame is running: a frame asked for meanwhile is skipped

int run_demo(HINSTANCE instance, int show_command);
// 0, or -1 when the terrain could not be initialised (a quit is then posted).
int init_demo(HWND window, int width, int height);
void check_display_depth();
// The lock's failure code when no frame could be drawn, else 0.
HRESULT render_frame(HWND window);
LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void shutdown_demo();

// A caption: `name`, a blank and the frames per second (frame_rate.h).
void format_caption(char *caption, size_t capacity, const char *name, int fps);
// The caption is set at most this often (in the fine clock's time), except
// that a new phase name is shown at once.
constexpr uint32_t caption_interval_ms = 250;
