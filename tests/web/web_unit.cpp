// web_unit.cpp - what the web backend adds, checked under node: the display
// pixels of each depth as the RGBA a canvas takes (rows long enough for
// the fast paths and their last few pixels), and the browser's language
// tags as locale ids. Prints each failure; status 1 when any.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/web/web_language.h"
#include "platform/web/web_picture.h"

using namespace plat;

static int failures = 0;

static void expect(bool ok, const std::string &what) {
    if (ok) return;
    std::printf("FAIL %s\n", what.c_str());
    failures++;
}

struct rgba {
    uint8_t r, g, b, a;
};

// Two rows of `width` pixels: pixel p everywhere but the last of each row,
// which is q; `pitch` leaves slack after each row. Returns the RGBA rows.
static std::vector<uint8_t> convert(int bits, bool is_555, std::vector<uint8_t> p, std::vector<uint8_t> q,
                                    const rgb_palette &palette, int width) {
    const int bpp = bits / 8, pitch = width * bpp + 5;
    std::vector<uint8_t> src(size_t(pitch) * 2, 0xEE), out(size_t(width) * 2 * 4, 0);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < width; x++)
            std::memcpy(&src[size_t(y) * pitch + size_t(x) * bpp], (x == width - 1 ? q : p).data(), size_t(bpp));
    rgba_from_display(src.data(), pitch, bits, is_555, palette, width, 2, out.data());
    return out;
}

static void expect_rows(const std::vector<uint8_t> &out, int width, rgba p, rgba q, const std::string &what) {
    for (int i = 0; i < 2 * width; i++) {
        const rgba want = (i % width == width - 1) ? q : p;
        const uint8_t *got = &out[size_t(i) * 4];
        char text[160];
        std::snprintf(text, sizeof text, "%s: pixel %d is %d,%d,%d,%d, not %d,%d,%d,%d", what.c_str(), i, got[0],
                      got[1], got[2], got[3], want.r, want.g, want.b, want.a);
        expect(got[0] == want.r && got[1] == want.g && got[2] == want.b && got[3] == want.a, text);
        if (!(got[0] == want.r && got[1] == want.g && got[2] == want.b && got[3] == want.a)) return;
    }
}

static void conversion_at_each_depth() {
    rgb_palette palette{};
    palette[5] = {1, 2, 3};
    palette[200] = {250, 128, 7};
    for (int width : {1, 7, 8, 19}) {
        const std::string w = " width " + std::to_string(width);
        expect_rows(convert(32, false, {0x10, 0x20, 0x30, 0x99}, {1, 2, 3, 4}, palette, width), width,
                    {0x30, 0x20, 0x10, 255}, {3, 2, 1, 255}, "32 bits" + w);
        expect_rows(convert(24, false, {0x10, 0x20, 0x30}, {0xFF, 0, 0x80}, palette, width), width,
                    {0x30, 0x20, 0x10, 255}, {0x80, 0, 0xFF, 255}, "24 bits" + w);
        // 5-6-5: 0x8410 is red 16, green 32, blue 16, widened by their top bits
        expect_rows(convert(16, false, {0x10, 0x84}, {0x00, 0xF8}, palette, width), width, {132, 130, 132, 255},
                    {255, 0, 0, 255}, "16 bits 5-6-5" + w);
        expect_rows(convert(16, false, {0xE0, 0x07}, {0x1F, 0x00}, palette, width), width, {0, 255, 0, 255},
                    {0, 0, 255, 255}, "16 bits 5-6-5 green, blue" + w);
        // 5-5-5: bit 15 is not red
        expect_rows(convert(16, true, {0x10, 0x42}, {0x00, 0xFC}, palette, width), width, {132, 132, 132, 255},
                    {255, 0, 0, 255}, "16 bits 5-5-5" + w);
        expect_rows(convert(8, false, {5}, {200}, palette, width), width, {1, 2, 3, 255}, {250, 128, 7, 255},
                    "8 bits" + w);
    }
}

static void languages_to_locale_ids() {
    const struct {
        const char *languages;
        uint32_t id;
    } cases[] = {
        {"fr-CA,en", 0x0C0C},     {"de", 0x0407},        {"de-AT", 0x0C07},      {"en-GB", 0x0809},
        {"pt-BR", 0x0416},        {"pt-PT", 0x0816},     {"ja", 0x0411},         {"ko-KR", 0x0412},
        {"ru", 0x0419},           {"it-IT", 0x0410},     {"es", 0x0C0A},         {"zh-CN", 0x0804},
        {"zh-TW", 0x0404},        {"zh-Hant", 0x0404},   {"zh-Hans", 0x0804},    {"zh-Hant-TW", 0x0404},
        {"xx-YY,it", 0x0410},     {"C,ja", 0x0411},      {"", 0x0409},           {",,ru", 0x0419},
        {"tlh", 0x0409},
    };
    for (const auto &c : cases) {
        const uint32_t id = locale_id_from_browser_languages(c.languages);
        char text[120];
        std::snprintf(text, sizeof text, "languages \"%s\" give 0x%04X, not 0x%04X", c.languages, id, c.id);
        expect(id == c.id, text);
    }
    expect(locale_id_from_browser_languages(nullptr) == 0x0409, "no languages give 0x0409");
    expect(locale_name_of_language_tag("en-gb") == "en_GB", "en-gb is en_GB");
    expect(locale_name_of_language_tag("sr-Latn-RS") == "sr_RS", "sr-Latn-RS is sr_RS");
    expect(locale_name_of_language_tag("es-419") == "es", "es-419 is es");
}

int main() {
    conversion_at_each_depth();
    languages_to_locale_ids();
    std::printf("%s\n", failures ? "web_unit: failed" : "web_unit: all passed");
    return failures ? 1 : 0;
}
