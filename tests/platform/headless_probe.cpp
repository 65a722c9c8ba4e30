// headless_probe - a tiny program on the platform layer, run by the headless
// tests with its standard error captured.
//
//   headless_probe boxes | captions | russian | depth | exit | sleep | window [X Y] | picture PPM | box | stacked
//
// "window" shows a 64 x 48 window filled with pure red through DirectDraw at
// the display depth, captioned "Probe FPS: 5", until Escape closes it (or 20
// seconds pass: status 2); its outer top-left corner at (X, Y), by default
// (0, 0). "picture" shows the same window at (0, 0) filled with a picture
// of many colours in the display's format (every static colour at 8 bits,
// a spread of 16-bit words, varied bytes at 24 and 32) and writes the
// colours it must show, decoded as the display decodes them, to the file
// PPM (binary P6) first. "box" shows one information box. "stacked" shows a window
// captioned "Probe FPS: 5" and the box "Outer box"; the window's first paint
// inside that box's loop opens the task-modal "Inner box"; once both are
// closed, Escape closes the window. Status 0 when the inner box was closed
// first and no key reached the window while it was open, else 4.
#include <ddraw.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/pixel_decode.h"

static HWND probe_window_sized(int width, int height, int x, int y);

static LRESULT CALLBACK probe_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_KEYDOWN && wparam == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Pure red in the display's format.
static void fill_red(uint8_t *pixel, int bits, DWORD red_mask) {
    switch (bits) {
    case 8: pixel[0] = 249; break;  // a static colour: (255, 0, 0)
    case 16: pixel[0] = (uint8_t)red_mask, pixel[1] = (uint8_t)(red_mask >> 8); break;
    default: pixel[0] = 0, pixel[1] = 0, pixel[2] = 0xFF; break;
    }
}

// the stacked boxes: what the window saw while they were open
static bool outer_open, inner_open, inner_shown, inner_closed_first, key_under_inner;

static LRESULT CALLBACK stacked_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_KEYDOWN && inner_open) key_under_inner = true;
    if (message == WM_PAINT && outer_open && !inner_shown) {
        ValidateRect(hwnd, NULL);
        inner_shown = inner_open = true;
        MessageBoxA(NULL, "Inner", "Inner box", MB_TASKMODAL | MB_ICONEXCLAMATION);
        inner_open = false;
        inner_closed_first = outer_open;
        return 0;
    }
    return probe_proc(hwnd, message, wparam, lparam);
}

static int show_stacked_boxes() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = stacked_proc;
    wc.lpszClassName = "STACKED";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "STACKED", "Probe FPS: 5", 0x00CB0000, 100, 100, 240, 160, NULL, NULL,
                                NULL, NULL);
    ShowWindow(hwnd, SW_SHOW);
    outer_open = true;
    MessageBoxA(NULL, "Outer", "Outer box", MB_ICONINFORMATION);
    outer_open = false;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 20000) {
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            printf("inner_shown=%d inner_closed_first=%d key_under_inner=%d\n", inner_shown,
                   inner_closed_first, key_under_inner);
            return inner_shown && inner_closed_first && !key_under_inner ? 0 : 4;
        }
        DispatchMessageA(&msg);
    }
    return 2;
}

// Pixel i of the picture in the display's format.
static void fill_picture(uint8_t *pixel, int bits, int i) {
    static const uint8_t statics[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255};
    const uint32_t v = (uint32_t)i * 2654435761u;
    switch (bits) {
    case 8: pixel[0] = statics[(i * 7 + i / 64) % 20]; break;
    case 16: pixel[0] = (uint8_t)(i * 21), pixel[1] = (uint8_t)((i * 21) >> 8); break;
    default:
        for (int k = 0; k < bits / 8; k++) pixel[k] = (uint8_t)(v >> (8 * k));
        break;
    }
}

// The picture as the window must show it, 64 x 48, red, green, blue.
static bool write_expected(const char *path, int bits, bool is_555) {
    rgb_palette palette{};
    set_static_colours(palette);
    FILE *f = fopen(path, "wb");
    if (!f) return false;
    fprintf(f, "P6\n64 48\n255\n");
    for (int i = 0; i < 64 * 48; i++) {
        uint8_t pixel[4];
        fill_picture(pixel, bits, i);
        const rgb_colour c = decode_pixel(pixel, bits, is_555, palette);
        fputc(c.red, f), fputc(c.green, f), fputc(c.blue, f);
    }
    return fclose(f) == 0;
}

static int show_window(int x, int y, const char *expected) {
    HWND hwnd = probe_window_sized(64, 48, x, y);
    ShowWindow(hwnd, SW_SHOW);
    SetWindowTextA(hwnd, "Probe FPS: 5");
    LPDIRECTDRAW dd;
    LPDIRECTDRAWSURFACE primary, frame;
    LPDIRECTDRAWCLIPPER clipper;
    if (DirectDrawCreate(NULL, &dd, NULL) != DD_OK) return 3;
    IDirectDraw_SetCooperativeLevel(dd, hwnd, DDSCL_NORMAL);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (IDirectDraw_CreateSurface(dd, &desc, &primary, NULL) != DD_OK) return 3;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 64;
    desc.dwHeight = 48;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (IDirectDraw_CreateSurface(dd, &desc, &frame, NULL) != DD_OK) return 3;
    IDirectDraw_CreateClipper(dd, 0, &clipper, NULL);
    IDirectDrawClipper_SetHWnd(clipper, 0, hwnd);
    IDirectDrawSurface_SetClipper(primary, clipper);
    if (IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL) != DD_OK) return 3;
    int bits = desc.ddpfPixelFormat.dwRGBBitCount;
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) {
            uint8_t *pixel = (uint8_t *)desc.lpSurface + y * desc.lPitch + x * (bits / 8);
            if (expected)
                fill_picture(pixel, bits, y * 64 + x);
            else
                fill_red(pixel, bits, desc.ddpfPixelFormat.dwRBitMask);
        }
    if (expected && !write_expected(expected, bits, desc.ddpfPixelFormat.dwRBitMask == 0x7C00)) return 3;
    IDirectDrawSurface_Unlock(frame, NULL);

    // present until closed, as a demo's loop would
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                IDirectDrawSurface_Release(frame);
                IDirectDrawSurface_Release(primary);
                IDirectDrawClipper_Release(clipper);
                IDirectDraw_Release(dd);
                return 0;
            }
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start > 20000) return 2;
        RECT client;
        GetClientRect(hwnd, &client);
        POINT tl = {0, 0}, br = {client.right, client.bottom};
        ClientToScreen(hwnd, &tl);
        ClientToScreen(hwnd, &br);
        RECT dst = {tl.x, tl.y, br.x, br.y};
        if (br.x > tl.x) IDirectDrawSurface_Blt(primary, &dst, frame, NULL, DDBLT_WAIT, NULL);
        Sleep(30);
    }
}

static HWND probe_window_sized(int width, int height, int x, int y) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = probe_proc;
    wc.lpszClassName = "PROBE";
    RegisterClassA(&wc);
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU, FALSE);
    return CreateWindowExA(0, "PROBE", "Probe", 0x00CB0000, x, y, r.right - r.left,
                           r.bottom - r.top, NULL, NULL, NULL, NULL);
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
    } else if (!strcmp(what, "window")) {
        return show_window(argc > 3 ? atoi(argv[2]) : 0, argc > 3 ? atoi(argv[3]) : 0, nullptr);
    } else if (!strcmp(what, "picture") && argc > 2) {
        return show_window(0, 0, argv[2]);
    } else if (!strcmp(what, "stacked")) {
        return show_stacked_boxes();
    } else if (!strcmp(what, "box")) {
        MessageBoxA(NULL, "Press Enter", "Probe box", MB_ICONINFORMATION);
    } else if (!strcmp(what, "sleep")) {
        DWORD before = GetTickCount();
        Sleep(50);
        printf("%d\n", GetTickCount() - before >= 50);
    }
    return 0;
}
