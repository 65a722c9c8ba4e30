// present_thread.h - the windows' pictures made and handed to the window
// system on a thread of their own, while the program draws its next frame,
// as a display's blitter once did beside the processor:
//
//   present_thread_start(show, 60); // once; show(job) runs on the thread
//   present_thread_post(job);       // a frame reached the desktop
//
// The thread shows the newest frame of each window, at most once a refresh
// of the screen (no screen shows more): a frame posted while the thread
// waits for the next refresh, or is still busy with an older frame,
// replaces the one waiting, so the program never waits for the window
// system, and the window system and the memory the program shares with it
// are spared the pictures no one could see. The desktop is read without stopping the program:
// the program brackets every write of it (present_desktop_writing, then
// present_desktop_written), and a picture read while a write was under way
// is never shown (present_desktop_still). The thread takes no signals.
#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/sdl/desktop_view.h"

struct SDL_Window;

namespace plat {

struct present_job {
    SDL_Window *window = nullptr;
    HWND hwnd = nullptr;
    int width = 0, height = 0;  // of the picture, from the client area's top left
    desktop_view view;
    uint64_t writes = 0;        // the desktop's writes when the frame was posted
};

// Starts the thread (once), showing at most `refresh_hz` pictures a second
// (0: as many as the window system takes); show() answers whether the job
// became a picture. False when the thread cannot be started.
bool present_thread_start(bool (*show)(const present_job &job), int refresh_hz);
bool present_thread_running();

// Queues `job` for the thread, in place of one of the same window that has
// not been started; sets its `writes`.
void present_thread_post(const present_job &job);

// Returns once every frame posted has been shown or given up (at most
// 200 ms; the refresh is not waited for): before a box opens, so that the
// phase's last frame is on screen.
void present_thread_drain();

// Holds the thread between jobs, after every job posted is done (at most
// 200 ms), so that the caller may use what the thread uses (its X
// connection, the desktop's memory); present_thread_resume lets it go on.
void present_thread_pause();
void present_thread_resume();

// ---- on the program's thread: the desktop's writes ----
void present_desktop_writing();
void present_desktop_written();

// ---- on the presenter thread: the desktop's reads ----
// True while the desktop holds the job's frame: before a read, and after
// it, when what was read is that frame whole (a newer frame has its own job).
bool present_desktop_still(const present_job &job);

}  // namespace plat
