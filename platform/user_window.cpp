// user_window.cpp - window classes, windows, their frames and states, and the
// stock icons and cursors.
#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/frame_trace.h"
#include "platform/state.h"

using namespace plat;

// ---- frames ------------------------------------------------------------------

// Width of the frame on each side for a window style.
static int frame_width(DWORD style) {
    if (style & WS_THICKFRAME) return PLATFORM_SIZING_FRAME;
    if (style & WS_DLGFRAME) return PLATFORM_FIXED_FRAME;
    if (style & WS_BORDER) return 1;
    return 0;
}

static int caption_height(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION ? PLATFORM_CAPTION_HEIGHT : 0;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    HRESULT code;
    if (!rect || call_fails(script_op::adjust_window_rect, &code)) return FALSE;
    int frame = frame_width(style);
    rect->left -= frame;
    rect->right += frame;
    rect->top -= frame + caption_height(style) + (menu ? PLATFORM_CAPTION_HEIGHT : 0);
    rect->bottom += frame;
    return TRUE;
}

// ---- classes -----------------------------------------------------------------

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    HRESULT code;
    backend();
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName))
        return 0;
    if (call_fails(script_op::register_class, &code)) return 0;
    if (state.classes.count(wc->lpszClassName)) return 0;
    state.classes[wc->lpszClassName] =
        window_class{wc->lpfnWndProc, wc->style, wc->hInstance, wc->hIcon, wc->hCursor,
                     wc->hbrBackground};
    return (ATOM)(0xC000 + state.classes.size());
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    // A program's own resources do not exist; the stock icons do.
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    uintptr_t id = (uintptr_t)name;
    if (id < 32512 || id > 32517) return nullptr;
    return handle_of<HICON>(id);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    uintptr_t id = (uintptr_t)name;
    if (id < 32512 || id > 32515) return nullptr;
    return handle_of<HCURSOR>(id);
}

// ---- windows ----------------------------------------------------------------

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    HRESULT code;
    backend();
    if (!class_name || IS_INTRESOURCE(class_name)) return nullptr;
    auto cls = state.classes.find(class_name);
    if (cls == state.classes.end()) return nullptr;
    if (call_fails(script_op::create_window, &code)) return nullptr;

    // place the outer rectangle, then take the frame off for the client area
    if (x == CW_USEDEFAULT) x = 32, y = 32;
    if (width == CW_USEDEFAULT) width = 640, height = 480;
    int frame = frame_width(style);
    window w;
    w.class_name = class_name;
    w.proc = cls->second.proc;
    w.style = style;
    w.caption = window_name ? window_name : "";
    w.client = RECT{x + frame, y + frame + caption_height(style), x + width - frame,
                    y + height - frame};
    w.client.right = std::max(w.client.right, w.client.left);
    w.client.bottom = std::max(w.client.bottom, w.client.top);
    w.restored_client = w.client;
    HWND hwnd = handle_of<HWND>(new_handle());
    state.windows[key(hwnd)] = w;
    backend().window_created(hwnd, state.windows[key(hwnd)]);

    // WM_CREATE; an answer of -1 refuses the window
    CREATESTRUCTA cs = {param, instance, menu, parent, height, width, y, x, (LONG)style,
                        window_name, class_name, ex_style};
    if (send_message(hwnd, WM_CREATE, 0, (LPARAM)&cs) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    if (!find_window(hwnd)) return FALSE;
    send_message(hwnd, WM_DESTROY, 0, 0);
    window *w = find_window(hwnd);
    if (!w) return TRUE;  // destroyed again from inside WM_DESTROY
    backend().window_destroyed(hwnd, *w);
    state.windows.erase(key(hwnd));
    // messages posted to it are dropped with it
    std::erase_if(state.queue, [hwnd](const MSG &m) { return m.hwnd == hwnd; });
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return find_window(hwnd) != nullptr; }

BOOL WINAPI IsIconic(HWND hwnd) {
    window *w = find_window(hwnd);
    return w && w->minimised;
}

static LPARAM client_size_param(const window &w) {
    return MAKELPARAM(w.client.right - w.client.left, w.client.bottom - w.client.top);
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    window *w = find_window(hwnd);
    if (!w) return FALSE;
    BOOL was_visible = w->visible;
    switch (command) {
    case SW_HIDE:
        w->visible = false;
        backend().window_state_changed(hwnd, *w);
        return was_visible;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        w->visible = true;
        window_minimise(hwnd);
        return was_visible;
    case SW_SHOWMAXIMIZED:
        w->visible = true;
        window_maximise(hwnd, state.machine.desktop_width,
                        state.machine.desktop_height - PLATFORM_CAPTION_HEIGHT);
        return was_visible;
    case SW_RESTORE:
        w->visible = true;
        window_restore(hwnd);
        return was_visible;
    default:
        // the first showing sizes the window; showing again only shows it
        w->visible = true;
        backend().window_state_changed(hwnd, *w);
        if (!w->shown_once) {
            w->shown_once = true;
            send_message(hwnd, WM_SIZE, SIZE_RESTORED, client_size_param(*w));
        }
        window_invalidate(hwnd);
        return was_visible;
    }
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    window *w = find_window(hwnd);
    if (!w) return FALSE;
    if (w->visible && !w->minimised && w->needs_paint) send_message(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

namespace plat {

void window_invalidate(HWND hwnd) {
    window *w = find_window(hwnd);
    if (w) w->needs_paint = true;
}

void window_minimise(HWND hwnd) {
    window *w = find_window(hwnd);
    if (!w || w->minimised) return;
    w->minimised = true;
    w->shown_once = true;
    backend().window_state_changed(hwnd, *w);
    send_message(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
}

void window_maximise(HWND hwnd, int client_width, int client_height) {
    window *w = find_window(hwnd);
    if (!w) return;
    if (!w->maximised) w->restored_client = w->client;
    w->minimised = false;
    w->maximised = true;
    w->shown_once = true;
    // a maximised window's client area starts under the caption bar
    int top = std::clamp(state.machine.desktop_height - client_height, 0, PLATFORM_CAPTION_HEIGHT);
    w->client = RECT{0, top, client_width, top + client_height};
    backend().window_state_changed(hwnd, *w);
    send_message(hwnd, WM_SIZE, SIZE_MAXIMIZED, client_size_param(*w));
    window_invalidate(hwnd);
}

void window_restore(HWND hwnd) {
    window *w = find_window(hwnd);
    if (!w) return;
    w->minimised = false;
    if (w->maximised) w->client = w->restored_client;
    w->maximised = false;
    w->shown_once = true;
    backend().window_state_changed(hwnd, *w);
    send_message(hwnd, WM_SIZE, SIZE_RESTORED, client_size_param(*w));
    window_invalidate(hwnd);
}

void window_resize(HWND hwnd, int client_width, int client_height) {
    window *w = find_window(hwnd);
    if (!w) return;
    w->client.right = w->client.left + client_width;
    w->client.bottom = w->client.top + client_height;
    send_message(hwnd, WM_SIZE, w->maximised ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 client_size_param(*w));
    window_invalidate(hwnd);
}

}  // namespace plat

// ---- captions and geometry -----------------------------------------------------

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    window *w = find_window(hwnd);
    if (!w) return FALSE;
    w->caption = text ? text : "";
    backend().caption_changed(hwnd, *w);
    trace_caption(hwnd, w->caption.c_str());
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int capacity) {
    window *w = find_window(hwnd);
    if (!w || !text || capacity <= 0) return 0;
    int length = std::min((int)w->caption.size(), capacity - 1);
    memcpy(text, w->caption.data(), length);
    text[length] = 0;
    return length;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *, BOOL) {
    if (!hwnd) {
        for (auto &[id, w] : state.windows) w.needs_paint = true;
        return TRUE;
    }
    if (!find_window(hwnd)) return FALSE;
    window_invalidate(hwnd);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT *) {
    window *w = find_window(hwnd);
    if (!w) return FALSE;
    w->needs_paint = false;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    window *w = find_window(hwnd);
    if (!w || !rect) return FALSE;
    // a minimised window has no client area
    if (w->minimised) *rect = RECT{0, 0, 0, 0};
    else *rect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    window *w = find_window(hwnd);
    if (!w || !point) return FALSE;
    point->x += w->client.left;
    point->y += w->client.top;
    return TRUE;
}
