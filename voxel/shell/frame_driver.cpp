// frame_driver.cpp - one frame: lock, draw, copy, unlock, present, caption.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/checks.h"
#include "voxel/display/display.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/frame_rate.h"
#include "voxel/shell/shell.h"
#include "voxel/shell/shell_messages.h"

void format_caption(char *caption, size_t capacity, const char *name, int fps) {
    std::snprintf(caption, capacity, "%s %d", name, fps);
}

// The fine clock's counts (0 if there is none).
static uint64_t fine_clock() {
    LARGE_INTEGER now;
    return QueryPerformanceCounter(&now) ? uint64_t(now.QuadPart) : 0;
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

// When the caption was last set, on the fine clock.
static uint64_t caption_set_at;

// Setting a window's title costs the program and the window manager a
// fifth to a third of a vector frame (about 200 us under X): so the
// caption changes only when its text does, and no more often than every
// caption_interval_ms, except that the first frame of a phase (or of the
// window: its title is not a phase name) shows the new name at once.
static bool caption_due(const char *shown, const char *name, const char *text, uint64_t now,
                        uint64_t rate) {
    if (std::strcmp(shown, text) == 0)
        return false;
    const size_t length = std::strlen(name);
    if (std::strncmp(shown, name, length) != 0 || shown[length] != ' ')
        return true;
    return now - caption_set_at >= rate / 1000u * caption_interval_ms;
}

// The number shown is the rate over every frame since the last title (of
// this phase), the frame just finished included: a person reads the
// caption a few times a second, and one slow or fast frame among hundreds
// must not decide what they read. Frames whose text matched the title, or
// came too soon after it, stay in the tally for the next title.
static void set_frame_caption(HWND window, uint64_t start, uint64_t end) {
    count_frame(end - start);
    current_messages = voxel_messages[select_language()];
    const char *name = current_messages[vector_phase ? slot::vector_caption : slot::standard_caption];
    const uint64_t rate = fine_clock_rate();
    char caption[1000], shown[1000];
    format_caption(caption, sizeof caption, name, frames_per_second(frame_rates.caption, rate));
    if (GetWindowTextA(window, shown, int(sizeof shown)) == 0)
        shown[0] = '\0';
    if (!caption_due(shown, name, caption, end, rate))
        return;
    SetWindowTextA(window, caption);
    caption_set_at = end;
    reset_caption_tally();
}

static HRESULT draw_and_present_frame(HWND window) {
    const uint64_t start = fine_clock();

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

    set_frame_caption(window, start, fine_clock());
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
