// state.h - the platform's process-wide records, shared by every backend:
// the machine's settings, windows and their classes, the message queue, the
// display (desktop memory, mode, system palette), device contexts, palettes
// and the DirectDraw objects. Handles handed to programs are numbers that are
// never reused, so a released handle is recognised, not followed.
#pragma once
#include <ddraw.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/placed_memory.h"

namespace plat {

// ---- the machine ---------------------------------------------------------
struct machine_settings {
    uint32_t locale_id = 0x0409;
    OSVERSIONINFOA version = {sizeof(OSVERSIONINFOA), 4, 0, 1381, VER_PLATFORM_WIN32_NT,
                              "Service Pack 4"};
    int display_bits = 32;
    bool display_555 = false;
    int desktop_width = 1024, desktop_height = 768;
    std::string module_path;   // the program's file; empty when unknown
};

// ---- windows -------------------------------------------------------------------
struct window_class {
    WNDPROC proc;
    UINT style;
    HINSTANCE instance;
    HICON icon;
    HCURSOR cursor;
    HBRUSH background;
};

struct window {
    std::string class_name;
    WNDPROC proc;
    DWORD style;
    std::string caption;
    RECT client;           // client area in screen coordinates
    RECT restored_client;  // where a maximised window returns to
    bool visible = false, minimised = false, maximised = false;
    bool needs_paint = false;
    bool shown_once = false;
    void *backend_data = nullptr;
};

// ---- GDI ------------------------------------------------------------------------
struct device_context {
    HWND hwnd;         // NULL: the whole screen
    bool information;  // an information context (CreateICA)
    HPALETTE palette;  // selected palette (the stock default one at first)
    bool background;   // selected as a background palette
};

// ---- DirectDraw -----------------------------------------------------------------
struct dd_display {
    bool cooperative = false;
    HWND hwnd = nullptr;
    bool has_primary = false;
};

struct dd_surface {
    uintptr_t display = 0;  // handle of the display object that made it
    bool primary = false;
    int width = 0, height = 0, pitch = 0, bits = 0;
    bool is_555 = false;
    int mode_serial = 0;    // the display mode it was made in
    placed_bytes memory{offscreen_placement};  // off-screen surfaces; the primary uses the desktop
    bool lost = false;
    bool locked = false;
    uint8_t *lock_address = nullptr;
    uintptr_t clipper = 0;
};

struct dd_clipper {
    uintptr_t display;
    HWND hwnd = nullptr;
    int references = 1;
};

// ---- everything -----------------------------------------------------------------
struct platform_state {
    machine_settings machine;
    uintptr_t next_handle = 0x10000;

    std::map<std::string, window_class> classes;
    std::map<uintptr_t, window> windows;
    std::deque<MSG> queue;
    bool quit_posted = false;
    int quit_code = 0;

    int mode_serial = 1;
    placed_bytes desktop{desktop_placement};  // allocated at first use
    uint8_t *shared_desktop = nullptr;        // the backend's desktop memory instead, when it gave some
    int desktop_pitch = 0;
    bool desktop_read_elsewhere = false;      // a presenter thread reads it after each change
    bool frames_shown_paced = false;          // windows show the newest frame once a refresh
    std::array<PALETTEENTRY, 256> system_palette{};

    std::map<uintptr_t, device_context> dcs;
    std::map<uintptr_t, std::vector<PALETTEENTRY>> palettes;

    std::map<uintptr_t, dd_display> displays;
    std::map<uintptr_t, dd_surface> surfaces;
    std::map<uintptr_t, dd_clipper> clippers;
};

extern platform_state state;

// Forgets everything (windows, queue, objects) and sets the machine.
void reset_state(const machine_settings &machine);
uintptr_t new_handle();

template <typename H> uintptr_t key(H handle) { return reinterpret_cast<uintptr_t>(handle); }
template <typename H> H handle_of(uintptr_t key) { return reinterpret_cast<H>(key); }

window *find_window(HWND hwnd);
// The most recently created window still alive, or NULL.
HWND newest_window();

// Sends a message straight to the window's procedure (0 if there is none).
LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void post_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// State changes of a window that the user makes; each sends WM_SIZE.
void window_minimise(HWND hwnd);
void window_maximise(HWND hwnd, int client_width, int client_height);
void window_restore(HWND hwnd);
// The window's client area got another size (the user resized it).
void window_resize(HWND hwnd, int client_width, int client_height);
void window_invalidate(HWND hwnd);
// Dispatches WM_PAINT to every window that needs it (a modal box's loop).
void paint_pending_windows();

// ---- the display -------------------------------------------------------------
int bytes_per_pixel(int bits);
bool surface_depth_supported(int bits);
void display_set_mode(int bits, bool is_555);
uint8_t *desktop_memory();  // allocates the desktop on first use
// The desktop memory is about to be written (a Blt onto it, a Lock of it):
// tells the backend when another processor reads it (desktop_writing).
void desktop_will_change();
// True when another processor reads the desktop after each change (the
// window system from shared memory, or a presenter thread).
bool desktop_read_elsewhere();
// The pixel format of the display, as GetSurfaceDesc reports it.
DDPIXELFORMAT display_pixel_format(int bits, bool is_555);
// The system palette as it is when the display starts: the 20 static colours
// at 0-9 and 246-255, black between.
void reset_system_palette();
// The desktop under `area` (screen coordinates) changed: tell the backend
// for every window whose client area it touches.
void desktop_changed(const RECT &area);

}  // namespace plat
