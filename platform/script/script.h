// script.h - the scriptable platform backend, for tests.
//
// A test starts a scripted session, runs the program's code against it and
// reads what it recorded; nothing waits for real time and nothing is shown.
//
//   script_settings settings;
//   settings.locale_id = 0x040C;                    // French
//   settings.display_bits = 16;
//   settings.on_message_box = [](const script_box &box) {
//       if (box.index == 1) script_queue(script_input::escape);
//   };
//   script_start(settings);                         // resets all platform state
//   int status = script_run([] { return run_demo(GetModuleHandleA(NULL), SW_SHOWNORMAL); });
//   EXPECT_EQ(script_boxes()[0].caption, "Voxel Demo");
//   script_stop();                                  // frees everything
//
// The clock: GetTickCount and timeGetTime read it (and then advance it by
// settings.clock_step); Sleep advances it by its argument; the test moves it
// with script_advance / script_set_time, also from inside a hook.
// QueryPerformanceCounter reads a counter of microseconds (frequency
// 1000000) that moves with the clock: a millisecond of the clock is 1000
// counts, script_set_time puts it at the start of that millisecond, and
// script_advance_counter (or settings.counter_step, added after each read)
// moves it by microseconds, the clock following by the milliseconds done.
// Message boxes are recorded, passed to on_message_box while "open" (a paint
// queued there is dispatched while the box is up, as a modal box's own loop
// would), and answer IDOK. WaitMessage with nothing queued jumps the clock to
// the next event planned with script_at; with nothing planned the program
// could never go on, so the run is ended as by ExitProcess(script_stall_status)
// and script_stalled() answers true.
#pragma once
#include <ddraw.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// A message box as the program showed it.
struct script_box {
    int index;                 // 0 for the first box of the session
    std::string caption, text; // bytes as passed (code page of the locale)
    std::string caption_utf8, text_utf8;
    UINT type;                 // the MB_* flags as passed
    HWND owner;
    uint32_t time;             // scripted clock when it was opened
};

// A window caption set with SetWindowTextA.
struct script_caption {
    std::string text, text_utf8;
    uint32_t time;
};

// What a window showed after a copy onto the primary surface: its client
// area, rows packed (width x bytes per pixel), in the display's format.
struct script_frame {
    int index;                 // counts every presented frame of the session
    uint32_t time;
    int width, height;
    int bits_per_pixel;        // 8, 16, 24 or 32
    bool is_555;               // 16 bits: 5-5-5 instead of 5-6-5
    std::vector<uint8_t> pixels;
    std::array<PALETTEENTRY, 256> system_palette; // at 8 bits: what indexes mean
};

// Input the scripted user gives; it goes to the most recently created live
// window. escape: WM_KEYDOWN VK_ESCAPE (and WM_KEYUP); close: WM_CLOSE (the
// close box); minimise / maximise / restore: the window changes state and gets
// WM_SIZE (SIZE_MINIMIZED; SIZE_MAXIMIZED with the desktop's work area;
// SIZE_RESTORED with its own size) and, unless minimised, a repaint; paint:
// the client area is invalidated (WM_PAINT follows).
enum class script_input { escape, close, minimise, maximise, restore, paint };

// Operations whose failure a test can inject. The USER ones fail the way
// Windows reports it (0 / NULL / FALSE); the DirectDraw ones with the code.
enum class script_op {
    direct_draw_create,
    set_cooperative_level,
    create_surface,
    create_clipper,
    clipper_set_hwnd,
    set_clipper,
    get_surface_desc,
    lock,
    unlock,
    blt,
    restore,
    register_class,
    create_window,
    adjust_window_rect,
    create_ic,
    create_palette,
    get_version,
    count
};

struct script_settings {
    uint32_t locale_id = 0x0409;
    OSVERSIONINFOA version = {sizeof(OSVERSIONINFOA), 4, 0, 1381, VER_PLATFORM_WIN32_NT,
                              "Service Pack 4"};
    int display_bits = 32;       // what BITSPIXEL answers; surfaces need 8, 16, 24 or 32
    bool display_555 = false;    // 16 bits: 5-5-5
    int desktop_width = 1024, desktop_height = 768;
    std::string module_path;     // what GetModuleFileNameA answers; empty: it fails
    uint32_t start_time = 0;     // the clock at script_start
    uint32_t clock_step = 0;     // added after each GetTickCount / timeGetTime
    uint32_t counter_step = 0;   // microseconds added after each QueryPerformanceCounter
    size_t frames_kept = 8;      // the most recent presented frames kept (0: none)
    bool window_system_shows = true;  // false: presented frames never reach a screen
    std::function<void(const script_box &)> on_message_box;
    std::function<void(const script_frame &)> on_present;
    // Called whenever PeekMessage finds nothing to hand out.
    std::function<void()> on_idle;
    // The desktop's memory is the backend's, as where windows are shown
    // straight from it; on_desktop_write is called before every write of it.
    bool shared_desktop = false;
    std::function<void()> on_desktop_write;
};

// Starts a session (ending any earlier one): every window, class, message,
// DirectDraw object, palette and record of before is gone.
void script_start(const script_settings &settings = {});
// Ends the session and frees everything; later platform calls start the
// normal backend choice again.
void script_stop();
bool script_active();

// Runs the program's code; answers its result, or the status it passed to
// ExitProcess.
int script_run(const std::function<int()> &entry);
bool script_exited();   // the last run ended through ExitProcess
bool script_stalled();  // ... because it waited for input that could never come
constexpr int script_stall_status = 0x57a11;

// The clock.
uint32_t script_time();
void script_set_time(uint32_t ms);
void script_advance(uint32_t ms);
void script_set_clock_step(uint32_t ms);
// The performance counter (microseconds) without reading it as the program does.
uint64_t script_counter();
void script_advance_counter(uint64_t us);

// Input: now (delivered by the next PeekMessage) or when the clock has
// reached `time` (delivered by the first PeekMessage or WaitMessage then).
void script_queue(script_input input);
void script_at(uint32_t time, script_input input);
// Any action at a time, run by the first PeekMessage or WaitMessage then.
void script_at(uint32_t time, std::function<void()> action);

// The machine's settings, changeable while the program runs.
void script_set_locale(uint32_t locale_id);
// A display mode change: BITSPIXEL and new surfaces follow the new depth;
// every existing surface is lost, and Restore answers it DDERR_WRONGMODE.
void script_change_display_mode(int bits, bool is_555 = false);
// Takes the memory of existing surfaces away (as another program going
// full-screen would): Lock and Blt answer DDERR_SURFACELOST until Restore.
constexpr unsigned script_primary = 1, script_offscreen = 2;
void script_lose_surfaces(unsigned which = script_primary | script_offscreen);

// Makes calls `skip` to `skip + times - 1` (counted from now, 0 = the next
// one) of the operation fail with `code`.
void script_fail(script_op op, HRESULT code, int skip = 0, int times = 1);
// How often the operation was called in this session.
int script_calls(script_op op);

// Records.
const std::vector<script_box> &script_boxes();
const std::vector<script_caption> &script_captions();
const std::deque<script_frame> &script_frames(); // the last frames_kept
int script_frame_count();                        // all presented frames
// The pixels of the desktop (the primary surface), rows packed.
std::vector<uint8_t> script_desktop_pixels();
std::array<PALETTEENTRY, 256> script_system_palette();

// The most recently created window that is still alive (NULL if none).
HWND script_main_window();
std::string script_window_caption(HWND hwnd);
bool script_window_visible(HWND hwnd);
bool script_window_minimised(HWND hwnd);
// Live DirectDraw objects (display objects, surfaces, clippers), device
// contexts and palettes; all 0 when the program released everything.
int script_live_direct_draw_objects();
int script_live_gdi_objects();
