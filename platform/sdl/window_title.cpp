// window_title.cpp - captions into titles, shortened on Wayland where the
// window is too narrow for them.
#include "platform/sdl/window_title.h"

#include <SDL.h>

#include "platform/sdl/box/box_font.h"
#include "platform/sdl/title_fit.h"
#include "platform/state.h"

namespace plat {
namespace {

// libdecor's title bar starts its text one button's width (32 pixels) from
// the left and fades it out from five buttons' width before the right edge
constexpr int title_bar_reserve = 6 * 32;
// its face is a bold sans-serif of 14 points (19 pixels at 96 dots an
// inch): measured with the boxes' regular face of that size and an eighth
// more for the bold strokes
constexpr int title_pixels = 19;
int bold_width(int regular) { return regular + regular / 8; }

bool on_wayland() { return SDL_strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0; }

}  // namespace

void set_window_title(SDL_Window *window, const std::string &caption_utf8) {
    if (!window) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    std::string title = caption_utf8;
    box::text_fonts fonts;
    if (on_wayland() && box::open_text_fonts(box::font_language(state.machine.locale_id), caption_utf8,
                                             title_pixels, fonts, nullptr)) {
        auto measure = [&](std::string_view t) { return bold_width(box::text_width(fonts, t)); };
        title = fitted_title(caption_utf8, width - title_bar_reserve, measure);
    }
    // the same title again would only cost the window system a redraw
    if (title != SDL_GetWindowTitle(window)) SDL_SetWindowTitle(window, title.c_str());
}

}  // namespace plat
