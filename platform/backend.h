// backend.h - the operations that differ between backends: a table filled
// by each backend (sdl/, headless/, script/) and chosen once, at the first
// platform call. Nothing outside platform/ sees it.
#pragma once
#include <cstdint>
#include <string>

#include "platform/script/script.h"
#include "platform/state.h"

namespace plat {

struct box_request {
    const char *caption, *text;           // bytes as the program passed them
    std::string caption_utf8, text_utf8;  // the same through the locale's code page
    UINT type;
    HWND owner;
};

struct platform_backend {
    const char *name;
    // Turns what happened outside (window system events, scripted input)
    // into messages; called by PeekMessage and WaitMessage.
    void (*pump)();
    // Waits until input may have arrived (WaitMessage with an empty queue).
    void (*wait)();
    // Nothing in the queue for PeekMessage (may be null).
    void (*idle)();
    // Shows a modal box and returns when it was dismissed.
    void (*message_box)(const box_request &box);
    void (*window_created)(HWND hwnd, window &w);
    void (*window_state_changed)(HWND hwnd, window &w);  // shown, hidden, minimised...
    void (*caption_changed)(HWND hwnd, window &w);
    void (*window_destroyed)(HWND hwnd, window &w);
    // The desktop under the window's client area was drawn on: shows it;
    // true when a picture really went to the window system (only such a
    // frame is a frame a person can see, and the frame trace records it).
    bool (*presented)(HWND hwnd, window &w);
    // Milliseconds of the clock; `reading` is false for the platform's own
    // look at it (message times), which a scripted clock does not count.
    uint32_t (*milliseconds)(bool reading);
    // The fine clock (QueryPerformanceCounter) and its counts per second.
    uint64_t (*counter)();
    uint64_t counter_rate;
    void (*sleep)(uint32_t ms);
    void (*exit_process)(int status);  // must not return
    // An injected failure of the operation (only the scriptable backend):
    // true with *code set when this call is to fail. May be null.
    bool (*call_fails)(script_op op, HRESULT *code);
    // Zeroed memory of `bytes` for the desktop in the current mode that the
    // backend shows windows from without copying it; null when it cannot
    // (the platform then uses its own). `bytes` 0 lets the previous go (a
    // mode change). May be null.
    uint8_t *(*desktop_memory)(size_t bytes);
    // The desktop memory is about to be written: returns once no window is
    // still being shown straight from it (bounded). May be null.
    void (*desktop_writing)();
    // The write announced by desktop_writing is done. May be null.
    void (*desktop_written)();
};

extern const platform_backend headless_backend;
extern const platform_backend script_backend;
#ifdef PLATFORM_HAVE_SDL
extern const platform_backend sdl_backend;
// Opens SDL's video (and sets the desktop size); false when there is no usable (non-dummy) video device.
bool sdl_backend_open(machine_settings &machine);
#endif
#ifdef __EMSCRIPTEN__
// In a web page (web/): the page is the window system.
extern const platform_backend web_backend;
// The locale id of the browser's preferred languages.
uint32_t web_locale_id();
#endif

// The backend in use, chosen at the first call.
const platform_backend &backend();
// Makes `chosen` the backend from now on (the scriptable backend's start and
// stop); null means "choose again at the next call".
void backend_use(const platform_backend *chosen);

// True when the backend makes this call of `op` fail; *code is its code.
bool call_fails(script_op op, HRESULT *code);

// Monotonic milliseconds of the real clock.
uint32_t real_milliseconds();
// Monotonic nanoseconds of the real clock.
uint64_t real_nanoseconds();
constexpr uint64_t real_nanoseconds_per_second = 1000000000u;
void real_sleep(uint32_t ms);

}  // namespace plat
