// wl_connection.cpp - the watch over SDL's Wayland connection.
#include "platform/sdl/wayland/wl_connection.h"

#include "platform/backend.h"

#ifdef PLATFORM_HAVE_WAYLAND
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#endif

namespace plat {

#ifdef PLATFORM_HAVE_WAYLAND
namespace {

wl_display *watched = nullptr;

[[noreturn]] void end_for_lost_connection(int error) {
    const char *name = getenv("WAYLAND_DISPLAY");
    if (!name || !*name) name = "wayland-0";
    if (error == EPROTO) {
        const wl_interface *interface = nullptr;
        uint32_t id = 0;
        const uint32_t code = wl_display_get_protocol_error(watched, &interface, &id);
        fprintf(stderr,
                "platform: the Wayland compositor %s ended the connection for a protocol error (%s@%u, code %u); "
                "the program ends\n",
                name, interface ? interface->name : "unknown object", id, code);
    } else {
        fprintf(stderr, "platform: the connection to the Wayland compositor %s was lost (%s); the program ends\n",
                name, strerror(error));
    }
    // as Xlib ends a program whose X server went away
    exit(1);
}

}  // namespace

void wl_connection_watch(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND)
        watched = info.info.wl.display;
}

void wl_connection_check() {
    if (!watched) return;
    if (const int error = wl_display_get_error(watched)) end_for_lost_connection(error);
    // a hang-up seen before anyone reads: SDL 2.26.5 with libdecor can
    // crash dispatching what it read from a compositor that has gone
    pollfd p = {wl_display_get_fd(watched), 0, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR))) end_for_lost_connection(EPIPE);
}

void wl_connection_sleep(uint32_t ms) {
    if (!watched) return real_sleep(ms);
    // the socket watched for a hang-up only (no events asked for), so that
    // nothing is read from under SDL
    pollfd p = {wl_display_get_fd(watched), 0, 0};
    const uint64_t end = real_nanoseconds() + (uint64_t)ms * 1000000u;
    for (uint64_t now; (now = real_nanoseconds()) < end;) {
        const uint64_t left = end - now;
        const timespec rest = {(time_t)(left / 1000000000u), (long)(left % 1000000000u)};
        if (ppoll(&p, 1, &rest, nullptr) <= 0) continue;
        if (p.revents & POLLNVAL) {
            const uint64_t t = real_nanoseconds();
            return real_sleep(t < end ? (uint32_t)((end - t) / 1000000u) : 0);
        }
        wl_connection_check();
        end_for_lost_connection(EPIPE);
    }
}

#else

void wl_connection_watch(SDL_Window *) {}
void wl_connection_check() {}
void wl_connection_sleep(uint32_t ms) { real_sleep(ms); }

#endif

}  // namespace plat
