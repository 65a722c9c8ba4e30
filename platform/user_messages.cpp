// user_messages.cpp - the message queue: posting, peeking (posted messages
// first, then the quit message, then paint for an invalid window), dispatch,
// waiting, and the default window procedure.
#include "platform/backend.h"
#include "platform/state.h"

using namespace plat;

namespace plat {

LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    window *w = find_window(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, message, wparam, lparam);
}

void post_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG msg = {hwnd, message, wparam, lparam, backend().milliseconds(false), {0, 0}};
    state.queue.push_back(msg);
}

void paint_pending_windows() {
    std::vector<HWND> pending;
    for (auto &[id, w] : state.windows)
        if (w.visible && !w.minimised && w.needs_paint) pending.push_back(handle_of<HWND>(id));
    for (HWND hwnd : pending) send_message(hwnd, WM_PAINT, 0, 0);
}

}  // namespace plat

static bool in_range(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

// The first window (of the filter) that wants painting, or NULL.
static HWND window_to_paint(HWND filter) {
    for (auto &[id, w] : state.windows) {
        HWND hwnd = handle_of<HWND>(id);
        if ((filter && filter != hwnd) || !w.visible || w.minimised || !w.needs_paint) continue;
        return hwnd;
    }
    return nullptr;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT low, UINT high, UINT remove) {
    const platform_backend &b = backend();
    b.pump();

    // posted messages, in order
    for (auto it = state.queue.begin(); it != state.queue.end(); ++it) {
        if ((hwnd && it->hwnd != hwnd) || !in_range(it->message, low, high)) continue;
        *msg = *it;
        if (remove & PM_REMOVE) state.queue.erase(it);
        return TRUE;
    }
    // then the quit request
    if (state.quit_posted && !hwnd && in_range(WM_QUIT, low, high)) {
        *msg = MSG{nullptr, WM_QUIT, (WPARAM)state.quit_code, 0, b.milliseconds(false), {0, 0}};
        if (remove & PM_REMOVE) state.quit_posted = false;
        return TRUE;
    }
    // then paint; it stays until the window is validated
    HWND paint = in_range(WM_PAINT, low, high) ? window_to_paint(hwnd) : nullptr;
    if (paint) {
        *msg = MSG{paint, WM_PAINT, 0, 0, b.milliseconds(false), {0, 0}};
        return TRUE;
    }
    if (b.idle) b.idle();
    return FALSE;
}

// Key messages are not turned into character messages: nothing here reads them.
BOOL WINAPI TranslateMessage(const MSG *msg) {
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (!msg || !msg->hwnd) return 0;
    return send_message(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI WaitMessage(void) {
    const platform_backend &b = backend();
    b.pump();
    if (state.queue.empty() && !state.quit_posted && !window_to_paint(nullptr)) b.wait();
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    backend();
    if (hwnd && !find_window(hwnd)) return FALSE;
    post_message(hwnd, message, wparam, lparam);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return send_message(hwnd, message, wparam, lparam);
}

void WINAPI PostQuitMessage(int exit_code) {
    backend();
    state.quit_posted = true;
    state.quit_code = exit_code;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return 0;
    }
}
