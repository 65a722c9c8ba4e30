// title_fit.cpp - the shorter title of a caption ending in a number.
#include "platform/sdl/title_fit.h"

namespace plat {
namespace {

constexpr std::string_view separator = " \xE2\x80\x93 ";  // " – "
constexpr std::string_view ellipsis = "\xE2\x80\xA6";     // "…"

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Where the caption's last word starts when it is a number (digits, with
// a sign or separators among them), else npos.
size_t number_start(std::string_view caption) {
    const size_t space = caption.rfind(' ');
    const size_t start = space == std::string_view::npos ? 0 : space + 1;
    const std::string_view word = caption.substr(start);
    if (word.empty() || !is_digit(word.back())) return std::string_view::npos;
    for (char c : word)
        if (!is_digit(c) && c != '-' && c != '.' && c != ',') return std::string_view::npos;
    return start;
}

// The name cut after its first `bytes` bytes, at a character's start.
size_t character_start_before(std::string_view s, size_t bytes) {
    while (bytes > 0 && bytes < s.size() && (static_cast<unsigned char>(s[bytes]) & 0xC0) == 0x80) bytes--;
    return bytes;
}

}  // namespace

std::string fitted_title(std::string_view caption, int room, const title_measure &measure) {
    if (measure(caption) <= room) return std::string(caption);
    const size_t number_at = number_start(caption);
    if (number_at == std::string_view::npos || number_at == 0) return std::string(caption);
    std::string_view name = trim(caption.substr(0, number_at));
    // the label just before the number goes with it ("FPS:", or "IPS :"
    // where a space comes before the colon)
    std::string head(caption.substr(number_at));
    size_t label_at = name.rfind(' ');
    label_at = label_at == std::string_view::npos ? 0 : label_at + 1;
    if (name.substr(label_at) == ":" && label_at > 0) {
        const size_t before = name.rfind(' ', label_at - 2);
        label_at = before == std::string_view::npos ? 0 : before + 1;
    }
    if (!name.empty() && name.back() == ':') {
        head = std::string(name.substr(label_at)) + " " + head;
        name = trim(name.substr(0, label_at));
    }
    if (name.empty()) return head;
    // the whole name after the number is wider than the caption was
    std::string title = head + std::string(separator) + std::string(name);
    // as much of the name as fits before "…"; at least its first character
    for (size_t cut = character_start_before(name, name.size() - 1); cut > 0;
         cut = character_start_before(name, cut - 1)) {
        title = head + std::string(separator) + std::string(trim(name.substr(0, cut))) + std::string(ellipsis);
        if (measure(title) <= room) return title;
    }
    return title;
}

}  // namespace plat
