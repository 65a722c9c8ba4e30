// box_layout.cpp - line breaking and the box's geometry (see box_layout.h).
#include "platform/sdl/box/box_layout.h"

#include <algorithm>

namespace plat::box {

char32_t next_code_point(std::string_view s, size_t *at) {
    const unsigned char c = (unsigned char)s[*at];
    if (c < 0x80) {
        ++*at;
        return c;
    }
    const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || *at + extra >= s.size()) {
        ++*at;
        return 0xFFFD;
    }
    char32_t cp = c & (0x3F >> extra);
    for (int i = 1; i <= extra; i++) {
        const unsigned char t = (unsigned char)s[*at + i];
        if ((t & 0xC0) != 0x80) {
            ++*at;
            return 0xFFFD;
        }
        cp = (cp << 6) | (t & 0x3F);
    }
    *at += 1 + extra;
    return cp;
}

namespace {

// Scripts written without spaces: a line may break between any two of them.
bool breaks_anywhere(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) ||   // CJK radicals, kana, ideographs
           (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility ideographs
           (c >= 0xFF01 && c <= 0xFF9F) ||   // full-width forms, half-width katakana
           (c >= 0x20000 && c <= 0x2FFFF);
}

// Marks that must not begin a line.
bool closing_mark(char32_t c) {
    switch (c) {
    case '.': case ',': case ':': case ';': case '!': case '?': case ')': case ']': case '}':
    case 0x3001: case 0x3002: case 0x30FB: case 0x30FC: case 0x300D: case 0x300F:
    case 0x3011: case 0x3009: case 0x300B: case 0x309B: case 0x309C:
    case 0xFF0C: case 0xFF0E: case 0xFF01: case 0xFF1F: case 0xFF09: case 0xFF1A: case 0xFF1B:
    case 0xFF61: case 0xFF63: case 0xFF64: case 0xFF65: case 0xFF70: case 0xFF9E: case 0xFF9F:
        return true;
    default:
        return (c >= 0x3041 && c <= 0x3049 && c % 2 == 1) ||  // small kana ぁぃぅぇぉ
               (c >= 0x30A1 && c <= 0x30A9 && c % 2 == 1) || c == 0x3063 || c == 0x30C3 ||
               (c >= 0xFF67 && c <= 0xFF6F);                 // half-width small kana
    }
}

// Marks that must not end a line.
bool opening_mark(char32_t c) {
    return c == '(' || c == '[' || c == '{' || c == 0x300C || c == 0x300E || c == 0x3010 ||
           c == 0x3008 || c == 0x300A || c == 0xFF08 || c == 0xFF62;
}

std::string_view trim_end(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Pieces of one line between break opportunities; each piece carries the
// spaces that follow it.
std::vector<std::string_view> pieces_of(std::string_view line) {
    std::vector<std::string_view> pieces;
    size_t start = 0, at = 0;
    char32_t previous = 0;
    bool after_space = false;
    while (at < line.size()) {
        const size_t here = at;
        const char32_t c = next_code_point(line, &at);
        const bool space = c == ' ' || c == '\t';
        bool cut = false;
        if (here > start && !space) {
            if (after_space) cut = true;
            else if ((breaks_anywhere(c) || breaks_anywhere(previous)) && !closing_mark(c) &&
                     !opening_mark(previous))
                cut = true;
        }
        if (cut) {
            pieces.push_back(line.substr(start, here - start));
            start = here;
        }
        after_space = space;
        previous = c;
    }
    if (start < line.size()) pieces.push_back(line.substr(start));
    return pieces;
}

// A piece wider than the limit, cut between characters.
void cut_between_characters(std::string_view piece, int max_width, const measure_fn &measure,
                            std::vector<std::string> &lines, std::string &current) {
    size_t at = 0;
    while (at < piece.size()) {
        size_t next = at;
        next_code_point(piece, &next);
        std::string trial = current;
        trial.append(piece.substr(at, next - at));
        if (!current.empty() && measure(trim_end(trial)) > max_width) {
            lines.emplace_back(trim_end(current));
            current.assign(piece.substr(at, next - at));
        } else {
            current = std::move(trial);
        }
        at = next;
    }
}

}  // namespace

std::vector<std::string> break_lines(std::string_view text, int max_width, const measure_fn &measure) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        std::string current;
        for (std::string_view piece : pieces_of(line)) {
            std::string trial = current;
            trial.append(piece);
            if (measure(trim_end(trial)) <= max_width) {
                current = std::move(trial);
                continue;
            }
            if (!current.empty()) {
                lines.emplace_back(trim_end(current));
                current.clear();
            }
            if (measure(trim_end(piece)) <= max_width) current.assign(piece);
            else cut_between_characters(piece, max_width, measure, lines, current);
        }
        lines.emplace_back(trim_end(current));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

int max_text_width(int screen_width) {
    // about five eighths of the screen for the whole box, as Windows does
    return std::clamp(screen_width * 5 / 8 - 2 * margin - icon_size - icon_gap, 240, 600);
}

layout lay_out(const layout_input &in, const measure_fn &measure) {
    layout out;
    out.line_height = in.line_height;
    out.lines = break_lines(in.text, max_text_width(in.screen_width), measure);
    int text_width = 0;
    for (const std::string &line : out.lines) text_width = std::max(text_width, measure(line));
    const int text_height = (int)out.lines.size() * in.line_height;

    const int text_left = in.icon ? margin + icon_size + icon_gap : margin;
    const int content_height = std::max(text_height, in.icon ? icon_size : 0);
    const int top = margin + 6;
    if (in.icon) out.icon = {margin, top, icon_size, icon_size};
    out.text = {text_left, top + (content_height - text_height) / 2, text_width, text_height};

    const int button_width = std::max(min_button_width, in.button_label_width + 24);
    const int body_bottom = top + content_height + margin + 6;
    // wide enough for the text, the button and (within reason) the caption
    const int caption_need = std::min(in.caption_width + 96, text_left + max_text_width(in.screen_width) + margin);
    out.width = std::max({text_left + text_width + margin + 6, button_width + 2 * margin, caption_need, 160});
    out.footer = {0, body_bottom, out.width, button_height + 2 * 11};
    out.button = {(out.width - button_width) / 2, body_bottom + 11, button_width, button_height};
    out.height = out.footer.y + out.footer.h;
    return out;
}

}  // namespace plat::box
