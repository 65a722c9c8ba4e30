// window_proc.cpp - the demo window's messages.
#include "voxel/shell/shell.h"

LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        render_frame(window);
        break;
    case WM_SIZE:
        // minimised: stop rendering until restored or maximised
        if (wparam == SIZE_MINIMIZED) {
            InvalidateRect(window, NULL, TRUE);
            window_active = 0;
        } else {
            window_active = 1;
        }
        break;
    case WM_KEYDOWN:
        if (wparam == VK_ESCAPE)
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
