// window_present.cpp - one copy from the desktop to what the screen shows:
// each row converted (pixel_convert.h) straight into the window's image.
#include "platform/sdl/window_present.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/frame_trace.h"
#include "platform/pixel_convert.h"
#include "platform/sdl/canvas.h"
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

// The converter from the display's format into `screen`; at 8 bits from
// the system palette as it is now.
const row_converter &converter_for(screen_format screen) {
    static row_converter c;
    static rgb_palette palette;
    const machine_settings &m = state.machine;
    if (m.display_bits == 8) read_system_palette(palette);
    converter_prepare(c, m.display_bits, m.display_555, palette, screen);
    return c;
}

// Calls take_row(desktop_row, y, x0, count) for each row of the desktop
// under the client area of a picture of width x height: the row's first
// pixel on the desktop, the picture row y, its first column x0 and the
// pixels that lie on the desktop.
template <typename row_taker>
void for_each_desktop_row_under(const window &w, int width, int height, row_taker take_row) {
    const machine_settings &m = state.machine;
    const int bpp = bytes_per_pixel(m.display_bits);
    const uint8_t *desktop = desktop_memory();
    const int x0 = std::max(0, (int)-w.client.left);
    const int x1 = std::min(width, (int)(m.desktop_width - w.client.left));
    for (int y = 0; y < height && x0 < x1; y++) {
        const int dy = w.client.top + y;
        if (dy < 0 || dy >= m.desktop_height) continue;
        take_row(desktop + (size_t)dy * state.desktop_pitch + (size_t)(w.client.left + x0) * bpp, y, x0, x1 - x0);
    }
}

// Writes the desktop under the client area into a picture of width x height
// at `pixels`; what lies off the desktop is left as it was.
void draw_desktop_under(const window &w, uint8_t *pixels, int pitch, int width, int height, screen_format screen) {
    const row_converter &c = converter_for(screen);
    const int out = screen_bytes(screen);
    for_each_desktop_row_under(w, width, height, [&](const uint8_t *row, int y, int x0, int count) {
        convert_row(c, row, count, pixels + (size_t)y * pitch + (size_t)x0 * out);
    });
}

shm_begin wl_shm_begin_at_once(SDL_Window *sdl_window, int width, int height, shm_frame *frame) {
    return wl_shm_begin(sdl_window, width, height, frame, 0);
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
void draw_through_sdl_converter(const window &w, SDL_Surface *target, int width, int height) {
    static std::vector<uint8_t> rgb;
    rgb.assign((size_t)width * height * 3, 0);
    const machine_settings &m = state.machine;
    rgb_palette palette;
    read_system_palette(palette);
    for_each_desktop_row_under(w, width, height, [&](const uint8_t *row, int y, int x0, int count) {
        decode_row(row, count, m.display_bits, m.display_555, palette, &rgb[((size_t)y * width + x0) * 3]);
    });
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB24, rgb.data(), width * 3, target->format->format,
                      target->pixels, target->pitch);
}

// Into a shared picture of the window system (x_shm_begin or wl_shm_begin)
// and shown with `finish`: `unavailable` when there is no such path.
template <typename begin_fn, typename finish_fn>
shm_begin present_shared(SDL_Window *sdl_window, const window &w, int width, int height, begin_fn begin,
                         finish_fn finish) {
    shm_frame frame;
    const shm_begin got = begin(sdl_window, width, height, &frame);
    if (got != shm_begin::ready) return got;
    draw_desktop_under(w, frame.pixels, frame.pitch, width, height, frame.format);
    finish(sdl_window);
    return got;
}

}  // namespace

bool present_desktop(SDL_Window *sdl_window, const window &w) {
    if (!sdl_window) return false;
    int window_width, window_height;
    SDL_GetWindowSize(sdl_window, &window_width, &window_height);
    const int width = std::min((int)(w.client.right - w.client.left), window_width);
    const int height = std::min((int)(w.client.bottom - w.client.top), window_height);
    if (width <= 0 || height <= 0) return false;

    if (wl_shm_available()) {
        // the compositor holds every buffer when busy: this frame is left
        // out, and present_frames_owed shows the newest when one comes back
        return present_shared(sdl_window, w, width, height, wl_shm_begin_at_once, wl_shm_finish) ==
               shm_begin::ready;
    }
    if (!canvas_uses_colour_map()) {
        if (x_shm_put_desktop(sdl_window, w.client.left, w.client.top, width, height)) return true;
        const shm_begin got = present_shared(sdl_window, w, width, height, x_shm_begin, x_shm_finish);
        if (got != shm_begin::unavailable) return got == shm_begin::ready;
    }
    SDL_Surface *target = canvas_of(sdl_window);
    if (!target) return false;
    const int target_width = std::min(width, target->w), target_height = std::min(height, target->h);
    screen_format screen;
    if (screen_format_of(target->format->format, &screen))
        draw_desktop_under(w, static_cast<uint8_t *>(target->pixels), target->pitch, target_width, target_height,
                           screen);
    else
        draw_through_sdl_converter(w, target, target_width, target_height);
    return canvas_show(sdl_window);
}

void present_frames_owed(int wait_ms) {
    if (!wl_shm_available()) return;
    for (auto &[id, w] : state.windows) {
        SDL_Window *sdl_window = static_cast<SDL_Window *>(w.backend_data);
        if (!sdl_window || !w.visible || w.minimised || !wl_shm_frame_due(sdl_window, wait_ms)) continue;
        if (present_desktop(sdl_window, w)) trace_frame(handle_of<HWND>(id));
    }
}

}  // namespace plat
