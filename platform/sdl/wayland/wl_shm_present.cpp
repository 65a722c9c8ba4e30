// wl_shm_present.cpp - wl_shm buffers per window on a private event queue.
#include "platform/sdl/wayland/wl_shm_present.h"

#ifdef PLATFORM_HAVE_WAYLAND
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/sdl/wayland/buffer_ring.h"
#include "platform/sdl/wayland/wl_connection.h"
#endif

namespace plat {

#ifdef PLATFORM_HAVE_WAYLAND
namespace {

struct wl_window {
    wl_surface *surface = nullptr;
    int width = 0, height = 0, pitch = 0;
    uint8_t *memory = nullptr;  // wl_buffer_count pictures, one after another
    size_t bytes = 0;
    std::array<wl_buffer *, wl_buffer_count> buffers{};
    buffer_ring ring;
    int writing = -1;  // the buffer handed out by wl_shm_begin
    // the frame callback asked with the last commit, until the compositor
    // says it is time for the next picture, and when it was asked
    wl_callback *frame_callback = nullptr;
    uint32_t frame_asked_at = 0;
    int refused_width = 0, refused_height = 0;  // a size too large, said once
};

enum class presenter_state { unopened, open, unavailable };
presenter_state presenter = presenter_state::unopened;
wl_display *display = nullptr;
wl_event_queue *queue = nullptr;
wl_registry *registry = nullptr;
wl_shm *shm = nullptr;
std::map<SDL_Window *, wl_window> windows;

// ---- the registry: wl_shm, bound on our queue ---------------------------------------

void on_global(void *, wl_registry *r, uint32_t name, const char *interface, uint32_t) {
    if (!shm && strcmp(interface, wl_shm_interface.name) == 0)
        shm = static_cast<wl_shm *>(wl_registry_bind(r, name, &wl_shm_interface, 1));
}
void on_global_remove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener registry_listener = {on_global, on_global_remove};

// ---- buffers --------------------------------------------------------------------------

void on_release(void *data, wl_buffer *buffer) {
    wl_window &w = *static_cast<wl_window *>(data);
    for (int k = 0; k < w.ring.count; k++)
        if (w.buffers[k] == buffer) ring_released(w.ring, k);
}
const wl_buffer_listener buffer_listener = {on_release};

// ---- pacing: one commit a refresh --------------------------------------------------
//
// A compositor shows at most one picture of a surface per refresh of its
// output; every further commit is work for it (an import or a copy of the
// buffer) that it takes from the processor the demo runs on, and on a small
// machine that costs the demo more than half its rate (sway, mutter). So a
// commit waits until the compositor's frame callback for the one before has
// come; frames drawn meanwhile are left out and the newest is shown when it
// comes, as Xwayland does for the X clients it shows. A compositor that
// sends no callback (a hidden window) does not hold the pictures back for
// longer than frame_callback_patience_ms.
constexpr uint32_t frame_callback_patience_ms = 250;

void on_frame_done(void *data, wl_callback *callback, uint32_t) {
    wl_window &w = *static_cast<wl_window *>(data);
    if (w.frame_callback == callback) w.frame_callback = nullptr;
    wl_callback_destroy(callback);
}
const wl_callback_listener frame_listener = {on_frame_done};

void forget_frame_callback(wl_window &w) {
    if (w.frame_callback) wl_callback_destroy(w.frame_callback);
    w.frame_callback = nullptr;
}

// True while the compositor has not yet asked for the next picture.
bool waiting_for_refresh(wl_window &w) {
    if (!w.frame_callback) return false;
    if (SDL_GetTicks() - w.frame_asked_at < frame_callback_patience_ms) return true;
    forget_frame_callback(w);
    return false;
}

// Asks, with the commit to come, to be told when the compositor wants the
// next picture; the callback comes on our queue, through a wrapper of
// SDL's surface.
void ask_for_refresh(wl_window &w) {
    forget_frame_callback(w);
    wl_surface *on_our_queue = static_cast<wl_surface *>(wl_proxy_create_wrapper(w.surface));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(on_our_queue), queue);
    w.frame_callback = wl_surface_frame(on_our_queue);
    wl_proxy_wrapper_destroy(on_our_queue);
    wl_callback_add_listener(w.frame_callback, &frame_listener, &w);
    w.frame_asked_at = SDL_GetTicks();
}

void free_buffers(wl_window &w) {
    // a buffer the compositor still holds may be destroyed: its copy of the
    // memory stays mapped on its side until it lets go
    for (wl_buffer *&b : w.buffers)
        if (b) wl_buffer_destroy(b), b = nullptr;
    if (w.memory) munmap(w.memory, w.bytes);
    w.memory = nullptr;
    w.bytes = 0;
    w.ring = buffer_ring{};
    w.width = w.height = 0;
}

void give_up(const std::string &why) {
    if (presenter != presenter_state::unavailable)
        fprintf(stderr, "platform: %s; windows are drawn through SDL\n", why.c_str());
    presenter = presenter_state::unavailable;
}

// True, said once per size, when the window's buffers would not fit the
// protocol's 32-bit sizes: such a window is not drawn.
bool too_large(wl_window &w, int width, int height) {
    if (shm_pool_bytes(width, height, wl_buffer_count) > 0) return false;
    if (w.refused_width != width || w.refused_height != height)
        fprintf(stderr,
                "platform: a window of %d x %d pixels is too large for the compositor's shared-memory buffers (%d of "
                "them at 4 bytes a pixel must fit in 2 GiB); it is not drawn\n",
                width, height, wl_buffer_count);
    w.refused_width = width, w.refused_height = height;
    return true;
}

// wl_buffer_count XRGB8888 buffers of width x height in one shared file
// (whose size too_large has checked).
bool make_buffers(wl_window &w, int width, int height) {
    const int pitch = width * 4;
    const int32_t one = pitch * height, bytes = shm_pool_bytes(width, height, wl_buffer_count);
    const int fd = memfd_create("kelvane-window", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)bytes) != 0) {
        give_up(std::string("no shared memory for a window: ") + strerror(errno));
        if (fd >= 0) close(fd);
        return false;
    }
    void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        give_up(std::string("no shared memory for a window: ") + strerror(errno));
        close(fd);
        return false;
    }
    wl_shm_pool *pool = wl_shm_create_pool(shm, fd, bytes);
    for (int k = 0; k < wl_buffer_count; k++) {
        w.buffers[k] = wl_shm_pool_create_buffer(pool, one * k, width, height, pitch,
                                                 WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(w.buffers[k], &buffer_listener, &w);
    }
    // the buffers keep the pool's memory; the pool and our descriptor can go
    wl_shm_pool_destroy(pool);
    close(fd);
    w.memory = static_cast<uint8_t *>(memory);
    w.bytes = bytes;
    w.width = width, w.height = height, w.pitch = pitch;
    w.ring.count = wl_buffer_count;
    return true;
}

// ---- events ---------------------------------------------------------------------------

// The connection failed (the compositor went away, a protocol error): the
// program ends (wl_connection.h).
bool connection_lost() {
    wl_connection_check();
    presenter = presenter_state::unavailable;
    return false;
}

// Dispatches the releases already read, then reads what the socket has,
// waiting at most `ms` for it; false when the connection failed.
bool take_releases(int ms) {
    if (wl_display_dispatch_queue_pending(display, queue) < 0) return connection_lost();
    while (wl_display_prepare_read_queue(display, queue) != 0)
        if (wl_display_dispatch_queue_pending(display, queue) < 0) return connection_lost();
    wl_display_flush(display);
    pollfd p = {wl_display_get_fd(display), POLLIN, 0};
    if (poll(&p, 1, ms) > 0) {
        if (wl_display_read_events(display) < 0) return connection_lost();
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_queue_pending(display, queue) >= 0 || connection_lost();
}

// The buffer the next picture may go into: a free one, once the compositor
// has asked for the next picture; after the events that have come (read
// from the socket if need be, without waiting), or waiting for them at most
// `wait_ms` in all; -1 when there is none (or the connection failed).
int buffer_for_next_picture(wl_window &w) { return waiting_for_refresh(w) ? -1 : ring_take(w.ring); }

int free_buffer_of(wl_window &w, int wait_ms) {
    if (wl_display_dispatch_queue_pending(display, queue) < 0) {
        connection_lost();
        return -1;
    }
    int k = buffer_for_next_picture(w);
    if (k >= 0) return k;
    const uint32_t start = SDL_GetTicks();
    for (;;) {
        const int left = wait_ms - (int)(SDL_GetTicks() - start);
        if (!take_releases(left > 0 ? left : 0)) return -1;
        if ((k = buffer_for_next_picture(w)) >= 0 || left <= 0) return k;
    }
}

wl_window *window_record(SDL_Window *window) {
    auto it = windows.find(window);
    if (it != windows.end()) return &it->second;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND ||
        info.info.wl.display != display || !info.info.wl.surface)
        return nullptr;
    wl_window &w = windows[window];
    w.surface = info.info.wl.surface;
    return &w;
}

}  // namespace

bool wl_shm_open(SDL_Window *window) {
    if (presenter != presenter_state::unopened) return presenter == presenter_state::open;
    presenter = presenter_state::unavailable;
    const char *off = getenv("PLATFORM_NO_SHM");
    if (off && *off && strcmp(off, "0") != 0) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND ||
        !info.info.wl.display)
        return false;
    display = info.info.wl.display;
    queue = wl_display_create_queue(display);
    // the registry through a wrapper of the display on our queue: its
    // events, and those of everything made from what it binds, come to us
    wl_display *on_our_queue = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(on_our_queue), queue);
    registry = wl_display_get_registry(on_our_queue);
    wl_proxy_wrapper_destroy(on_our_queue);
    wl_registry_add_listener(registry, &registry_listener, nullptr);
    if (wl_display_roundtrip_queue(display, queue) < 0 || !shm) {
        fprintf(stderr, "platform: the Wayland compositor offers no shared-memory buffers; windows are drawn through SDL\n");
        return false;
    }
    presenter = presenter_state::open;
    return true;
}

bool wl_shm_available() { return presenter == presenter_state::open; }

shm_begin wl_shm_begin(SDL_Window *window, int width, int height, shm_frame *frame, int wait_ms) {
    if (!window || presenter != presenter_state::open) return shm_begin::unavailable;
    wl_window *record = window_record(window);
    if (!record) return shm_begin::unavailable;
    wl_window &w = *record;
    if (w.width != width || w.height != height) {
        free_buffers(w);
        if (too_large(w, width, height) || !make_buffers(w, width, height)) return shm_begin::unavailable;
    }
    const int k = free_buffer_of(w, wait_ms);
    if (k < 0) {
        ring_left_out(w.ring);
        return shm_begin::busy;
    }
    w.writing = k;
    *frame = shm_frame{w.memory + (size_t)w.pitch * height * k, w.pitch, width, height, screen_format::xrgb8888};
    return shm_begin::ready;
}

void wl_shm_finish(SDL_Window *window) {
    auto it = windows.find(window);
    if (it == windows.end() || it->second.writing < 0) return;
    wl_window &w = it->second;
    const int k = w.writing;
    wl_surface_attach(w.surface, w.buffers[k], 0, 0);
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy *>(w.surface)) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
        wl_surface_damage_buffer(w.surface, 0, 0, w.width, w.height);
    else
        wl_surface_damage(w.surface, 0, 0, w.width, w.height);
    ask_for_refresh(w);
    wl_surface_commit(w.surface);
    ring_committed(w.ring, k);
    w.writing = -1;
    // sent now; nothing is waited for
    wl_display_flush(display);
    wl_connection_check();
}

bool wl_shm_frame_due(SDL_Window *window, int wait_ms) {
    auto it = windows.find(window);
    if (presenter != presenter_state::open || it == windows.end() || !it->second.ring.frame_owed) return false;
    return free_buffer_of(it->second, wait_ms) >= 0;
}

void wl_shm_forget(SDL_Window *window) {
    auto it = windows.find(window);
    if (it == windows.end()) return;
    forget_frame_callback(it->second);
    free_buffers(it->second);
    windows.erase(it);
    wl_display_flush(display);
}

#else

bool wl_shm_open(SDL_Window *) { return false; }
bool wl_shm_available() { return false; }
shm_begin wl_shm_begin(SDL_Window *, int, int, shm_frame *, int) { return shm_begin::unavailable; }
void wl_shm_finish(SDL_Window *) {}
bool wl_shm_frame_due(SDL_Window *, int) { return false; }
void wl_shm_forget(SDL_Window *) {}

#endif

}  // namespace plat
