// ddraw_blt.cpp - the copy between surfaces: a source rectangle stretched or
// shrunk onto a destination rectangle by nearest pixel, clipped to the
// destination surface and to the visible client area of its clipper's window.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "platform/ddraw_internal.h"
#include "platform/state.h"
#include "platform/stream_copy.h"

using namespace plat;

static RECT intersect(const RECT &a, const RECT &b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

static bool is_empty(const RECT &r) { return r.left >= r.right || r.top >= r.bottom; }

// Where a copy onto the surface may write: the surface, narrowed to the
// clipper's window's client area (nothing when that window is minimised,
// hidden or gone).
static RECT writable_area(const dd_surface &dst) {
    RECT area = {0, 0, dst.width, dst.height};
    auto c = state.clippers.find(dst.clipper);
    if (dst.clipper && c != state.clippers.end() && c->second.hwnd) {
        window *w = find_window(c->second.hwnd);
        if (!w || !w->visible || w->minimised) return RECT{0, 0, 0, 0};
        area = intersect(area, w->client);
    }
    return area;
}

// Copies the pixels: every destination pixel of `clip` takes the source
// pixel its position maps to in the unclipped rectangles.
static void stretch_copy(uint8_t *dst, int dst_pitch, const RECT &dr, const uint8_t *src,
                         int src_pitch, const RECT &sr, const RECT &clip, int bpp, bool streaming) {
    int64_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    int64_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    for (int y = clip.top; y < clip.bottom; y++) {
        int64_t sy = sr.top + (y - dr.top) * sh / dh;
        const uint8_t *src_row = src + sy * src_pitch;
        uint8_t *dst_row = dst + (int64_t)y * dst_pitch;
        if (sw == dw) {
            uint8_t *to = dst_row + (int64_t)clip.left * bpp;
            const uint8_t *from = src_row + (sr.left + clip.left - dr.left) * bpp;
            const size_t bytes = (size_t)(clip.right - clip.left) * bpp;
            if (streaming)
                stream_copy_row(to, from, bytes);
            else
                memcpy(to, from, bytes);
            continue;
        }
        for (int x = clip.left; x < clip.right; x++) {
            int64_t sx = sr.left + (x - dr.left) * sw / dw;
            memcpy(dst_row + (int64_t)x * bpp, src_row + sx * bpp, bpp);
        }
    }
}

HRESULT IDirectDrawSurface_Blt(LPDIRECTDRAWSURFACE dst_surface, LPRECT dst_rect,
                               LPDIRECTDRAWSURFACE src_surface, LPRECT src_rect, DWORD flags,
                               LPDDBLTFX fx) {
    HRESULT code;
    dd_surface *dst = find_surface(dst_surface);
    dd_surface *src = find_surface(src_surface);
    if (!dst || !src) return DDERR_INVALIDOBJECT;
    if (fx || (flags & ~DDBLT_WAIT)) return DDERR_INVALIDPARAMS;
    if (call_fails(script_op::blt, &code)) return code;
    if (dst->lost || src->lost) return DDERR_SURFACELOST;
    if (dst->locked || src->locked) return DDERR_SURFACEBUSY;
    if (dst->bits != src->bits || dst->is_555 != src->is_555) return DDERR_INVALIDPIXELFORMAT;

    // the rectangles: whole surfaces by default, a source inside its surface
    RECT sr = src_rect ? *src_rect : RECT{0, 0, src->width, src->height};
    RECT dr = dst_rect ? *dst_rect : RECT{0, 0, dst->width, dst->height};
    if (is_empty(sr) || is_empty(dr) || sr.left < 0 || sr.top < 0 || sr.right > src->width ||
        sr.bottom > src->height)
        return DDERR_INVALIDRECT;
    RECT clip = intersect(dr, writable_area(*dst));
    if (is_empty(clip)) return DD_OK;

    // a copy within one surface reads from a snapshot
    int bpp = bytes_per_pixel(dst->bits);
    const uint8_t *src_pixels = surface_pixels(*src);
    std::vector<uint8_t> snapshot;
    if (src == dst) {
        snapshot.assign(src_pixels, src_pixels + (size_t)surface_pitch(*src) * src->height);
        src_pixels = snapshot.data();
    }
    if (dst->primary) desktop_will_change();
    // the desktop is read by another processor after every frame: the rows
    // go to it with streaming stores (stream_copy.h)
    const bool streaming = dst->primary && desktop_read_elsewhere();
    stretch_copy(surface_pixels(*dst), surface_pitch(*dst), dr, src_pixels, surface_pitch(*src),
                 sr, clip, bpp, streaming);
    if (streaming) stream_copy_done();
    if (dst->primary) desktop_changed(clip);
    return DD_OK;
}
