// box_font.cpp - fontconfig chooses, SDL2_ttf draws (see box_font.h).
#include "platform/sdl/box/box_font.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>

#include "platform/sdl/box/box_layout.h"

namespace plat::box {

struct font_face {
    std::string file;
    int index = 0;
    FcCharSet *charset = nullptr;  // owned (a copy)
    std::map<int, TTF_Font *> open;  // by pixel size
};

namespace {

// Sorted face lists by language, kept for the process: the next box of the
// same language costs no fontconfig call.
std::map<std::string, std::vector<std::unique_ptr<font_face>>> &face_lists() {
    static std::map<std::string, std::vector<std::unique_ptr<font_face>>> lists;
    return lists;
}

bool fonts_started(std::string *why) {
    static int state = 0;  // 0 not tried, 1 ready, -1 failed
    static std::string failure;
    if (state == 0) {
        if (!FcInit()) failure = "fontconfig could not be initialised", state = -1;
        else if (TTF_Init() != 0) failure = std::string("SDL2_ttf: ") + TTF_GetError(), state = -1;
        else state = 1;
    }
    if (state < 0 && why) *why = failure;
    return state > 0;
}

const std::vector<std::unique_ptr<font_face>> &faces_for(const std::string &language) {
    auto &lists = face_lists();
    auto found = lists.find(language);
    if (found != lists.end()) return found->second;
    std::vector<std::unique_ptr<font_face>> &faces = lists[language];
    FcPattern *pattern = FcNameParse((const FcChar8 *)"sans-serif");
    if (!language.empty()) FcPatternAddString(pattern, FC_LANG, (const FcChar8 *)language.c_str());
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet *set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    for (int i = 0; set && i < set->nfont; i++) {
        FcPattern *font = set->fonts[i];
        FcChar8 *file = nullptr;
        FcBool outline = FcFalse;
        FcCharSet *charset = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
        // FreeType draws outlines at any size; bitmap faces are left out
        if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) continue;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch) continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        auto face = std::make_unique<font_face>();
        face->file = (const char *)file;
        face->index = index;
        face->charset = FcCharSetCopy(charset);
        faces.push_back(std::move(face));
    }
    if (set) FcFontSetDestroy(set);
    FcPatternDestroy(pattern);
    return faces;
}

TTF_Font *opened(font_face &face, int size) {
    auto it = face.open.find(size);
    if (it != face.open.end()) return it->second;
    TTF_Font *font = TTF_OpenFontIndex(face.file.c_str(), size, face.index);
    if (font) TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
    face.open[size] = font;
    return font;
}

// The face that draws c: the first that has it; the first face for a
// character none has (it shows the face's missing-glyph box).
int face_of(const text_fonts &fonts, char32_t c, bool *found) {
    for (size_t i = 0; i < fonts.faces.size(); i++)
        if (FcCharSetHasChar(fonts.faces[i]->charset, c)) {
            if (found) *found = true;
            return (int)i;
        }
    if (found) *found = false;
    return 0;
}

bool invisible(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Runs of one face each: calls f(face, run).
template <typename F> void each_run(const text_fonts &fonts, std::string_view text, F f) {
    size_t at = 0, start = 0;
    int current = -1;
    while (at < text.size()) {
        const size_t here = at;
        const char32_t c = next_code_point(text, &at);
        // spaces stay in the run they are in
        const int face = invisible(c) && current >= 0 ? current : face_of(fonts, c, nullptr);
        if (face != current) {
            if (current >= 0) f(current, text.substr(start, here - start));
            current = face;
            start = here;
        }
    }
    if (current >= 0 && start < text.size()) f(current, text.substr(start));
}

}  // namespace

std::string font_language(uint32_t locale_id) {
    switch (locale_id & 0xFFFF) {
    case 0x0804: return "zh-cn";
    case 0x0404: return "zh-tw";
    case 0x0C04: return "zh-hk";
    case 0x1004: return "zh-sg";
    case 0x1404: return "zh-mo";
    default: break;
    }
    switch (locale_id & 0x3FF) {
    case 0x09: return "en";
    case 0x0C: return "fr";
    case 0x10: return "it";
    case 0x0A: return "es";
    case 0x16: return "pt";
    case 0x07: return "de";
    case 0x19: return "ru";
    case 0x12: return "ko";
    case 0x11: return "ja";
    case 0x04: return "zh-cn";
    default: return "en";
    }
}

bool open_text_fonts(const std::string &language, std::string_view text, int pixel_size,
                     text_fonts &out, std::string *why) {
    out = text_fonts{};
    if (!fonts_started(why)) return false;
    for (const auto &face : faces_for(language)) out.faces.push_back(face.get());
    if (out.faces.empty()) {
        if (why) *why = "fontconfig found no scalable font";
        return false;
    }
    // the faces the text needs, the first (for spaces and metrics) always;
    // a face that cannot be opened is dropped and the choice made again
    for (;;) {
        std::vector<bool> used(out.faces.size(), false);
        used[0] = true;
        out.missing_glyphs = 0;
        for (size_t at = 0; at < text.size();) {
            const char32_t c = next_code_point(text, &at);
            if (invisible(c)) continue;
            bool found;
            used[face_of(out, c, &found)] = true;
            if (!found) out.missing_glyphs++;
        }
        bool all_open = true;
        for (size_t i = out.faces.size(); i-- > 0;)
            if (used[i] && !opened(*out.faces[i], pixel_size)) {
                out.faces.erase(out.faces.begin() + (long)i);
                all_open = false;
            }
        if (out.faces.empty()) {
            if (why) *why = "no font could be opened";
            return false;
        }
        if (!all_open) continue;
        out.line_height = out.ascent = 0;
        int descent = 0;
        for (size_t i = 0; i < out.faces.size(); i++) {
            if (!used[i]) continue;
            TTF_Font *font = opened(*out.faces[i], pixel_size);
            out.ascent = std::max(out.ascent, TTF_FontAscent(font));
            descent = std::max(descent, -TTF_FontDescent(font));
            out.line_height = std::max(out.line_height, TTF_FontLineSkip(font));
        }
        out.line_height = std::max(out.line_height, out.ascent + descent);
        out.pixel_size = pixel_size;
        return true;
    }
}

int text_width(const text_fonts &fonts, std::string_view utf8) {
    int width = 0;
    for (size_t at = 0; at < utf8.size();) {
        const char32_t c = next_code_point(utf8, &at);
        auto known = fonts.advances.find(c);
        if (known == fonts.advances.end()) {
            TTF_Font *font = opened(*fonts.faces[face_of(fonts, c, nullptr)], fonts.pixel_size);
            int advance = 0;
            if (!font || TTF_GlyphMetrics32(font, c, nullptr, nullptr, nullptr, nullptr, &advance) != 0)
                advance = 0;
            known = fonts.advances.emplace(c, advance).first;
        }
        width += known->second;
    }
    return width;
}

void draw_text(const text_fonts &fonts, SDL_Surface *target, int x, int y, std::string_view utf8,
               SDL_Color colour) {
    each_run(fonts, utf8, [&](int face, std::string_view run) {
        TTF_Font *font = opened(*fonts.faces[face], fonts.pixel_size);
        if (!font) return;
        std::string piece(run);
        int w = 0, h = 0;
        TTF_SizeUTF8(font, piece.c_str(), &w, &h);
        SDL_Surface *drawn = TTF_RenderUTF8_Blended(font, piece.c_str(), colour);
        if (drawn) {
            SDL_Rect at = {x, y + fonts.ascent - TTF_FontAscent(font), drawn->w, drawn->h};
            SDL_SetSurfaceBlendMode(drawn, SDL_BLENDMODE_BLEND);
            SDL_BlitSurface(drawn, nullptr, target, &at);
            SDL_FreeSurface(drawn);
        }
        x += w;
    });
}

}  // namespace plat::box
