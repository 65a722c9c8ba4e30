// wl_decorations.cpp - the compositor's globals read once on a queue of our own.
#include "platform/sdl/wayland/wl_decorations.h"

#ifdef PLATFORM_HAVE_WAYLAND
#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include <cstring>
#endif

namespace plat {

#ifdef PLATFORM_HAVE_WAYLAND
namespace {

void on_global(void *data, wl_registry *, uint32_t, const char *interface, uint32_t) {
    if (strcmp(interface, "zxdg_decoration_manager_v1") == 0) *static_cast<bool *>(data) = true;
}
void on_global_remove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener listener = {on_global, on_global_remove};

bool ask(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND ||
        !info.info.wl.display)
        return false;
    wl_display *display = info.info.wl.display;
    // a queue of our own, so that SDL's event loop never sees these events
    wl_event_queue *queue = wl_display_create_queue(display);
    wl_display *on_our_queue = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(on_our_queue), queue);
    wl_registry *registry = wl_display_get_registry(on_our_queue);
    wl_proxy_wrapper_destroy(on_our_queue);
    bool offered = false;
    wl_registry_add_listener(registry, &listener, &offered);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    wl_event_queue_destroy(queue);
    return offered;
}

}  // namespace

bool wl_server_side_decorations(SDL_Window *window) {
    static int answer = -1;
    if (answer < 0) answer = ask(window) ? 1 : 0;
    return answer == 1;
}

#else

bool wl_server_side_decorations(SDL_Window *) { return false; }

#endif

}  // namespace plat
