// ddraw_surface.cpp - DirectDraw surfaces: creation, lock and unlock, lost
// memory and its restoration, descriptions, clippers, release.
#include "platform/backend.h"
#include "platform/ddraw_internal.h"
#include "platform/state.h"

using namespace plat;

namespace plat {

int offscreen_pitch(int width, int bits) {
    // a whole number of 16-byte blocks and one more, so that a row never
    // ends where the next begins
    int row = width * bytes_per_pixel(bits);
    return (row + 15) / 16 * 16 + 16;
}

uint8_t *surface_pixels(dd_surface &s) {
    return s.primary ? desktop_memory() : s.memory.data();
}

int surface_pitch(const dd_surface &s) { return s.primary ? state.desktop_pitch : s.pitch; }

}  // namespace plat

static void describe(dd_surface &s, DDSURFACEDESC *desc, uint8_t *address) {
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = s.width;
    desc->dwHeight = s.height;
    desc->lPitch = surface_pitch(s);
    desc->ddpfPixelFormat = display_pixel_format(s.bits, s.is_555);
    desc->ddsCaps.dwCaps = s.primary ? DDSCAPS_PRIMARYSURFACE
                                     : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (address) {
        desc->dwFlags |= DDSD_LPSURFACE;
        desc->lpSurface = address;
    }
}

HRESULT IDirectDraw_CreateSurface(LPDIRECTDRAW dd, LPDDSURFACEDESC desc,
                                  LPDIRECTDRAWSURFACE *surface, IUnknown *outer) {
    HRESULT code;
    dd_display *d = find_display(dd);
    if (!d) return DDERR_INVALIDOBJECT;
    if (!desc || !surface || outer || desc->dwSize != sizeof(DDSURFACEDESC))
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (call_fails(script_op::create_surface, &code)) return code;
    if (!d->cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;

    const machine_settings &m = state.machine;
    if (!surface_depth_supported(m.display_bits)) return DDERR_UNSUPPORTEDMODE;
    dd_surface s;
    s.display = key(dd);
    s.primary = false;
    s.bits = m.display_bits;
    s.is_555 = m.display_555;
    s.mode_serial = state.mode_serial;
    DWORD caps = desc->ddsCaps.dwCaps;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        // the desktop itself: no size of its own, one per display object
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT))
            return DDERR_INVALIDPARAMS;
        if (d->has_primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
        s.primary = true;
        s.width = m.desktop_width;
        s.height = m.desktop_height;
        desktop_memory();
        d->has_primary = true;
    } else if (caps & DDSCAPS_OFFSCREENPLAIN) {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
            desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > 16384 ||
            desc->dwHeight > 16384)
            return DDERR_INVALIDPARAMS;
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            DDPIXELFORMAT own = display_pixel_format(s.bits, s.is_555);
            const DDPIXELFORMAT &asked = desc->ddpfPixelFormat;
            if (asked.dwRGBBitCount != own.dwRGBBitCount || asked.dwRBitMask != own.dwRBitMask ||
                asked.dwGBitMask != own.dwGBitMask || asked.dwBBitMask != own.dwBBitMask)
                return DDERR_INVALIDPIXELFORMAT;
        }
        s.width = (int)desc->dwWidth;
        s.height = (int)desc->dwHeight;
        s.pitch = offscreen_pitch(s.width, s.bits);
        s.memory.assign((size_t)s.pitch * s.height, 0);
    } else {
        return DDERR_INVALIDCAPS;
    }
    *surface = handle_of<LPDIRECTDRAWSURFACE>(new_handle());
    state.surfaces[key(*surface)] = std::move(s);
    return DD_OK;
}

HRESULT IDirectDrawSurface_Lock(LPDIRECTDRAWSURFACE surface, LPRECT rect, LPDDSURFACEDESC desc,
                                DWORD flags, HANDLE event) {
    HRESULT code;
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    if (!desc || event || desc->dwSize != sizeof(DDSURFACEDESC) || (flags & ~DDLOCK_WAIT))
        return DDERR_INVALIDPARAMS;
    if (call_fails(script_op::lock, &code)) return code;
    if (s->lost) return DDERR_SURFACELOST;
    if (s->locked) return DDERR_SURFACEBUSY;
    if (rect && (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
                 rect->top >= rect->bottom || rect->right > s->width || rect->bottom > s->height))
        return DDERR_INVALIDRECT;

    if (s->primary) desktop_will_change();
    uint8_t *address = surface_pixels(*s);
    if (rect)
        address += (size_t)rect->top * surface_pitch(*s) + rect->left * bytes_per_pixel(s->bits);
    s->locked = true;
    s->lock_address = address;
    describe(*s, desc, address);
    return DD_OK;
}

HRESULT IDirectDrawSurface_Unlock(LPDIRECTDRAWSURFACE surface, LPVOID address) {
    HRESULT code;
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    if (call_fails(script_op::unlock, &code)) return code;
    if (!s->locked) return DDERR_NOTLOCKED;
    if (address && address != s->lock_address) return DDERR_INVALIDPARAMS;
    s->locked = false;
    s->lock_address = nullptr;
    // what was written into the desktop directly shows now
    if (s->primary) desktop_changed(RECT{0, 0, s->width, s->height});
    return DD_OK;
}

HRESULT IDirectDrawSurface_Restore(LPDIRECTDRAWSURFACE surface) {
    HRESULT code;
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    if (call_fails(script_op::restore, &code)) return code;
    if (s->mode_serial != state.mode_serial) return DDERR_WRONGMODE;
    if (s->lost) {
        s->lost = false;
        if (!s->primary) std::fill(s->memory.begin(), s->memory.end(), 0);
    }
    return DD_OK;
}

HRESULT IDirectDrawSurface_IsLost(LPDIRECTDRAWSURFACE surface) {
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    return s->lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT IDirectDrawSurface_GetSurfaceDesc(LPDIRECTDRAWSURFACE surface, LPDDSURFACEDESC desc) {
    HRESULT code;
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (call_fails(script_op::get_surface_desc, &code)) return code;
    describe(*s, desc, nullptr);
    return DD_OK;
}

HRESULT IDirectDrawSurface_SetClipper(LPDIRECTDRAWSURFACE surface, LPDIRECTDRAWCLIPPER clipper) {
    HRESULT code;
    dd_surface *s = find_surface(surface);
    if (!s) return DDERR_INVALIDOBJECT;
    dd_clipper *c = clipper ? find_clipper(clipper) : nullptr;
    if (clipper && !c) return DDERR_INVALIDOBJECT;
    if (call_fails(script_op::set_clipper, &code)) return code;
    if (!s->primary) return DDERR_INVALIDSURFACETYPE;
    // the surface holds a reference on its clipper
    if (c) c->references++;
    if (s->clipper) drop_clipper_reference(s->clipper);
    s->clipper = key(clipper);
    return DD_OK;
}

ULONG IDirectDrawSurface_Release(LPDIRECTDRAWSURFACE surface) {
    dd_surface *s = find_surface(surface);
    if (!s) return 0;
    if (s->primary) {
        auto d = state.displays.find(s->display);
        if (d != state.displays.end()) d->second.has_primary = false;
    }
    if (s->clipper) drop_clipper_reference(s->clipper);
    state.surfaces.erase(key(surface));
    return 0;
}
