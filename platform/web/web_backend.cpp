// web_backend.cpp - the platform in a web page: the window is a canvas with
// its caption above it, boxes are the page's modal dialogs, time is
// performance.now(), keys and the close button come from the page's events.
//
// The program runs on the page's own thread, so it must let the page run
// for anything to appear: it does so (web_yield) when nothing is waiting in
// the message queue, at most once per display refresh, and then hands over
// the newest picture, which the page shows at its next refresh. Frames are
// drawn and counted as natively in between; a box or a sleep lets the page
// run as long as it lasts.
#include <emscripten.h>

#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/settings.h"
#include "platform/web/web_clock.h"
#include "platform/web/web_language.h"
#include "platform/web/web_page.h"
#include "platform/web/web_picture.h"

namespace plat {
namespace {

struct web_record {
    HWND shown = nullptr;        // the window whose pictures the page shows
    bool picture_new = false;    // presented since the last hand-over
    uint32_t pictures = 0;       // presented in all
    double last_yield = 0.0;     // when the page last ran (ms)
    std::vector<uint8_t> rgba;
} web;

std::string utf8_caption(const window &w) {
    return code_page_to_utf8(w.caption.c_str(), code_page_of_locale(state.machine.locale_id));
}

// The newest picture to the page, if there is one it does not have.
void hand_over_picture() {
    const window *w = web.picture_new ? find_window(web.shown) : nullptr;
    if (!w) return;
    int width, height;
    window_picture(*w, web.rgba, &width, &height);
    web_picture_put(web.rgba.data(), width, height, web.pictures);
    web.picture_new = false;
}

void page_ran() { web.last_yield = emscripten_get_now(); }

void web_pump() {
    for (int event; (event = web_next_event()) != 0;) {
        if (!web.shown || !find_window(web.shown)) continue;
        if (event == web_event_close) post_message(web.shown, WM_CLOSE, 0, 0);
        else if (event == web_event_hidden) window_minimise(web.shown);
        else if (event == web_event_shown) window_restore(web.shown);
        else if (event > 0) {
            post_message(web.shown, WM_KEYDOWN, WPARAM(event), 1);
            post_message(web.shown, WM_KEYUP, WPARAM(event), LPARAM(0xC0000001u));
        }
    }
}

// Nothing in the queue: the page runs once a display refresh has passed.
void web_idle() {
    if (emscripten_get_now() - web.last_yield < web_refresh_interval()) return;
    hand_over_picture();
    web_yield();
    page_ran();
}

// Waiting for input (a minimised window): the page runs meanwhile.
void web_wait() {
    hand_over_picture();
    web_sleep(10);
    page_ran();
}

void web_sleep_ms(uint32_t ms) {
    hand_over_picture();
    web_sleep(ms);
    page_ran();
}

int icon_of(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return 2;
    case MB_ICONWARNING: return 1;
    default: return 0;
    }
}

void web_message_box(const box_request &box) {
    hand_over_picture();
    web_box_show(box.caption_utf8.c_str(), box.text_utf8.c_str(), icon_of(box.type));
    page_ran();
}

void web_window_created(HWND, window &) {}

// The page shows one window, the first to be shown.
void web_window_state_changed(HWND hwnd, window &w) {
    if (web.shown || !w.visible) return;
    web.shown = hwnd;
    web_window_open(int(w.client.right - w.client.left), int(w.client.bottom - w.client.top),
                    utf8_caption(w).c_str());
}

void web_caption_changed(HWND hwnd, window &w) {
    if (hwnd == web.shown) web_window_caption(utf8_caption(w).c_str());
}

void web_window_destroyed(HWND hwnd, window &) {
    if (hwnd != web.shown) return;
    hand_over_picture();
    web_window_close();
    web.shown = nullptr;
}

bool web_presented(HWND hwnd, window &) {
    if (hwnd != web.shown) return false;
    web.pictures++;
    web.picture_new = true;
    return true;
}

uint32_t web_milliseconds(bool) { return uint32_t(uint64_t(emscripten_get_now())); }

void web_exit_process(int status) {
    hand_over_picture();
    emscripten_force_exit(status);
    __builtin_unreachable();
}

}  // namespace

uint32_t web_locale_id() {
    char languages[1024];
    web_browser_languages(languages, int(sizeof languages));
    return locale_id_from_browser_languages(languages);
}

const platform_backend web_backend = {
    "web",
    web_pump,
    web_wait,
    web_idle,
    web_message_box,
    web_window_created,
    web_window_state_changed,
    web_caption_changed,
    web_window_destroyed,
    web_presented,
    web_milliseconds,
    web_clock_nanoseconds,
    1000000000u,
    web_sleep_ms,
    web_exit_process,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace plat
