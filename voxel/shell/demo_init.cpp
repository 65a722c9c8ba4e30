// demo_init.cpp - initialising and shutting down display and terrain.
#include "voxel/shell/shell.h"

#include "common/checks.h"
#include "voxel/display/display.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/shell_messages.h"

constexpr DWORD red_mask_555 = 0x7C00;
constexpr DWORD red_mask_565 = 0xF800;

// pixel_depth index of a display's bits per pixel; 4 when unsupported.
static int depth_index(int bits_per_pixel) {
    switch (bits_per_pixel) {
    case 8: return 0;
    case 16: return 1;
    case 24: return 2;
    case 32: return 3;
    default: return 4;
    }
}

void check_display_depth() {
    // bits per pixel of the display driver
    const HDC info = CreateICA("Display", NULL, NULL, NULL);
    const int bits = GetDeviceCaps(info, BITSPIXEL);
    DeleteDC(info);

    pixel_depth = depth_index(bits);
    if (pixel_depth == 4) {
        show_catalogue_box(select_language(), slot::depth_unsupported, MB_ICONERROR);
        ExitProcess(1);
    }
}

// 16-bit layout from the primary surface's red mask; any other mask keeps
// the layout as it was.
static void take_16_bit_layout() {
    const DWORD red_mask = primary_description.ddpfPixelFormat.dwRBitMask;
    if (red_mask == red_mask_555)
        pixel_format_555 = 1;
    else if (red_mask == red_mask_565)
        pixel_format_555 = 0;
}

int init_demo(HWND window, int width, int height) {
    check_display_depth();

    // A failure here has been shown and everything released: later locks
    // fail quietly and the demo runs on without pictures.
    init_display(window, width, height);

    if (pixel_depth == 1)
        take_16_bit_layout();

    if (init_terrain() != 0) {
        report_unusable_data(select_language(), pixel_depth);
        PostQuitMessage(0);
        return -1;
    }
    return 0;
}

void shutdown_demo() {
    release_display();
    // maps, cloud image and frame buffer, each only if present
    release_terrain();
}
