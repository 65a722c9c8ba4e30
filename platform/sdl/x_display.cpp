// x_display.cpp - the X server behind SDL, asked directly where SDL does not
// say enough: protocol errors, and whether a window is really on the screen.
#include "platform/sdl/x_display.h"

#include <SDL.h>

#ifdef PLATFORM_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <set>
#endif
#include <string>

namespace plat {

#ifdef PLATFORM_HAVE_X11
namespace {

std::set<unsigned long> live_windows;  // X ids of the program's windows
XErrorHandler previous_handler = nullptr;
XIOErrorHandler previous_io_handler = nullptr;
bool closed_window_reported = false;

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
    if ((e->error_code == BadWindow || e->error_code == BadDrawable) && !live_windows.count(e->resourceid)) {
        if (!closed_window_reported)
            fprintf(stderr,
                    "platform: X error ignored: %s (request %d) about window 0x%lx, which the program has closed "
                    "(further ones are not reported)\n",
                    text, e->request_code, e->resourceid);
        closed_window_reported = true;
        return 0;
    }
    fprintf(stderr, "platform: X error %s (request %d, resource 0x%lx) from the window system; the program ends\n",
            text, e->request_code, e->resourceid);
    return previous_handler ? previous_handler(display, e) : 0;
}

int on_x_io_error(Display *display) {
    fprintf(stderr, "platform: the connection to the X server %s was lost; the program ends\n",
            DisplayString(display));
    return previous_io_handler ? previous_io_handler(display) : 0;
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
    if (unsigned long id = x_window_of(window, nullptr)) live_windows.erase(id);
}

bool x_window_viewable(SDL_Window *window) {
    Display *display = nullptr;
    XWindowAttributes a;
    if (unsigned long id = x_window_of(window, &display); id && XGetWindowAttributes(display, id, &a))
        return a.map_state == IsViewable;
    return !(SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

std::string x_screen_visual() {
    Display *display = XOpenDisplay(nullptr);
    if (!display) return "";
    static const char *const classes[] = {"StaticGray", "GrayScale", "StaticColor",
                                          "PseudoColor", "TrueColor", "DirectColor"};
    Visual *visual = DefaultVisual(display, DefaultScreen(display));
    const int c = visual->c_class;
    std::string name = std::to_string(DefaultDepth(display, DefaultScreen(display))) + "-bit " +
                       (c >= 0 && c < 6 ? classes[c] : "unknown");
    XCloseDisplay(display);
    return name;
}

#else

std::string x_screen_visual() { return ""; }
void x_errors_install() {}
void x_window_added(SDL_Window *) {}
void x_window_removed(SDL_Window *) {}
bool x_window_viewable(SDL_Window *window) {
    return !(SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
}

#endif

}  // namespace plat
