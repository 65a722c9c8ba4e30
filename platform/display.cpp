// display.cpp - the desktop: its mode, its memory (what the primary surface
// stands for) and the system palette of an 8-bit display.
#include <algorithm>

#include "platform/backend.h"
#include "platform/frame_trace.h"
#include "platform/state.h"
#include "platform/system_colours.h"

namespace plat {

int bytes_per_pixel(int bits) { return bits == 8 ? 1 : bits == 16 ? 2 : bits == 24 ? 3 : 4; }

bool surface_depth_supported(int bits) {
    return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

void display_set_mode(int bits, bool is_555) {
    state.machine.display_bits = bits;
    state.machine.display_555 = is_555;
    state.mode_serial++;
    // the backend lets its memory go, and stops reading the platform's
    // before that goes
    if (backend().desktop_memory) backend().desktop_memory(0);
    state.desktop.clear();
    state.shared_desktop = nullptr;
    state.desktop_pitch = 0;
    reset_system_palette();
}

// The desktop's memory: the backend's where it can show windows straight
// from it, else the platform's own.
uint8_t *desktop_memory() {
    if (state.shared_desktop) return state.shared_desktop;
    if (state.desktop.empty()) {
        const machine_settings &m = state.machine;
        state.desktop_pitch = m.desktop_width * bytes_per_pixel(m.display_bits);
        const size_t bytes = (size_t)state.desktop_pitch * m.desktop_height;
        if (backend().desktop_memory) state.shared_desktop = backend().desktop_memory(bytes);
        if (state.shared_desktop) return state.shared_desktop;
        state.desktop.assign(bytes, 0);
    }
    return state.desktop.data();
}

void desktop_will_change() {
    if (desktop_read_elsewhere() && backend().desktop_writing) backend().desktop_writing();
}

bool desktop_read_elsewhere() { return state.shared_desktop || state.desktop_read_elsewhere; }

DDPIXELFORMAT display_pixel_format(int bits, bool is_555) {
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = bits;
    if (bits == 8) {
        format.dwFlags |= DDPF_PALETTEINDEXED8;
    } else if (bits == 16 && is_555) {
        format.dwRBitMask = 0x7C00, format.dwGBitMask = 0x03E0, format.dwBBitMask = 0x001F;
    } else if (bits == 16) {
        format.dwRBitMask = 0xF800, format.dwGBitMask = 0x07E0, format.dwBBitMask = 0x001F;
    } else {
        format.dwRBitMask = 0xFF0000, format.dwGBitMask = 0x00FF00, format.dwBBitMask = 0x0000FF;
    }
    return format;
}

void reset_system_palette() {
    state.system_palette.fill(PALETTEENTRY{0, 0, 0, 0});
    for (int i = 0; i < 256; i++) {
        if (i >= 10 && i < 246) continue;
        system_colour c = static_colour_of(i);
        state.system_palette[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
}

void desktop_changed(const RECT &area) {
    if (desktop_read_elsewhere() && backend().desktop_written) backend().desktop_written();
    for (auto &[id, w] : state.windows) {
        if (!w.visible || w.minimised) continue;
        RECT c = w.client;
        if (std::max(c.left, area.left) < std::min(c.right, area.right) &&
            std::max(c.top, area.top) < std::min(c.bottom, area.bottom)) {
            // traced only when it went to the screen, where a person can see it
            // (by the presenter thread, where there is one)
            if (state.frames_shown_paced) trace_drawn(handle_of<HWND>(id));
            if (backend().presented(handle_of<HWND>(id), w)) trace_frame(handle_of<HWND>(id));
        }
    }
}

}  // namespace plat
