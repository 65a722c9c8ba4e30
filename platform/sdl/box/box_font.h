// box_font.h - the faces a message box's text is drawn with: fontconfig's
// sans-serif faces in its order of preference for the text's language, and
// for every character the first of them that has a glyph for it, opened
// with SDL2_ttf (FreeType). Faces stay open for the next box.
#pragma once
#include <SDL.h>

#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace plat::box {

struct font_face;

struct text_fonts {
    std::vector<font_face *> faces;  // fontconfig's order; opened when used
    int pixel_size = 0;
    int line_height = 0, ascent = 0;
    int missing_glyphs = 0;          // characters no face has
    // each character's advance, measured once: the layout measures the
    // same characters many times while it breaks lines
    mutable std::unordered_map<char32_t, int> advances;
};

// The fontconfig language of a Windows locale id ("de", "ja", "zh-tw"...).
std::string font_language(uint32_t locale_id);

// Chooses and opens the faces for `text` (all of it, so that the metrics
// fit every line) at `pixel_size`. False with *why when there is no usable
// scalable face.
bool open_text_fonts(const std::string &language, std::string_view text, int pixel_size,
                     text_fonts &out, std::string *why);

// The sum of the characters' advances (what the layout needs; kerning,
// which only narrows, is left out).
int text_width(const text_fonts &fonts, std::string_view utf8);
// Draws one line with its top at y.
void draw_text(const text_fonts &fonts, SDL_Surface *target, int x, int y, std::string_view utf8,
               SDL_Color colour);

}  // namespace plat::box
