// box.h - the sdl backend's own message box: a modal window drawn with
// FreeType (SDL2_ttf) in fonts fontconfig chooses, with its icon, the text
// and one OK button. While it is open the platform's message loop keeps
// running for the program's other windows, as Windows runs it for a box
// without an owner: their paint, size and minimise messages are dispatched.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend.h"

union SDL_Event;

namespace plat {

// What the last box was like (for the probe and its CI step).
struct box_report {
    bool shown = false;
    uint32_t appear_ms = 0;   // from the call to the first drawn box
    int width = 0, height = 0, lines = 0;
    int text_x = 0, text_y = 0, text_width = 0, line_height = 0;
    std::vector<int> line_widths;
    int missing_glyphs = 0;   // characters no font had
    std::string icon_source;  // a file of the icon theme, "drawn" or ""
};

// Shows the box and returns once it is closed; false with *why when it
// could not be shown (the caller then writes it to the terminal).
bool sdl_box_show(const box_request &box, std::string *why);

// An SDL event that belongs to the open box is handled here: true. Key and
// mouse input for the program's other windows while a task-modal box is
// open is swallowed too (those windows are disabled).
bool sdl_box_takes_event(const SDL_Event &e);

const box_report &sdl_last_box();

}  // namespace plat
