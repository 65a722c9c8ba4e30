// frame_driver.cpp - one frame: lock, draw, copy, unlock, present, caption.
#include <algorithm>
#include <cstdio>

#include "common/checks.h"
#include "voxel/display/display.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/shell.h"
#include "voxel/shell/shell_messages.h"
#include <mmsystem.h>

void format_caption(char *caption, size_t capacity, const char *name, DWORD elapsed_ms) {
    // a frame under one millisecond counts as one millisecond
    const DWORD fps = 1000u / std::max<DWORD>(elapsed_ms, 1u);
    std::snprintf(caption, capacity, "%s %d", name, int(fps));
}

// The frame rows into the locked surface, each two bytes to the right; only
// the overlap of frame and surface is copied. Rows too narrow to give up
// their two bytes are not copied at all.
static void copy_frame_to_surface(uint8_t *pixels, int32_t pitch, uint32_t width, uint32_t height) {
    const unsigned bpp = unsigned(bytes_per_pixel(pixel_depth));
    const unsigned columns = std::min(unsigned(frame_width), width);
    const unsigned rows = std::min(unsigned(frame_height), height);
    if (bpp == 0 || columns * bpp < 2)
        return;
    copy_rows(pixels + 2, pitch, frame_buffer, int(unsigned(frame_width) * bpp),
              columns * bpp - 2, rows);
}

// Selects the vector renderer in the vector phase and draws the frame.
static void draw_frame() {
    if (vector_phase && pixel_depth >= 0 && pixel_depth <= 3)
        select_renderer(6 + pixel_depth);
    begin_frame();
    current_renderer(camera.x, camera.y, camera.height, camera.horizon, camera.heading, 0,
                     frame_buffer);
}

static void set_frame_caption(HWND window, DWORD elapsed_ms) {
    current_messages = voxel_messages[select_language()];
    const char *name = current_messages[vector_phase ? slot::vector_caption : slot::standard_caption];
    char caption[1000];
    format_caption(caption, sizeof caption, name, elapsed_ms);
    SetWindowTextA(window, caption);
}

static HRESULT draw_and_present_frame(HWND window) {
    const DWORD start = timeGetTime();

    uint8_t *pixels;
    uint32_t width, height;
    int32_t pitch;
    const HRESULT hr = lock_frame(&pixels, &width, &height, &pitch);
    if (hr != DD_OK)
        return hr;

    // A terrain that failed to load again after a display mode change has no
    // frame buffer; the quit is on its way, so nothing is drawn meanwhile.
    if (frame_buffer && current_renderer) {
        draw_frame();
        copy_frame_to_surface(pixels, pitch, width, height);
    }
    unlock_frame(pixels);
    present_frame(window);

    set_frame_caption(window, timeGetTime() - start);
    return DD_OK;
}

// A box that the frame shows (a failed lock
// or copy, or the re-initialisation after a display mode change) runs its own
// message loop, whose paint messages ask for a frame again: that frame would
// meet a half-made display and terrain, or fail the same way and open another
// box inside the first, so it draws and shows nothing. The paint is still
// validated, and the next frame from the message loop runs as usual.
bool frame_under_way;

HRESULT render_frame(HWND window) {
    if (frame_under_way)
        return DD_OK;
    frame_under_way = true;
    const HRESULT hr = draw_and_present_frame(window);
    frame_under_way = false;
    return hr;
}
