// x_display.cpp - the X server behind SDL, asked directly where SDL does not
// say enough: protocol errors, whether a window is really on the screen, the
// screen's visual, and drawing through a colour map on an indexed visual.
#include "platform/sdl/x11/x_display.h"
#include "platform/sdl/x11/x_shm_present.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#ifdef PLATFORM_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <map>
#include <set>
#include <vector>
#endif

namespace plat {

#ifdef PLATFORM_HAVE_X11
namespace {

std::set<unsigned long> live_windows;  // X ids of the program's windows
XErrorHandler previous_handler = nullptr;
XIOErrorHandler previous_io_handler = nullptr;
bool closed_window_reported = false;
std::map<unsigned long, Visual *> indexed_windows;  // given the program's colour map
Colormap program_colour_map = 0;

// The X window of an SDL window, or 0 (with the display) when it has none.
unsigned long x_window_of(SDL_Window *window, Display **display) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
    if (display) *display = info.info.x11.display;
    return info.info.x11.window;
}

// Errors come late and on whichever connection made the request: one about
// a window closed in the meantime (a message SDL or the window manager sent
// to a box that is gone) harms nothing.
int on_x_error(Display *display, XErrorEvent *e) {
    char text[160];
    XGetErrorText(display, e->error_code, text, sizeof text);
    const bool closed =
        (e->error_code == BadWindow || e->error_code == BadDrawable) && !live_windows.count(e->resourceid);
    // the presenting connection's own errors stop only that path
    const bool presenting = x_shm_takes_error(display, e->serial, e->error_code, closed);
    if (closed) {
        if (!closed_window_reported)
            fprintf(stderr,
                    "platform: X error ignored: %s (request %d) about window 0x%lx, which the program has closed "
                    "(further ones are not reported)\n",
                    text, e->request_code, e->resourceid);
        closed_window_reported = true;
        return 0;
    }
    if (presenting) return 0;
    fprintf(stderr, "platform: X error %s (request %d, resource 0x%lx) from the window system; the program ends\n",
            text, e->request_code, e->resourceid);
    return previous_handler ? previous_handler(display, e) : 0;
}

int on_x_io_error(Display *display) {
    fprintf(stderr, "platform: the connection to the X server %s was lost; the program ends\n",
            DisplayString(display));
    return previous_io_handler ? previous_io_handler(display) : 0;
}

// ---- the colour map of an indexed visual -------------------------------------------

// Entry i: red i >> 5, green (i >> 2) & 7, blue i & 3 of the cube's levels.
Colormap colour_map_for(Display *display, Visual *visual) {
    if (program_colour_map) return program_colour_map;
    program_colour_map = XCreateColormap(display, DefaultRootWindow(display), visual, AllocAll);
    XColor cells[256];
    for (int i = 0; i < 256; i++) {
        cells[i].pixel = (unsigned long)i;
        cells[i].red = (unsigned short)(((i >> 5) & 7) * 65535 / 7);
        cells[i].green = (unsigned short)(((i >> 2) & 7) * 65535 / 7);
        cells[i].blue = (unsigned short)((i & 3) * 65535 / 3);
        cells[i].flags = DoRed | DoGreen | DoBlue;
    }
    XStoreColors(display, program_colour_map, cells, 256);
    return program_colour_map;
}

// A channel value (0-255) as one of `steps` + 1 levels, dithered by the
// 4 x 4 ordered (Bayer) threshold of the pixel's place.
struct dither_table {
    unsigned char level[16][256];
    explicit dither_table(int steps) {
        static const int bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
        for (int t = 0; t < 16; t++)
            for (int c = 0; c < 256; c++)
                level[t][c] = (unsigned char)std::min(steps, (c * steps * 16 + bayer[t] * 255) / (255 * 16));
    }
};

void index_pixels(const SDL_Surface *picture, std::vector<char> &out) {
    static const dither_table eight(7), four(3);
    out.resize((size_t)picture->w * picture->h);
    for (int y = 0; y < picture->h; y++) {
        const unsigned char *p = static_cast<const unsigned char *>(picture->pixels) + (size_t)y * picture->pitch;
        char *o = out.data() + (size_t)y * picture->w;
        for (int x = 0; x < picture->w; x++, p += 4) {
            const int t = (y & 3) * 4 + (x & 3);  // memory order blue, green, red
            o[x] = (char)(eight.level[t][p[2]] << 5 | eight.level[t][p[1]] << 2 | four.level[t][p[0]]);
        }
    }
}

}  // namespace

void x_errors_install() {
    if (previous_handler || SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) return;
    previous_handler = XSetErrorHandler(on_x_error);
    previous_io_handler = XSetIOErrorHandler(on_x_io_error);
}

void x_window_added(SDL_Window *window) {
    if (unsigned long id = x_window_of(window, nullptr)) live_windows.insert(id);
}

void x_window_removed(SDL_Window *window) {
    if (unsigned long id = x_window_of(window, nullptr)) {
        live_windows.erase(id);
        indexed_windows.erase(id);
    }
}

bool x_window_viewable(SDL_Window *window) {
    Display *display = nullptr;
    XWindowAttributes a;
    if (unsigned long id = x_window_of(window, &display); id && XGetWindowAttributes(display, id, &a))
        return a.map_state == IsViewable;
    return !(SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

std::string x_screen_visual(unsigned long *id) {
    Display *display = XOpenDisplay(nullptr);
    if (!display) return "";
    static const char *const classes[] = {"StaticGray", "GrayScale", "StaticColor",
                                          "PseudoColor", "TrueColor", "DirectColor"};
    Visual *visual = DefaultVisual(display, DefaultScreen(display));
    const int c = visual->c_class;
    *id = XVisualIDFromVisual(visual);
    std::string name = std::to_string(DefaultDepth(display, DefaultScreen(display))) + "-bit " +
                       (c >= 0 && c < 6 ? classes[c] : "unknown");
    XCloseDisplay(display);
    return name;
}

bool x_show_through_colour_map(SDL_Window *window, const SDL_Surface *picture) {
    Display *display = nullptr;
    const unsigned long id = x_window_of(window, &display);
    if (!id) return false;
    auto known = indexed_windows.find(id);
    if (known == indexed_windows.end()) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, id, &a) || a.depth != 8) return false;
        XSetWindowColormap(display, id, colour_map_for(display, a.visual));
        known = indexed_windows.emplace(id, a.visual).first;
    }
    // the window manager would install it when the window has the focus;
    // not every one does (xfwm4), so the program does it as it draws
    XInstallColormap(display, program_colour_map);
    static std::vector<char> pixels;
    index_pixels(picture, pixels);
    XImage *image = XCreateImage(display, known->second, 8, ZPixmap, 0, pixels.data(), (unsigned)picture->w,
                                 (unsigned)picture->h, 8, picture->w);
    if (!image) return false;
    XPutImage(display, id, DefaultGC(display, DefaultScreen(display)), image, 0, 0, 0, 0, (unsigned)picture->w,
              (unsigned)picture->h);
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    XFlush(display);
    return true;
}

#else

void x_errors_install() {}
void x_window_added(SDL_Window *) {}
void x_window_removed(SDL_Window *) {}
bool x_window_viewable(SDL_Window *window) {
    return !(SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}
std::string x_screen_visual(unsigned long *) { return ""; }
bool x_show_through_colour_map(SDL_Window *, const SDL_Surface *) { return false; }

#endif

}  // namespace plat
