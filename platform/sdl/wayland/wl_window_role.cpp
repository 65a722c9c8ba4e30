// wl_window_role.cpp - windows shown with their role and ended without a
// libdecor frame left behind (wl_window_role.h).
#include "platform/sdl/wayland/wl_window_role.h"

#include <SDL.h>

#ifdef PLATFORM_HAVE_WAYLAND
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#endif

namespace plat {

#ifdef PLATFORM_HAVE_WAYLAND
namespace {

bool wayland_info(SDL_Window *window, SDL_SysWMinfo *info) {
    SDL_VERSION(&info->version);
    return window && SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_WAYLAND;
}

// A toplevel or popup of xdg-shell, made by SDL itself or by libdecor.
bool has_role(const SDL_SysWMinfo &info) {
    return info.info.wl.xdg_toplevel != nullptr || info.info.wl.xdg_popup != nullptr;
}

// The libdecor frame behind an xdg_surface, or nullptr when libdecor did not
// make it: libdecor listens to the xdg_surfaces it makes with the frame as
// their data, and its listener lives in its own library (which SDL loaded).
// The frame is taken only when libdecor itself names the same xdg_surface
// as the frame's.
struct libdecor_calls {
    void *library = nullptr;
    void *(*frame_get_xdg_surface)(void *frame) = nullptr;
    void (*frame_unref)(void *frame) = nullptr;
};

void *libdecor_frame_of(xdg_surface *surface, libdecor_calls *calls) {
    wl_proxy *proxy = reinterpret_cast<wl_proxy *>(surface);
    const void *listener = wl_proxy_get_listener(proxy);
    Dl_info where;
    if (!listener || !dladdr(listener, &where) || !where.dli_fname || !strstr(where.dli_fname, "libdecor"))
        return nullptr;
    calls->library = dlopen(where.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!calls->library) return nullptr;
    calls->frame_get_xdg_surface =
        reinterpret_cast<void *(*)(void *)>(dlsym(calls->library, "libdecor_frame_get_xdg_surface"));
    calls->frame_unref = reinterpret_cast<void (*)(void *)>(dlsym(calls->library, "libdecor_frame_unref"));
    void *frame = wl_proxy_get_user_data(proxy);
    if (!frame || !calls->frame_get_xdg_surface || !calls->frame_unref ||
        calls->frame_get_xdg_surface(frame) != static_cast<void *>(surface))
        return nullptr;
    return frame;
}

}  // namespace

bool wl_show_window(SDL_Window *window) {
    SDL_ShowWindow(window);
    SDL_SysWMinfo info;
    if (!wayland_info(window, &info) || has_role(info)) return true;
    // SDL has moved the window to libdecor meanwhile: shown again, it is
    // decorated by libdecor and gets its role
    SDL_HideWindow(window);
    SDL_ShowWindow(window);
    if (wayland_info(window, &info) && has_role(info)) return true;
    static bool said = false;
    if (!said)
        fprintf(stderr, "platform: the Wayland compositor gave a window no role: it cannot be shown, "
                        "and message boxes go to the terminal\n");
    said = true;
    return false;
}

void wl_window_ending(SDL_Window *window) {
    SDL_SysWMinfo info;
    if (!wayland_info(window, &info)) return;
    // hidden first, as SDL_DestroyWindow would: SDL's own xdg role goes with
    // it, libdecor's frame stays (a newer SDL releases it here itself)
    SDL_HideWindow(window);
    if (!wayland_info(window, &info) || !info.info.wl.xdg_surface) return;
    libdecor_calls calls;
    if (void *frame = libdecor_frame_of(info.info.wl.xdg_surface, &calls)) calls.frame_unref(frame);
    if (calls.library) dlclose(calls.library);
}

#else

bool wl_show_window(SDL_Window *window) {
    SDL_ShowWindow(window);
    return true;
}
void wl_window_ending(SDL_Window *) {}

#endif

}  // namespace plat
