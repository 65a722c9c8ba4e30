// sdl_backend.cpp - real windows through SDL2: each platform window is an SDL
// window showing the part of the desktop (the primary surface) under its
// client area, converted to the window's own format; SDL's events become
// window messages. Message boxes are our own modal windows (box*.cpp).
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/backend.h"
#include "platform/settings.h"
#include "platform/sdl/box/box.h"
#include "platform/sdl/canvas.h"
#include "platform/sdl/driver_hints.h"
#include "platform/sdl/interrupts.h"
#include "platform/sdl/key_message.h"
#include "platform/sdl/sdl_wait.h"
#include "platform/sdl/wayland/wl_connection.h"
#include "platform/sdl/wayland/wl_shm_present.h"
#include "platform/sdl/wayland/wl_window_role.h"
#include "platform/sdl/window_present.h"
#include "platform/sdl/window_title.h"
#include "platform/sdl/x11/x_display.h"
#include "platform/sdl/present_thread.h"
#include "platform/sdl/x11/x_shm_present.h"

namespace plat {
namespace {

std::map<Uint32, HWND> window_of_id;

SDL_Window *sdl_window(window &w) { return static_cast<SDL_Window *>(w.backend_data); }

std::string caption_utf8(const window &w) {
    return code_page_to_utf8(w.caption.c_str(), code_page_of_locale(state.machine.locale_id));
}

HWND find_by_id(Uint32 id) {
    auto it = window_of_id.find(id);
    return it == window_of_id.end() || !find_window(it->second) ? nullptr : it->second;
}

// ---- events into messages ---------------------------------------------------------

// The virtual key of an SDL key, or 0 for keys nothing here needs.
WPARAM virtual_key(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) return VK_ESCAPE;
    if (key == SDLK_RETURN) return VK_RETURN;
    if (key == SDLK_SPACE) return VK_SPACE;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    return 0;
}

// A window the platform has as minimised that the window system shows again
// (exposed, shown, focused) was restored, or maximised, whether or not SDL
// sent a RESTORED event for it: a restore from the taskbar can come as no
// more than a focus change.
void take_back_from_minimised(HWND hwnd, window &w, int width, int height) {
    if (!w.minimised || !x_window_viewable(sdl_window(w))) return;
    if (SDL_GetWindowFlags(sdl_window(w)) & SDL_WINDOW_MAXIMIZED)
        window_maximise(hwnd, width, height);
    else
        window_restore(hwnd);
}

void window_event(const SDL_WindowEvent &e) {
    HWND hwnd = find_by_id(e.windowID);
    window *w = find_window(hwnd);
    if (!w) return;
    int width, height;
    SDL_GetWindowSize(sdl_window(*w), &width, &height);
    switch (e.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_TAKE_FOCUS:
    case SDL_WINDOWEVENT_ENTER: take_back_from_minimised(hwnd, *w, width, height); break;
    case SDL_WINDOWEVENT_CLOSE: post_message(hwnd, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_MINIMIZED: window_minimise(hwnd); break;
    case SDL_WINDOWEVENT_MAXIMIZED: window_maximise(hwnd, width, height); break;
    case SDL_WINDOWEVENT_RESTORED: window_restore(hwnd); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (!w->minimised && (width != w->client.right - w->client.left ||
                              height != w->client.bottom - w->client.top))
            window_resize(hwnd, width, height);
        set_window_title(sdl_window(*w), caption_utf8(*w));  // the room for it changed
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        take_back_from_minimised(hwnd, *w, width, height);
        window_invalidate(hwnd);
        break;
    default: break;
    }
}

// The program peeks for messages after every frame, thousands of times a
// second, and each look into the window system is a round of system calls:
// it looks at most once a millisecond, which no one can feel.
constexpr uint64_t pump_interval_ns = 1000000;

void sdl_pump() {
    // before SDL reads from a compositor that may have gone (wl_connection.h)
    wl_connection_check();
    static uint64_t pumped_at;
    const uint64_t now = real_nanoseconds();
    if (pumped_at == 0 || now - pumped_at >= pump_interval_ns) {
        SDL_PumpEvents();
        pumped_at = now;
    }
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (sdl_box_takes_event(e)) continue;
        switch (e.type) {
        case SDL_WINDOWEVENT: window_event(e.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            HWND hwnd = find_by_id(e.key.windowID);
            WPARAM key = virtual_key(e.key.keysym.sym);
            if (hwnd && key)
                post_message(hwnd, e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, key,
                             (LPARAM)key_message_lparam(e.type == SDL_KEYDOWN, e.key.repeat != 0));
            break;
        }
        case SDL_QUIT: {
            // SDL's quit (its last window asked to close) closes the window as its close box would
            HWND hwnd = newest_window();
            if (hwnd) post_message(hwnd, WM_CLOSE, 0, 0);
            break;
        }
        default: break;
        }
    }
    // a lost compositor ends the program before any message of SDL's
    // reaction to it (a quit) is acted on
    wl_connection_check();
    present_frames_owed(0);
}

void sdl_wait() { sdl_wait_for_event(100); }

// ---- boxes -----------------------------------------------------------------------

void sdl_message_box(const box_request &box) {
    // the box comes over the window's newest picture, not one left out
    wl_connection_check();
    present_thread_drain();
    present_frames_owed(100);
    std::string why;
    if (sdl_box_show(box, &why)) return;
    // a box that could not be made on a lost connection is not for the terminal
    wl_connection_check();
    // without a box the user still gets the message, on standard error
    fprintf(stderr, "platform: message box shown on the terminal: %s\n", why.c_str());
    headless_backend.message_box(box);
}

// ---- windows ------------------------------------------------------------------------

void sdl_window_created(HWND hwnd, window &w) {
    std::string title = caption_utf8(w);
    // resizable, so that the window manager offers to maximise it
    SDL_Window *s = SDL_CreateWindow(title.c_str(), w.client.left, w.client.top,
                                     std::max(1, (int)(w.client.right - w.client.left)),
                                     std::max(1, (int)(w.client.bottom - w.client.top)),
                                     SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    w.backend_data = s;
    if (s) window_of_id[SDL_GetWindowID(s)] = hwnd;
    set_window_title(s, title);
    x_window_added(s);
}

void sdl_window_state_changed(HWND, window &w) {
    SDL_Window *s = sdl_window(w);
    if (!s) return;
    Uint32 flags = SDL_GetWindowFlags(s);
    if (!w.visible) {
        SDL_HideWindow(s);
        return;
    }
    if (flags & SDL_WINDOW_HIDDEN) wl_show_window(s);
    if (w.minimised && !(flags & SDL_WINDOW_MINIMIZED)) SDL_MinimizeWindow(s);
    if (w.maximised && !(flags & SDL_WINDOW_MAXIMIZED)) SDL_MaximizeWindow(s);
    if (!w.minimised && !w.maximised && (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)))
        SDL_RestoreWindow(s);
}

void sdl_caption_changed(HWND, window &w) {
    set_window_title(sdl_window(w), caption_utf8(w));
}

void sdl_window_destroyed(HWND, window &w) {
    SDL_Window *s = sdl_window(w);
    if (!s) return;
    window_of_id.erase(SDL_GetWindowID(s));
    x_window_removed(s);
    present_thread_pause();
    x_shm_forget(s);
    present_thread_resume();
    wl_shm_forget(s);
    canvas_forget(s);
    wl_window_ending(s);
    SDL_DestroyWindow(s);
    w.backend_data = nullptr;
}

// A frame was presented to the window: the desktop under its client area
// goes to the screen (window_present.h).
bool sdl_presented(HWND hwnd, window &w) { return present_desktop(sdl_window(w), hwnd, w); }

// The desktop stays the platform's own memory, which the presenter thread
// reads (present_thread.h); when a new display mode lets it go (`bytes` 0),
// the thread is first done with every picture of it.
uint8_t *sdl_desktop_memory(size_t bytes) {
    if (bytes == 0) {
        present_thread_pause();
        present_thread_resume();
    }
    return nullptr;
}

uint32_t sdl_milliseconds(bool) { return real_milliseconds(); }

// A sleep (fir's eight seconds of calibration among them) in which a lost
// compositor is noticed at once.
void sdl_sleep(uint32_t ms) { wl_connection_sleep(ms); }

void sdl_exit(int status) { exit(status); }

bool is_virtual_driver(const char *name) {
    return name && (!strcasecmp(name, "dummy") || !strcasecmp(name, "offscreen"));
}

// True when the environment names no window system and no video driver:
// there is nothing for SDL to open, and trying only prints its complaints.
bool no_window_system() {
    auto unset = [](const char *name) { return !getenv(name) || !*getenv(name); };
    return unset("SDL_VIDEODRIVER") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
}

// True for a pixel format with red, green and blue fields, in which SDL
// can make window surfaces.
bool direct_colour(Uint32 format) {
    return format != SDL_PIXELFORMAT_UNKNOWN && !SDL_ISPIXELFORMAT_INDEXED(format) && SDL_BITSPERPIXEL(format) >= 15;
}

// SDL2 makes no window surface on an indexed visual: on 8-bit PseudoColor
// the windows are drawn through a colour map of ours (canvas.h); on any
// other they would stay black and the boxes blank, so it is refused.
bool visual_usable() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || direct_colour(mode.format)) return true;
    unsigned long id = 0;
    const std::string visual = x_screen_visual(&id);
    if (visual == "8-bit PseudoColor") {
        // in that visual, not in another of the screen's (SDL prefers
        // DirectColor), so that the colour map is the program's own
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(id).c_str());
        canvas_use_colour_map();
        return true;
    }
    fprintf(stderr, "platform: the screen's visual (%s) is not supported; boxes and captions go to the terminal\n",
            visual.empty() ? SDL_GetPixelFormatName(mode.format) : visual.c_str());
    return false;
}

// Whether a window of this video driver can be drawn on at all: on Wayland
// through our own buffers, elsewhere through SDL's window surface (which
// SDL2's Wayland driver, for one, makes only as a GL texture). Asked of a
// hidden window, which no one sees.
bool windows_drawable(std::string *why) {
    if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0) return true;
    SDL_Window *probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    if (!probe) {
        *why = std::string("no window: ") + SDL_GetError();
        return false;
    }
    const bool drawable = wl_shm_open(probe) || SDL_GetWindowSurface(probe) != nullptr;
    // the connection stays open only where windows can be drawn
    if (drawable) wl_connection_watch(probe);
    if (!drawable) {
        const std::string error = SDL_GetError();
        *why = "SDL gives its windows no surface to draw on" + (error.empty() ? "" : ": " + error);
    }
    SDL_DestroyWindow(probe);
    return drawable;
}

}  // namespace

// Pumps and looks, sleeping 2 ms between looks: no wakeup message is ever
// sent to one of the program's windows.
void sdl_wait_for_event(uint32_t ms) {
    const uint32_t start = real_milliseconds();
    for (;;) {
        wl_connection_check();
        SDL_PumpEvents();
        wl_connection_check();
        present_frames_owed(0);
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || real_milliseconds() - start >= ms) return;
        SDL_Delay(2);
    }
}

bool sdl_backend_open(machine_settings &machine) {
    if (is_virtual_driver(getenv("SDL_VIDEODRIVER")) || no_window_system()) return false;
    interrupts_keep_from_sdl();
    // a window system was named but cannot be reached: say so once, as
    // the boxes and captions then go to the terminal
    auto unreachable = [](const char *why) {
        fprintf(stderr, "platform: no window system could be opened (%s); boxes and captions go to the terminal\n",
                why);
        return false;
    };
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return unreachable(SDL_GetError());
    if (is_virtual_driver(SDL_GetCurrentVideoDriver())) {
        // SDL went on to a virtual driver: ask the named window system
        // itself once more, for its answer (or a connection after all)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        const bool wayland = getenv("WAYLAND_DISPLAY") && *getenv("WAYLAND_DISPLAY");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, wayland ? "wayland" : "x11");
        const bool opened = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
        if (!opened) {
            const char *display = getenv(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
            return unreachable((std::string(SDL_GetError()) + " for " + (wayland ? "WAYLAND_DISPLAY=" : "DISPLAY=") +
                                (display ? display : "")).c_str());
        }
    }
    const char *driver = SDL_GetCurrentVideoDriver();
    if (framebuffer_acceleration_off(driver))
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    SDL_DisplayMode mode;
    if (!visual_usable()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    std::string why;
    if (!windows_drawable(&why)) {
        fprintf(stderr, "platform: windows cannot be drawn on the %s video driver (%s); boxes and captions go to the terminal\n",
                driver, why.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        machine.desktop_width = mode.w;
        machine.desktop_height = mode.h;
    }
    x_errors_install();
    interrupts_end_the_program();
    return true;
}

const platform_backend sdl_backend = {
    "sdl",
    sdl_pump,
    sdl_wait,
    nullptr,
    sdl_message_box,
    sdl_window_created,
    sdl_window_state_changed,
    sdl_caption_changed,
    sdl_window_destroyed,
    sdl_presented,
    sdl_milliseconds,
    real_nanoseconds,
    real_nanoseconds_per_second,
    sdl_sleep,
    sdl_exit,
    nullptr,
    sdl_desktop_memory,
    present_desktop_writing,
    present_desktop_written,
};

}  // namespace plat
