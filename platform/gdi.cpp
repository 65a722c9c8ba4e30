// gdi.cpp - device contexts of the display, its capabilities, and logical
// palettes realised into the system palette of an 8-bit display.
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/backend.h"
#include "platform/state.h"

using namespace plat;

// The stock default palette every context starts with: it holds only the
// static colours, so realising it changes nothing.
static const HPALETTE default_palette = handle_of<HPALETTE>(0x100);

static device_context *find_dc(HDC dc) {
    auto it = state.dcs.find(key(dc));
    return it == state.dcs.end() ? nullptr : &it->second;
}

static HDC new_dc(HWND hwnd, bool information) {
    HDC dc = handle_of<HDC>(new_handle());
    state.dcs[key(dc)] = device_context{hwnd, information, default_palette, false};
    return dc;
}

HDC WINAPI CreateICA(LPCSTR driver, LPCSTR, LPCSTR, const void *) {
    HRESULT code;
    backend();
    if (!driver || strcasecmp(driver, "Display") != 0) return nullptr;
    if (call_fails(script_op::create_ic, &code)) return nullptr;
    return new_dc(nullptr, true);
}

BOOL WINAPI DeleteDC(HDC dc) { return state.dcs.erase(key(dc)) ? TRUE : FALSE; }

HDC WINAPI GetDC(HWND hwnd) {
    backend();
    if (hwnd && !find_window(hwnd)) return nullptr;
    return new_dc(hwnd, false);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    device_context *c = find_dc(dc);
    if (!c || c->information || c->hwnd != hwnd) return 0;
    state.dcs.erase(key(dc));
    return 1;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (!find_dc(dc)) return 0;
    const machine_settings &m = state.machine;
    bool palette = m.display_bits == 8;
    switch (index) {
    case TECHNOLOGY: return 1;  // a raster display
    case HORZRES: return m.desktop_width;
    case VERTRES: return m.desktop_height;
    case BITSPIXEL: return m.display_bits;
    case PLANES: return 1;
    case NUMCOLORS: return palette ? 20 : -1;
    case RASTERCAPS: return palette ? RC_PALETTE : 0;
    case SIZEPALETTE: return palette ? 256 : 0;
    case NUMRESERVED: return palette ? 20 : 0;
    default: return 0;
    }
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE *palette) {
    HRESULT code;
    backend();
    if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0 ||
        palette->palNumEntries > 256)
        return nullptr;
    if (call_fails(script_op::create_palette, &code)) return nullptr;
    HPALETTE handle = handle_of<HPALETTE>(new_handle());
    state.palettes[key(handle)].assign(palette->palPalEntry,
                                       palette->palPalEntry + palette->palNumEntries);
    return handle;
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL force_background) {
    device_context *c = find_dc(dc);
    if (!c || (palette != default_palette && !state.palettes.count(key(palette)))) return nullptr;
    HPALETTE previous = c->palette;
    c->palette = palette;
    c->background = force_background != FALSE;
    return previous;
}

UINT WINAPI RealizePalette(HDC dc) {
    device_context *c = find_dc(dc);
    if (!c || state.machine.display_bits != 8 || c->background) return 0;
    auto it = state.palettes.find(key(c->palette));
    if (it == state.palettes.end()) return 0;
    // the entries between the static colours go to the same system entries
    const std::vector<PALETTEENTRY> &entries = it->second;
    UINT mapped = 0;
    for (size_t i = 10; i < 246 && i < entries.size(); i++, mapped++) {
        state.system_palette[i] = entries[i];
        state.system_palette[i].peFlags = 0;
    }
    return mapped;
}

UINT WINAPI GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries) {
    if (!find_dc(dc) || state.machine.display_bits != 8) return 0;
    if (!entries) return 256;
    if (start >= 256) return 0;
    count = std::min(count, 256 - start);
    std::copy_n(state.system_palette.begin() + start, count, entries);
    return count;
}

UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
    auto it = state.palettes.find(key(palette));
    if (it == state.palettes.end()) return 0;
    UINT size = (UINT)it->second.size();
    if (!entries) return size;
    if (start >= size) return 0;
    count = std::min(count, size - start);
    std::copy_n(it->second.begin() + start, count, entries);
    return count;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    if (object == (HGDIOBJ)default_palette) return TRUE;
    if (!state.palettes.erase((uintptr_t)object)) return FALSE;
    // a context that still had it selected falls back to the default one
    for (auto &[id, c] : state.dcs)
        if (key(c.palette) == (uintptr_t)object) c.palette = default_palette;
    return TRUE;
}
