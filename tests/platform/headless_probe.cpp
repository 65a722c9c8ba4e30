// headless_probe - a tiny program on the platform layer, run by the headless
// tests with its standard error captured.
//
//   headless_probe boxes | captions | russian | depth | exit
#include <windows.h>

#include <cstdio>
#include <cstring>

static LRESULT CALLBACK probe_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

static HWND probe_window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = probe_proc;
    wc.lpszClassName = "PROBE";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "PROBE", "Probe", 0x00CB0000, 0, 0, 100, 100, NULL, NULL, NULL,
                           NULL);
}

int main(int argc, char **argv) {
    const char *what = argc > 1 ? argv[1] : "";
    if (!strcmp(what, "boxes")) {
        MessageBoxA(NULL, "line one\nline two", "Message ", MB_ICONINFORMATION);
        MessageBoxA(NULL, "FAILURE", "Error 251", MB_ICONERROR);
        MessageBoxA(NULL, "DDERR_SURFACELOST ", "IDirectDrawSurface_Blt",
                    MB_TASKMODAL | MB_ICONEXCLAMATION);
        MessageBoxA(NULL, "", "plain", MB_OK);
    } else if (!strcmp(what, "captions")) {
        HWND hwnd = probe_window();
        ShowWindow(hwnd, SW_SHOW);
        SetWindowTextA(hwnd, "Standard Voxel Demo FPS: 1");
        SetWindowTextA(hwnd, "Standard Voxel Demo FPS: 2");
        SetWindowTextA(hwnd, "Standard Voxel Demo FPS: 3");
        DestroyWindow(hwnd);
    } else if (!strcmp(what, "russian")) {
        MessageBoxA(NULL, "\xD1\xC1\xCE\xC9", "\xCE\xF8\xE8\xE1\xEA\xE0 251", MB_ICONERROR);
    } else if (!strcmp(what, "depth")) {
        HDC ic = CreateICA("Display", NULL, NULL, NULL);
        printf("%d\n", GetDeviceCaps(ic, BITSPIXEL));
        DeleteDC(ic);
        printf("%d\n", GetSystemDefaultLCID() == 0x0409);
    } else if (!strcmp(what, "exit")) {
        ExitProcess(3);
    } else if (!strcmp(what, "sleep")) {
        DWORD before = GetTickCount();
        Sleep(50);
        printf("%d\n", GetTickCount() - before >= 50);
    }
    return 0;
}
