// ddraw_objects.cpp - the DirectDraw display object, its cooperative level,
// and clippers bound to a window.
#include "platform/backend.h"
#include "platform/ddraw_internal.h"
#include "platform/state.h"

using namespace plat;

namespace plat {

dd_display *find_display(LPDIRECTDRAW dd) {
    auto it = state.displays.find(key(dd));
    return it == state.displays.end() ? nullptr : &it->second;
}

dd_surface *find_surface(LPDIRECTDRAWSURFACE surface) {
    auto it = state.surfaces.find(key(surface));
    return it == state.surfaces.end() ? nullptr : &it->second;
}

dd_clipper *find_clipper(LPDIRECTDRAWCLIPPER clipper) {
    auto it = state.clippers.find(key(clipper));
    return it == state.clippers.end() ? nullptr : &it->second;
}

void drop_clipper_reference(uintptr_t clipper) {
    auto it = state.clippers.find(clipper);
    if (it != state.clippers.end() && --it->second.references <= 0) state.clippers.erase(it);
}

}  // namespace plat

HRESULT WINAPI DirectDrawCreate(GUID *guid, LPDIRECTDRAW *dd, IUnknown *outer) {
    HRESULT code;
    backend();
    if (!dd || guid || outer) return DDERR_INVALIDPARAMS;
    *dd = nullptr;
    if (call_fails(script_op::direct_draw_create, &code)) return code;
    if (!surface_depth_supported(state.machine.display_bits)) return DDERR_UNSUPPORTEDMODE;
    *dd = handle_of<LPDIRECTDRAW>(new_handle());
    state.displays[key(*dd)] = dd_display{};
    return DD_OK;
}

HRESULT IDirectDraw_SetCooperativeLevel(LPDIRECTDRAW dd, HWND hwnd, DWORD flags) {
    HRESULT code;
    dd_display *d = find_display(dd);
    if (!d) return DDERR_INVALIDOBJECT;
    if (call_fails(script_op::set_cooperative_level, &code)) return code;
    if (flags & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) return DDERR_UNSUPPORTED;
    if (!(flags & DDSCL_NORMAL) || (hwnd && !find_window(hwnd))) return DDERR_INVALIDPARAMS;
    d->cooperative = true;
    d->hwnd = hwnd;
    return DD_OK;
}

HRESULT IDirectDraw_CreateClipper(LPDIRECTDRAW dd, DWORD flags, LPDIRECTDRAWCLIPPER *clipper,
                                  IUnknown *outer) {
    HRESULT code;
    if (!find_display(dd)) return DDERR_INVALIDOBJECT;
    if (!clipper || flags || outer) return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (call_fails(script_op::create_clipper, &code)) return code;
    *clipper = handle_of<LPDIRECTDRAWCLIPPER>(new_handle());
    state.clippers[key(*clipper)] = dd_clipper{key(dd)};
    return DD_OK;
}

HRESULT IDirectDrawClipper_SetHWnd(LPDIRECTDRAWCLIPPER clipper, DWORD flags, HWND hwnd) {
    HRESULT code;
    dd_clipper *c = find_clipper(clipper);
    if (!c) return DDERR_INVALIDOBJECT;
    if (flags || (hwnd && !find_window(hwnd))) return DDERR_INVALIDPARAMS;
    if (call_fails(script_op::clipper_set_hwnd, &code)) return code;
    c->hwnd = hwnd;
    return DD_OK;
}

ULONG IDirectDrawClipper_Release(LPDIRECTDRAWCLIPPER clipper) {
    dd_clipper *c = find_clipper(clipper);
    if (!c) return 0;
    ULONG left = (ULONG)(c->references - 1);
    drop_clipper_reference(key(clipper));
    return left;
}

ULONG IDirectDraw_Release(LPDIRECTDRAW dd) {
    if (!find_display(dd)) return 0;
    // what it made goes with it
    uintptr_t owner = key(dd);
    std::erase_if(state.surfaces, [owner](const auto &s) { return s.second.display == owner; });
    std::erase_if(state.clippers, [owner](const auto &c) { return c.second.display == owner; });
    state.displays.erase(owner);
    return 0;
}
