// canvas.cpp - window surfaces: SDL's own, or ours on Wayland and on an
// indexed visual.
#include "platform/sdl/canvas.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/sdl/wayland/wl_shm_present.h"
#include "platform/sdl/x11/x_display.h"

namespace plat {
namespace {

bool through_colour_map = false;
std::map<SDL_Window *, SDL_Surface *> own_canvases;

bool own_canvas() { return through_colour_map || wl_shm_available(); }

// Our 32-bit canvas into a free buffer of the window, and committed; a box
// is drawn seldom, so it waits for a release (at most 100 ms).
bool show_on_wayland(SDL_Window *window, const SDL_Surface *canvas) {
    shm_frame frame;
    if (wl_shm_begin(window, canvas->w, canvas->h, &frame, 100) != shm_begin::ready) return false;
    for (int y = 0; y < canvas->h; y++)
        memcpy(frame.pixels + (size_t)y * frame.pitch,
               static_cast<const uint8_t *>(canvas->pixels) + (size_t)y * canvas->pitch, (size_t)canvas->w * 4);
    wl_shm_finish(window);
    return true;
}

}  // namespace

void canvas_use_colour_map() { through_colour_map = true; }
bool canvas_uses_colour_map() { return through_colour_map; }

SDL_Surface *canvas_of(SDL_Window *window) {
    if (!window) return nullptr;
    if (!own_canvas()) return SDL_GetWindowSurface(window);
    int width, height;
    SDL_GetWindowSize(window, &width, &height);
    SDL_Surface *&canvas = own_canvases[window];
    if (canvas && (canvas->w != width || canvas->h != height)) {
        SDL_FreeSurface(canvas);
        canvas = nullptr;
    }
    // blue, green, red, unused in memory: what both ways of showing it take
    if (!canvas) canvas = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    return canvas;
}

bool canvas_show(SDL_Window *window) {
    if (!own_canvas()) return SDL_UpdateWindowSurface(window) == 0;
    auto it = own_canvases.find(window);
    if (it == own_canvases.end() || !it->second) return false;
    if (through_colour_map) return x_show_through_colour_map(window, it->second);
    return show_on_wayland(window, it->second);
}

void canvas_forget(SDL_Window *window) {
    auto it = own_canvases.find(window);
    if (it == own_canvases.end()) return;
    if (it->second) SDL_FreeSurface(it->second);
    own_canvases.erase(it);
}

}  // namespace plat
