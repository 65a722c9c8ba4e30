// x_shm_present.cpp - two shared-memory X images per window, put with
// completion events on a second X connection, so that the completions come
// to us and not into SDL's event queue.
#include "platform/sdl/x11/x_shm_present.h"

#include <SDL.h>

#ifdef PLATFORM_HAVE_XSHM
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <csignal>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/sdl/interrupts.h"
#include "platform/state.h"
#endif

namespace plat {

#ifdef PLATFORM_HAVE_XSHM
namespace {

struct shm_image {
    XImage *image = nullptr;
    XShmSegmentInfo segment{};
    bool busy = false;            // put, and its completion not yet back
    unsigned long put_serial = 0;
};

struct shm_window {
    Window id = 0;
    GC gc = nullptr;
    Visual *visual = nullptr;
    int depth = 0;
    int width = 0, height = 0;
    screen_format format = screen_format::xrgb8888;
    shm_image images[2];
    int writing = -1;  // the image handed out by x_shm_begin
    int last_put = 1;
};

enum class presenter_state { unopened, open, unavailable };
// written on the presenter thread when it gives up, read on the program's
std::atomic<presenter_state> presenter{presenter_state::unopened};
Display *connection = nullptr;
int completion_type = 0;
std::map<SDL_Window *, shm_window> windows;
bool attach_failed = false;
// a segment made but not yet marked for removal: an interrupt removes it
volatile sig_atomic_t pending_segment = -1;

void give_up(const std::string &why) {
    if (presenter != presenter_state::unavailable)
        fprintf(stderr, "platform: %s; windows are drawn through SDL\n", why.c_str());
    presenter = presenter_state::unavailable;
}

bool open_presenter() {
    if (presenter != presenter_state::unopened) return presenter == presenter_state::open;
    presenter = presenter_state::unavailable;
    const char *off = getenv("PLATFORM_NO_SHM");
    if (off && *off && strcmp(off, "0") != 0) return false;
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_strcmp(driver, "x11") != 0) return false;
    connection = XOpenDisplay(nullptr);
    if (!connection) return false;
    if (!XShmQueryExtension(connection)) {
        XCloseDisplay(connection);
        connection = nullptr;
        return false;
    }
    completion_type = XShmGetEventBase(connection) + ShmCompletion;
    presenter = presenter_state::open;
    return true;
}

int on_attach_error(Display *, XErrorEvent *) {
    attach_failed = true;
    return 0;
}

// Detaches a shared image from the server and from this process.
void release_shared(XImage *image, XShmSegmentInfo &segment) {
    XShmDetach(connection, &segment);
    image->data = nullptr;
    XDestroyImage(image);
    shmdt(segment.shmaddr);
}

void free_image(shm_image &im) {
    if (!im.image) return;
    release_shared(im.image, im.segment);
    im = shm_image{};
}

// A segment of `bytes` for `image`, which the
// server attaches (checked with one round trip) before it is marked for
// removal, so that it goes when both sides have let go of it.
bool attach_segment(XImage *image, XShmSegmentInfo &segment, size_t bytes) {
    // an interrupt between the making and the recording would leave the
    // segment behind: none is acted on, on any thread, until it is recorded
    if (!interrupts_hold()) return false;
    segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment.shmid >= 0) pending_segment = segment.shmid;
    interrupts_let_through();
    if (segment.shmid < 0) return false;
    segment.shmaddr = static_cast<char *>(shmat(segment.shmid, nullptr, 0));
    image->data = segment.shmaddr;
    segment.readOnly = True;
    attach_failed = false;
    XErrorHandler previous = XSetErrorHandler(on_attach_error);
    const bool attached = segment.shmaddr != (char *)-1 && XShmAttach(connection, &segment);
    XSync(connection, False);
    XSetErrorHandler(previous);
    shmctl(segment.shmid, IPC_RMID, nullptr);
    pending_segment = -1;
    if (attached && !attach_failed) return true;
    if (segment.shmaddr != (char *)-1) shmdt(segment.shmaddr);
    image->data = nullptr;
    segment = XShmSegmentInfo{};
    return false;
}

// A shared image of the window's size.
bool make_image(shm_window &w, shm_image &im) {
    im.image = XShmCreateImage(connection, w.visual, (unsigned)w.depth, ZPixmap, nullptr, &im.segment,
                               (unsigned)w.width, (unsigned)w.height);
    if (!im.image) return false;
    if (!attach_segment(im.image, im.segment, (size_t)im.image->bytes_per_line * im.image->height)) {
        XDestroyImage(im.image);
        im = shm_image{};
        return false;
    }
    return true;
}

// The screen format of the window's images, or false for one we do not write.
bool format_of(const XImage *image, screen_format *format) {
    if (image->byte_order != LSBFirst) return false;
    const unsigned long r = image->red_mask, g = image->green_mask, b = image->blue_mask;
    if (image->bits_per_pixel == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF)
        *format = screen_format::xrgb8888;
    else if (image->bits_per_pixel == 16 && r == 0xF800 && g == 0x07E0 && b == 0x1F)
        *format = screen_format::rgb565;
    else if (image->bits_per_pixel == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x1F)
        *format = screen_format::rgb555;
    else
        return false;
    return true;
}

// The window's record (its X window, visual and GC); null when it cannot be
// presented this way.
shm_window *window_record(SDL_Window *window) {
    auto it = windows.find(window);
    if (it == windows.end()) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        XWindowAttributes a;
        if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
            !XGetWindowAttributes(connection, info.info.x11.window, &a))
            return nullptr;
        shm_window w;
        w.id = info.info.x11.window;
        w.visual = a.visual;
        w.depth = a.depth;
        w.gc = XCreateGC(connection, w.id, 0, nullptr);
        it = windows.emplace(window, w).first;
    }
    return &it->second;
}

// The window's record, with images of its current size; null when it
// cannot be presented this way.
shm_window *window_images(SDL_Window *window, int width, int height) {
    shm_window *record = window_record(window);
    if (!record) return nullptr;
    shm_window &w = *record;
    if (w.width == width && w.height == height && w.images[0].image) return &w;
    for (shm_image &im : w.images) free_image(im);
    w.width = width, w.height = height;
    for (shm_image &im : w.images)
        if (!make_image(w, im)) {
            give_up("the X server cannot show shared-memory images of the program");
            return nullptr;
        }
    if (!format_of(w.images[0].image, &w.format)) {
        for (shm_image &im : w.images) free_image(im);
        give_up("the screen's pixel format has no shared-memory path");
        return nullptr;
    }
    return &w;
}

// Takes the completions that have arrived, without waiting.
void take_completions() {
    while (XPending(connection)) {
        XEvent e;
        XNextEvent(connection, &e);
        if (e.type != completion_type) continue;
        const auto &done = reinterpret_cast<const XShmCompletionEvent &>(e);
        for (auto &[window, w] : windows)
            for (shm_image &im : w.images)
                if (im.image && im.segment.shmseg == done.shmseg) im.busy = false;
    }
}

// Takes completions until `done()` holds, waiting for the server's events
// at most 100 ms in all; answers whether it holds.
template <typename condition>
bool wait_for_completions(condition done) {
    const uint32_t start = SDL_GetTicks();
    for (;;) {
        take_completions();
        if (done()) return true;
        const int left = 100 - (int)(SDL_GetTicks() - start);
        if (left <= 0) return false;
        pollfd p = {ConnectionNumber(connection), POLLIN, 0};
        poll(&p, 1, left);
    }
}

// A free image, the one not put last when both are; -1 after 100 ms.
int free_image_of(shm_window &w) {
    int free = -1;
    wait_for_completions([&] {
        for (int k : {1 - w.last_put, w.last_put})
            if (!w.images[k].busy) {
                free = k;
                return true;
            }
        return false;
    });
    return free;
}
}  // namespace

bool x_shm_usable() { return open_presenter(); }

shm_begin x_shm_begin(SDL_Window *window, int width, int height, shm_frame *frame) {
    if (!window || !open_presenter()) return shm_begin::unavailable;
    shm_window *w = window_images(window, width, height);
    if (!w) return shm_begin::unavailable;
    const int k = free_image_of(*w);
    if (k < 0) return shm_begin::busy;
    w->writing = k;
    XImage *image = w->images[k].image;
    *frame = shm_frame{reinterpret_cast<uint8_t *>(image->data), image->bytes_per_line, width, height, w->format};
    return shm_begin::ready;
}

void x_shm_finish(SDL_Window *window) {
    auto it = windows.find(window);
    if (presenter != presenter_state::open || it == windows.end() || it->second.writing < 0) return;
    shm_window &w = it->second;
    shm_image &im = w.images[w.writing];
    im.put_serial = NextRequest(connection);
    if (XShmPutImage(connection, w.id, w.gc, im.image, 0, 0, 0, 0, (unsigned)w.width, (unsigned)w.height, True))
        im.busy = true;
    w.last_put = w.writing;
    w.writing = -1;
    XFlush(connection);
}

void x_shm_remove_pending() {
    if (pending_segment >= 0) shmctl(pending_segment, IPC_RMID, nullptr);
}

void x_shm_forget(SDL_Window *window) {
    auto it = windows.find(window);
    if (it == windows.end()) return;
    for (shm_image &im : it->second.images) free_image(im);
    if (it->second.gc) XFreeGC(connection, it->second.gc);
    windows.erase(it);
    // the server is done with the window before SDL destroys it
    XSync(connection, False);
}

bool x_shm_takes_error(void *display, unsigned long serial, int error_code, bool closed_window) {
    if (!connection || display != connection) return false;
    for (auto &[window, w] : windows)
        for (shm_image &im : w.images)
            if (im.busy && im.put_serial == serial) im.busy = false;
    if (!closed_window) {
        char text[160];
        XGetErrorText(connection, error_code, text, sizeof text);
        give_up(std::string("X error ") + text + " on the connection that shows shared-memory images");
    }
    return true;
}

#else

bool x_shm_usable() { return false; }
shm_begin x_shm_begin(SDL_Window *, int, int, shm_frame *) { return shm_begin::unavailable; }
void x_shm_finish(SDL_Window *) {}
void x_shm_forget(SDL_Window *) {}
void x_shm_remove_pending() {}
bool x_shm_takes_error(void *, unsigned long, int, bool) { return false; }

#endif

}  // namespace plat
