// box_window.cpp - the message box's window and its modal loop.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl/box/box.h"
#include "platform/sdl/box/box_font.h"
#include "platform/sdl/canvas.h"
#include "platform/sdl/box/box_icon.h"
#include "platform/sdl/box/box_keys.h"
#include "platform/sdl/box/box_layout.h"
#include "platform/sdl/sdl_wait.h"
#include "platform/sdl/wayland/wl_decorations.h"
#include "platform/sdl/wayland/wl_shm_present.h"
#include "platform/sdl/wayland/wl_window_role.h"
#include "platform/sdl/x11/x_display.h"
#include "platform/settings.h"

namespace plat {
namespace {

constexpr int text_pixels = 15;

struct open_box {
    SDL_Window *window = nullptr;
    Uint32 id = 0;
    bool task_modal = false;
    bool closed = false;
    bool pressed = false;     // the mouse holds the button down over it
    bool mouse_down = false;  // the mouse went down on the button
    bool focused = true;
    bool needs_draw = true;
    box::key_state keys;
    int origin_x = 0, origin_y = 0;  // where the box is drawn in its window
    box::layout layout;
    box::text_fonts fonts;
    SDL_Surface *icon = nullptr;
};

open_box *current = nullptr;
box_report last;

Uint32 rgb(SDL_Surface *s, int r, int g, int b) { return SDL_MapRGB(s->format, (Uint8)r, (Uint8)g, (Uint8)b); }

void fill(SDL_Surface *s, const box::rect &r, Uint32 colour) {
    SDL_Rect a = {r.x, r.y, r.w, r.h};
    SDL_FillRect(s, &a, colour);
}

void frame(SDL_Surface *s, const box::rect &r, int thickness, Uint32 colour) {
    fill(s, {r.x, r.y, r.w, thickness}, colour);
    fill(s, {r.x, r.y + r.h - thickness, r.w, thickness}, colour);
    fill(s, {r.x, r.y, thickness, r.h}, colour);
    fill(s, {r.x + r.w - thickness, r.y, thickness, r.h}, colour);
}

// Windows' dotted focus rectangle: every other pixel.
void dotted(SDL_Surface *s, const box::rect &r, Uint32 colour) {
    for (int x = r.x; x < r.x + r.w; x += 2) {
        fill(s, {x, r.y, 1, 1}, colour);
        fill(s, {x, r.y + r.h - 1, 1, 1}, colour);
    }
    for (int y = r.y; y < r.y + r.h; y += 2) {
        fill(s, {r.x, y, 1, 1}, colour);
        fill(s, {r.x + r.w - 1, y, 1, 1}, colour);
    }
}

// The part of the window's canvas the box is drawn on: all of it, or, when
// the window system made the window larger than the box asked (a tiling
// compositor), the box's own size in its middle, framed, with the rest in
// the footer's grey. Null when the canvas is the box's size.
SDL_Surface *box_area(open_box &b, SDL_Surface *s) {
    const int w = std::min(b.layout.width, s->w), h = std::min(b.layout.height, s->h);
    b.origin_x = (s->w - w) / 2, b.origin_y = (s->h - h) / 2;
    if (w == s->w && h == s->h) return nullptr;
    fill(s, {0, 0, s->w, s->h}, rgb(s, 240, 240, 240));
    frame(s, {b.origin_x - 1, b.origin_y - 1, w + 2, h + 2}, 1, rgb(s, 160, 160, 160));
    Uint8 *at = static_cast<Uint8 *>(s->pixels) + (size_t)b.origin_y * s->pitch +
                (size_t)b.origin_x * s->format->BytesPerPixel;
    return SDL_CreateRGBSurfaceWithFormatFrom(at, w, h, s->format->BitsPerPixel, s->pitch, s->format->format);
}

void draw(open_box &b) {
    SDL_Surface *canvas = canvas_of(b.window);
    if (!canvas) return;
    SDL_Surface *area = box_area(b, canvas);
    SDL_Surface *s = area ? area : canvas;
    const box::layout &l = b.layout;
    fill(s, {0, 0, s->w, s->h}, rgb(s, 255, 255, 255));
    fill(s, l.footer, rgb(s, 240, 240, 240));
    if (b.icon) {
        SDL_Rect at = {l.icon.x, l.icon.y, l.icon.w, l.icon.h};
        SDL_SetSurfaceBlendMode(b.icon, SDL_BLENDMODE_BLEND);
        SDL_BlitSurface(b.icon, nullptr, s, &at);
    }
    for (size_t i = 0; i < l.lines.size(); i++)
        box::draw_text(b.fonts, s, l.text.x, l.text.y + (int)i * l.line_height, l.lines[i],
                       SDL_Color{0, 0, 0, 255});
    // the button: the default and focused one has Windows' blue border
    const box::rect &r = l.button;
    fill(s, r, b.pressed ? rgb(s, 204, 228, 247) : rgb(s, 225, 225, 225));
    if (b.focused) {
        frame(s, r, 2, b.pressed ? rgb(s, 0, 84, 153) : rgb(s, 0, 120, 215));
        dotted(s, {r.x + 3, r.y + 3, r.w - 6, r.h - 6}, rgb(s, 0, 0, 0));
    } else {
        frame(s, r, 1, rgb(s, 173, 173, 173));
    }
    const int label = box::text_width(b.fonts, "OK");
    box::draw_text(b.fonts, s, r.x + (r.w - label) / 2 + (b.pressed ? 1 : 0),
                   r.y + (r.h - b.fonts.line_height) / 2 + (b.pressed ? 1 : 0), "OK",
                   SDL_Color{0, 0, 0, 255});
    if (area) SDL_FreeSurface(area);
    // a picture the window system did not take is drawn again on the next pass
    b.needs_draw = !canvas_show(b.window);
}

bool on_button(const open_box &b, int x, int y) {
    const box::rect &r = b.layout.button;
    x -= b.origin_x, y -= b.origin_y;
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

Uint32 window_of_event(const SDL_Event &e) {
    switch (e.type) {
    case SDL_WINDOWEVENT: return e.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return e.key.windowID;
    case SDL_TEXTINPUT: return e.text.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEWHEEL: return e.wheel.windowID;
    default: return 0;
    }
}

bool is_input(const SDL_Event &e) {
    return e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT ||
           e.type == SDL_MOUSEMOTION || e.type == SDL_MOUSEBUTTONDOWN ||
           e.type == SDL_MOUSEBUTTONUP || e.type == SDL_MOUSEWHEEL;
}

box::answer_key answer_key_of(SDL_Keycode key) {
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return box::answer_key::enter;
    case SDLK_ESCAPE: return box::answer_key::escape;
    case SDLK_SPACE: return box::answer_key::space;
    default: return box::answer_key::other;
    }
}

void box_event(open_box &b, const SDL_Event &e) {
    switch (e.type) {
    case SDL_WINDOWEVENT:
        // drawn again on any change of its window: on Wayland the title bar
        // (focused or not) is drawn beside the box and shows only with the
        // box's next picture
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            b.closed = true;  // the close box answers OK too
        else
            b.needs_draw = true;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const box::answer_key key = answer_key_of(e.key.keysym.sym);
        switch (box::on_key(b.keys, key, e.type == SDL_KEYDOWN, e.key.repeat != 0)) {
        case box::key_effect::press: b.pressed = b.needs_draw = true; break;
        case box::key_effect::close:
            // Space over a mouse press held on the button leaves it to the mouse
            if (key != box::answer_key::space || !b.mouse_down) b.closed = true;
            break;
        case box::key_effect::none: break;
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT && on_button(b, e.button.x, e.button.y))
            b.mouse_down = b.pressed = b.needs_draw = true;
        break;
    case SDL_MOUSEMOTION:
        if (b.mouse_down && b.pressed != on_button(b, e.motion.x, e.motion.y)) {
            b.pressed = !b.pressed;
            b.needs_draw = true;
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && b.mouse_down) {
            b.mouse_down = false;
            if (on_button(b, e.button.x, e.button.y)) b.closed = true;
            b.pressed = false;
            b.needs_draw = true;
        }
        break;
    default: break;
    }
}

int screen_width_of(SDL_Window *near) {
    SDL_DisplayMode mode;
    const int display = near ? std::max(0, SDL_GetWindowDisplayIndex(near)) : 0;
    if (SDL_GetDesktopDisplayMode(display, &mode) == 0 && mode.w > 0) return mode.w;
    return state.machine.desktop_width;
}

}  // namespace

bool sdl_box_takes_event(const SDL_Event &e) {
    if (!current) return false;
    const Uint32 id = window_of_event(e);
    if (id && id == current->id) {
        box_event(*current, e);
        return true;
    }
    // SDL's quit with no window of the program to close ends the box
    if (e.type == SDL_QUIT && !newest_window()) {
        current->closed = true;
        return true;
    }
    return current->task_modal && is_input(e);
}

bool sdl_box_show(const box_request &request, std::string *why) {
    const uint32_t start = real_milliseconds();
    last = box_report{};
    open_box b;
    b.task_modal = (request.type & MB_TASKMODAL) != 0;
    const std::string language = box::font_language(state.machine.locale_id);
    // the caption is measured with the same faces, so they are chosen for both
    if (!box::open_text_fonts(language, request.text_utf8 + "\n" + request.caption_utf8 + "OK",
                              text_pixels, b.fonts, why))
        return false;
    std::string icon_source;
    b.icon = box::load_icon(box::icon_of_type(request.type), box::icon_size, &icon_source);

    auto measure = [&](std::string_view t) { return box::text_width(b.fonts, t); };
    box::layout_input in;
    in.text = request.text_utf8;
    in.icon = b.icon != nullptr;
    in.line_height = b.fonts.line_height;
    in.screen_width = screen_width_of(nullptr);
    in.caption_width = measure(request.caption_utf8);
    in.button_label_width = measure("OK");
    b.layout = box::lay_out(in, measure);

    // a dialog for the window manager; not resizable, centred on the screen
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_DIALOG");
    b.window = SDL_CreateWindow(request.caption_utf8.c_str(), SDL_WINDOWPOS_CENTERED,
                                SDL_WINDOWPOS_CENTERED, b.layout.width, b.layout.height,
                                SDL_WINDOW_HIDDEN);
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_NORMAL");
    // a box with nothing to draw on could never be seen nor answered
    if (!b.window || !canvas_of(b.window)) {
        if (why) *why = std::string(b.window ? "nothing to draw the box on: " : "no window for the box: ") +
                        SDL_GetError();
        if (b.window) SDL_DestroyWindow(b.window);
        if (b.icon) SDL_FreeSurface(b.icon);
        return false;
    }
    b.id = SDL_GetWindowID(b.window);
    x_window_added(b.window);
    // the window that had the keyboard gets it back when the box closes
    SDL_Window *had_focus = SDL_GetKeyboardFocus();
    const Uint32 focus_id = had_focus ? SDL_GetWindowID(had_focus) : 0;
    // a box the window system would never show could never be answered
    if (!wl_show_window(b.window)) {
        if (why) *why = "the window system did not show the box";
        x_window_removed(b.window);
        canvas_forget(b.window);
        wl_window_ending(b.window);
        SDL_DestroyWindow(b.window);
        if (b.icon) SDL_FreeSurface(b.icon);
        return false;
    }
    // a box shown from inside another's loop (a paint that reports a
    // failure) stacks on it: the outer one gets no input until it is closed
    open_box *outer = current;
    current = &b;
    // a dialog of one size: where the compositor draws the title bars
    // (sway, kwin) SDL gives a window that is not resizable no size range,
    // and sway tiles the box over half the screen or all of it
    if (wl_server_side_decorations(b.window)) {
        SDL_SetWindowMinimumSize(b.window, b.layout.width, b.layout.height);
        SDL_SetWindowMaximumSize(b.window, b.layout.width, b.layout.height);
    }
    SDL_RaiseWindow(b.window);
    SDL_SetWindowInputFocus(b.window);
    draw(b);

    last.shown = true;
    last.appear_ms = real_milliseconds() - start;
    last.width = b.layout.width, last.height = b.layout.height;
    last.lines = (int)b.layout.lines.size();
    last.text_x = b.layout.text.x, last.text_y = b.layout.text.y;
    last.text_width = b.layout.text.w, last.line_height = b.layout.line_height;
    last.missing_glyphs = b.fonts.missing_glyphs;
    for (const std::string &line : b.layout.lines) last.line_widths.push_back(box::text_width(b.fonts, line));
    last.icon_source = b.icon ? icon_source : "";

    // the modal loop: the program's other windows get their messages (a
    // posted quit ends the box and stays posted for the program's loop)
    while (!b.closed) {
        MSG msg;
        // a bounded number per pass, so that a window that never validates
        // itself cannot keep the box from drawing
        for (int n = 0; n < 64 && !b.closed && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); n++) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);
                b.closed = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (b.closed) break;
        if (b.needs_draw) draw(b);
        sdl_wait_for_event(100);
    }
    current = outer;
    if (outer) outer->needs_draw = true;  // its exposures went unseen
    x_window_removed(b.window);
    wl_shm_forget(b.window);
    canvas_forget(b.window);
    wl_window_ending(b.window);
    SDL_DestroyWindow(b.window);
    if (b.icon) SDL_FreeSurface(b.icon);
    if (SDL_Window *back = focus_id ? SDL_GetWindowFromID(focus_id) : nullptr) {
        if (!(SDL_GetWindowFlags(back) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED))) SDL_SetWindowInputFocus(back);
    }
    return true;
}

const box_report &sdl_last_box() { return last; }

}  // namespace plat
