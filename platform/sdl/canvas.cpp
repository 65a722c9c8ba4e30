// canvas.cpp - window surfaces: SDL's own, or ours on an indexed visual.
#include "platform/sdl/canvas.h"

#include <SDL.h>

#include <map>

#include "platform/sdl/x_display.h"

namespace plat {
namespace {

bool through_colour_map = false;
std::map<SDL_Window *, SDL_Surface *> own_canvases;

}  // namespace

void canvas_use_colour_map() { through_colour_map = true; }
bool canvas_uses_colour_map() { return through_colour_map; }

SDL_Surface *canvas_of(SDL_Window *window) {
    if (!window) return nullptr;
    if (!through_colour_map) return SDL_GetWindowSurface(window);
    int width, height;
    SDL_GetWindowSize(window, &width, &height);
    SDL_Surface *&canvas = own_canvases[window];
    if (canvas && (canvas->w != width || canvas->h != height)) {
        SDL_FreeSurface(canvas);
        canvas = nullptr;
    }
    if (!canvas) canvas = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    return canvas;
}

void canvas_show(SDL_Window *window) {
    if (!through_colour_map) {
        SDL_UpdateWindowSurface(window);
        return;
    }
    auto it = own_canvases.find(window);
    if (it != own_canvases.end() && it->second) x_show_through_colour_map(window, it->second);
}

void canvas_forget(SDL_Window *window) {
    auto it = own_canvases.find(window);
    if (it == own_canvases.end()) return;
    if (it->second) SDL_FreeSurface(it->second);
    own_canvases.erase(it);
}

}  // namespace plat
