// box_layout.h - where the parts of a message box go, as Windows places
// them: the icon at the top left, the text beside it (its own line breaks
// kept, long lines wrapped), one OK button centred below. Pure arithmetic
// over a text-measuring function, so it is tested without a display.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::box {

// Width in pixels of a piece of UTF-8 text as it will be drawn.
using measure_fn = std::function<int(std::string_view)>;

// The text's lines: split at '\n', each line wrapped greedily to at most
// `max_width` pixels at spaces or between CJK characters (never before a
// closing mark such as "。" or ")"), a word wider than the limit cut between
// characters. Spaces at the end of a line are dropped.
std::vector<std::string> break_lines(std::string_view text, int max_width,
                                     const measure_fn &measure);

struct rect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct layout_input {
    std::string_view text;
    bool icon = true;           // an icon at the left (0x10, 0x30, 0x40)
    int line_height = 16;       // pixels from one line's top to the next
    int screen_width = 1024;    // the text is wrapped to suit the screen
    int caption_width = 0;      // the caption's width in the title font
    int button_label_width = 16;
};

struct layout {
    int width = 0, height = 0;  // client area of the box
    rect icon;                  // empty without an icon
    rect text;                  // the lines' block
    std::vector<std::string> lines;
    int line_height = 0;
    rect footer;                // the band below the text that holds the button
    rect button;
};

constexpr int margin = 12, icon_size = 32, icon_gap = 12;
constexpr int button_height = 26, min_button_width = 88;

// The widest text line the box accepts on a screen of this width.
int max_text_width(int screen_width);

layout lay_out(const layout_input &in, const measure_fn &measure);

// The code point at text[*at] (advancing *at); malformed bytes count as one
// replacement character each.
char32_t next_code_point(std::string_view text, size_t *at);

}  // namespace plat::box
