// text.cpp - Windows code-page text to UTF-8 through the C library's iconv.
#include <cerrno>
#include <cstring>
#include <iconv.h>

#include <map>

#include "platform/settings.h"

// One converter per code page, opened at first use, closed at exit.
struct converter_table {
    std::map<uint32_t, iconv_t> open;
    ~converter_table() {
        for (auto &[code_page, cd] : open)
            if (cd != (iconv_t)-1) iconv_close(cd);
    }
};

static iconv_t converter_for(uint32_t code_page) {
    static converter_table converters;
    auto it = converters.open.find(code_page);
    if (it != converters.open.end()) return it->second;
    std::string name = "CP" + std::to_string(code_page);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    converters.open[code_page] = cd;
    return cd;
}

std::string code_page_to_utf8(const char *text, uint32_t code_page) {
    std::string out;
    if (!text) return out;
    iconv_t cd = converter_for(code_page);
    size_t in_left = strlen(text);
    if (cd == (iconv_t)-1) return std::string(text, in_left);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(text);
    char buffer[256];
    while (in_left > 0) {
        char *out_p = buffer;
        size_t out_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &out_p, &out_left);
        out.append(buffer, out_p - buffer);
        // a byte the code page does not define (or a cut sequence): '?'
        if (r == (size_t)-1 && errno != E2BIG) {
            out += '?';
            in++, in_left--;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}
