// window_present.cpp - one copy from the desktop to what the screen shows:
// each row converted (pixel_convert.h) straight into the window's image.
#include "platform/sdl/window_present.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/frame_trace.h"
#include "platform/pixel_convert.h"
#include "platform/sdl/canvas.h"
#include "platform/sdl/present_thread.h"
#include "platform/sdl/wayland/wl_shm_present.h"
#include "platform/sdl/x11/x_shm_present.h"
#include "platform/state.h"

namespace plat {
namespace {

// The system palette as red, green, blue (what an 8-bit desktop shows).
void read_system_palette(rgb_palette &palette) {
    for (int i = 0; i < 256; i++)
        palette[i] = rgb_colour{state.system_palette[i].peRed, state.system_palette[i].peGreen,
                                state.system_palette[i].peBlue};
}

// The desktop as it is now, under the client area of `w`.
desktop_view desktop_view_of(const window &w) {
    const machine_settings &m = state.machine;
    desktop_view view;
    view.pixels = desktop_memory();
    view.pitch = state.desktop_pitch;
    view.width = m.desktop_width, view.height = m.desktop_height;
    view.bits = m.display_bits, view.is_555 = m.display_555;
    if (m.display_bits == 8) read_system_palette(view.palette);
    view.client = w.client;
    return view;
}

// Calls take_row(desktop_row, y, x0, count) for each row of the desktop
// under the client area of a picture of width x height: the row's first
// pixel on the desktop, the picture row y, its first column x0 and the
// pixels that lie on the desktop.
template <typename row_taker>
void for_each_desktop_row_under(const desktop_view &view, int width, int height, row_taker take_row) {
    const int bpp = bytes_per_pixel(view.bits);
    const RECT &client = view.client;
    const int x0 = std::max(0, (int)-client.left);
    const int x1 = std::min(width, (int)(view.width - client.left));
    for (int y = 0; y < height && x0 < x1; y++) {
        const int dy = client.top + y;
        if (dy < 0 || dy >= view.height) continue;
        take_row(view.pixels + (size_t)dy * view.pitch + (size_t)(client.left + x0) * bpp, y, x0, x1 - x0);
    }
}

// Writes the desktop under the client area into a picture of width x height
// at `pixels`; what lies off the desktop is left as it was.
void draw_desktop_under(const desktop_view &view, uint8_t *pixels, int pitch, int width, int height,
                        screen_format screen) {
    row_converter c;
    converter_prepare(c, view.bits, view.is_555, view.palette, screen);
    const int out = screen_bytes(screen);
    for_each_desktop_row_under(view, width, height, [&](const uint8_t *row, int y, int x0, int count) {
        convert_row(c, row, count, pixels + (size_t)y * pitch + (size_t)x0 * out);
    });
}

bool screen_format_of(Uint32 format, screen_format *screen) {
    switch (format) {
    case SDL_PIXELFORMAT_RGB888:
    case SDL_PIXELFORMAT_ARGB8888: *screen = screen_format::xrgb8888; return true;
    case SDL_PIXELFORMAT_RGB565: *screen = screen_format::rgb565; return true;
    case SDL_PIXELFORMAT_RGB555: *screen = screen_format::rgb555; return true;
    default: return false;
    }
}

// Any other window format: through red, green, blue and SDL's converter.
void draw_through_sdl_converter(const desktop_view &view, SDL_Surface *target, int width, int height) {
    static std::vector<uint8_t> rgb;
    rgb.assign((size_t)width * height * 3, 0);
    for_each_desktop_row_under(view, width, height, [&](const uint8_t *row, int y, int x0, int count) {
        decode_row(row, count, view.bits, view.is_555, view.palette, &rgb[((size_t)y * width + x0) * 3]);
    });
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB24, rgb.data(), width * 3, target->format->format,
                      target->pixels, target->pitch);
}

// Into a Wayland buffer, without waiting for one: true when the picture
// went to the compositor.
bool present_in_wl_buffer(SDL_Window *sdl_window, const desktop_view &view, int width, int height) {
    shm_frame frame;
    if (wl_shm_begin(sdl_window, width, height, &frame, 0) != shm_begin::ready) return false;
    draw_desktop_under(view, frame.pixels, frame.pitch, width, height, frame.format);
    wl_shm_finish(sdl_window);
    return true;
}

// Set on the presenter thread when the X server's shared images stopped
// being usable: the program's thread then draws its windows through SDL.
std::atomic<bool> owed_to_sdl{false};

// On the presenter thread: the desktop under the window converted (or
// copied, where the formats agree) into one of the window's shared images
// and put; a picture the program wrote over while it was read is not put.
bool show_in_x_window(const present_job &job) {
    shm_frame frame;
    const shm_begin got = x_shm_begin(job.window, job.width, job.height, &frame);
    if (got == shm_begin::unavailable) owed_to_sdl = true;
    if (got != shm_begin::ready || !present_desktop_still(job)) return false;
    draw_desktop_under(job.view, frame.pixels, frame.pitch, job.width, job.height, frame.format);
    if (!present_desktop_still(job)) return false;
    x_shm_finish(job.window);
    trace_frame(job.hwnd);
    return true;
}

// The refresh rate of the window's screen, 60 where the window system does
// not say (a virtual X server).
int refresh_rate_of(SDL_Window *sdl_window) {
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(sdl_window, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    return 60;
}

// Through the X server's shared memory on the presenter thread, where it
// can be used: true when the frame went to that thread.
bool post_to_presenter(SDL_Window *sdl_window, HWND hwnd, const window &w, int width, int height) {
    if (canvas_uses_colour_map() || !x_shm_usable() || !present_thread_start(show_in_x_window, refresh_rate_of(sdl_window)))
        return false;
    state.desktop_read_elsewhere = true;
    state.frames_shown_paced = true;
    present_job job;
    job.window = sdl_window, job.hwnd = hwnd;
    job.width = width, job.height = height;
    job.view = desktop_view_of(w);
    present_thread_post(job);
    return true;
}

}  // namespace

bool present_desktop(SDL_Window *sdl_window, HWND hwnd, const window &w) {
    if (!sdl_window) return false;
    int window_width, window_height;
    SDL_GetWindowSize(sdl_window, &window_width, &window_height);
    const int width = std::min((int)(w.client.right - w.client.left), window_width);
    const int height = std::min((int)(w.client.bottom - w.client.top), window_height);
    if (width <= 0 || height <= 0) return false;

    if (wl_shm_available()) {
        // the compositor holds every buffer when busy, and takes one picture
        // a refresh: this frame is left out, and present_frames_owed shows
        // the newest when one comes back
        state.frames_shown_paced = true;
        return present_in_wl_buffer(sdl_window, desktop_view_of(w), width, height);
    }
    // shown (and traced) by the presenter thread
    if (post_to_presenter(sdl_window, hwnd, w, width, height)) return false;
    SDL_Surface *target = canvas_of(sdl_window);
    if (!target) return false;
    const int target_width = std::min(width, target->w), target_height = std::min(height, target->h);
    const desktop_view view = desktop_view_of(w);
    screen_format screen;
    if (screen_format_of(target->format->format, &screen))
        draw_desktop_under(view, static_cast<uint8_t *>(target->pixels), target->pitch, target_width,
                           target_height, screen);
    else
        draw_through_sdl_converter(view, target, target_width, target_height);
    return canvas_show(sdl_window);
}

namespace {

// Shows anew each visible window for which `due` holds, tracing what it showed.
template <typename condition>
void present_windows_where(condition due) {
    for (auto &[id, w] : state.windows) {
        SDL_Window *sdl_window = static_cast<SDL_Window *>(w.backend_data);
        if (!sdl_window || !w.visible || w.minimised || !due(sdl_window)) continue;
        if (present_desktop(sdl_window, handle_of<HWND>(id), w)) trace_frame(handle_of<HWND>(id));
    }
}

}  // namespace

void present_frames_owed(int wait_ms) {
    // the frames the presenter thread could not show, through SDL
    if (owed_to_sdl.exchange(false)) present_windows_where([](SDL_Window *) { return true; });
    if (wl_shm_available())
        present_windows_where([&](SDL_Window *sdl_window) { return wl_shm_frame_due(sdl_window, wait_ms); });
}

}  // namespace plat
