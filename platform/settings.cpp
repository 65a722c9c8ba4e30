// settings.cpp - locale names to Windows locale ids and code pages, and the
// display depth setting.
#include "platform/settings.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A language: its primary language id and the sublanguage a name without a
// (listed) territory gets.
struct language {
    const char *code;
    uint16_t primary;
    uint16_t default_id;
};

constexpr language languages[] = {
    {"ar", 0x01, 0x0401}, {"bg", 0x02, 0x0402}, {"ca", 0x03, 0x0403}, {"zh", 0x04, 0x0804},
    {"cs", 0x05, 0x0405}, {"da", 0x06, 0x0406}, {"de", 0x07, 0x0407}, {"el", 0x08, 0x0408},
    {"en", 0x09, 0x0409}, {"es", 0x0A, 0x0C0A}, {"fi", 0x0B, 0x040B}, {"fr", 0x0C, 0x040C},
    {"he", 0x0D, 0x040D}, {"hu", 0x0E, 0x040E}, {"is", 0x0F, 0x040F}, {"it", 0x10, 0x0410},
    {"ja", 0x11, 0x0411}, {"ko", 0x12, 0x0412}, {"nl", 0x13, 0x0413}, {"nb", 0x14, 0x0414},
    {"no", 0x14, 0x0414}, {"nn", 0x14, 0x0814}, {"pl", 0x15, 0x0415}, {"pt", 0x16, 0x0416},
    {"ro", 0x18, 0x0418}, {"ru", 0x19, 0x0419}, {"hr", 0x1A, 0x041A}, {"sr", 0x1A, 0x0C1A},
    {"sk", 0x1B, 0x041B}, {"sq", 0x1C, 0x041C}, {"sv", 0x1D, 0x041D}, {"th", 0x1E, 0x041E},
    {"tr", 0x1F, 0x041F}, {"ur", 0x20, 0x0420}, {"id", 0x21, 0x0421}, {"uk", 0x22, 0x0422},
    {"be", 0x23, 0x0423}, {"sl", 0x24, 0x0424}, {"et", 0x25, 0x0425}, {"lv", 0x26, 0x0426},
    {"lt", 0x27, 0x0427}, {"fa", 0x29, 0x0429}, {"vi", 0x2A, 0x042A}, {"hy", 0x2B, 0x042B},
    {"az", 0x2C, 0x042C}, {"eu", 0x2D, 0x042D}, {"mk", 0x2F, 0x042F}, {"af", 0x36, 0x0436},
    {"ka", 0x37, 0x0437}, {"fo", 0x38, 0x0438}, {"hi", 0x39, 0x0439}, {"ms", 0x3E, 0x043E},
    {"kk", 0x3F, 0x043F}, {"sw", 0x41, 0x0441}, {"gl", 0x56, 0x0456},
};

// Languages spoken in more than one territory that Windows tells apart.
struct territory {
    const char *language, *territory;
    uint16_t id;
};

constexpr territory territories[] = {
    {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "JM", 0x2009},
    {"en", "BZ", 0x2809}, {"en", "TT", 0x2C09}, {"en", "ZW", 0x3009}, {"en", "PH", 0x3409},
    {"en", "IN", 0x4009}, {"en", "MY", 0x4409}, {"en", "SG", 0x4809},
    {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C},
    {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007},
    {"de", "LI", 0x1407},
    {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A}, {"es", "GT", 0x100A}, {"es", "CR", 0x140A},
    {"es", "PA", 0x180A}, {"es", "DO", 0x1C0A}, {"es", "VE", 0x200A}, {"es", "CO", 0x240A},
    {"es", "PE", 0x280A}, {"es", "AR", 0x2C0A}, {"es", "EC", 0x300A}, {"es", "CL", 0x340A},
    {"es", "UY", 0x380A}, {"es", "PY", 0x3C0A}, {"es", "BO", 0x400A}, {"es", "SV", 0x440A},
    {"es", "HN", 0x480A}, {"es", "NI", 0x4C0A}, {"es", "PR", 0x500A}, {"es", "US", 0x540A},
    {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816},
    {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813},
    {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D},
    {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404},
    {"ru", "RU", 0x0419}, {"ru", "MD", 0x0819}, {"ro", "MD", 0x0818},
    {"ar", "SA", 0x0401}, {"ar", "IQ", 0x0801}, {"ar", "EG", 0x0C01}, {"ar", "LY", 0x1001},
    {"ar", "DZ", 0x1401}, {"ar", "MA", 0x1801}, {"ar", "TN", 0x1C01}, {"ar", "OM", 0x2001},
    {"ar", "YE", 0x2401}, {"ar", "SY", 0x2801}, {"ar", "JO", 0x2C01}, {"ar", "LB", 0x3001},
    {"ar", "KW", 0x3401}, {"ar", "AE", 0x3801}, {"ar", "BH", 0x3C01}, {"ar", "QA", 0x4001},
    {"ms", "BN", 0x083E}, {"sr", "RS", 0x0C1A}, {"hr", "BA", 0x101A},
};

constexpr uint32_t default_locale = 0x0409;

}  // namespace

uint32_t locale_id_from_name(const char *name, bool *understood) {
    if (understood) *understood = true;
    if (!name || !*name || !strcmp(name, "C") || !strcmp(name, "POSIX") ||
        !strncmp(name, "C.", 2))
        return default_locale;

    // split "ll_TT.codeset@modifier" into language and territory
    std::string lang, terr;
    const char *p = name;
    while (isalpha((unsigned char)*p)) lang += (char)tolower((unsigned char)*p++);
    if (*p == '_')
        for (p++; isalpha((unsigned char)*p);) terr += (char)toupper((unsigned char)*p++);

    for (const territory &t : territories)
        if (lang == t.language && terr == t.territory) return t.id;
    for (const language &l : languages)
        if (lang == l.code) return l.default_id;
    if (understood) *understood = false;
    return default_locale;
}

uint32_t locale_id_from_environment() {
    static bool reported = false;
    const char *name = nullptr;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    bool understood;
    uint32_t id = locale_id_from_name(name, &understood);
    if (!understood && !reported) {
        reported = true;
        fprintf(stderr, "platform: locale \"%s\" is not understood; using 0x0409 (en_US)\n", name);
    }
    return id;
}

uint32_t code_page_of_locale(uint32_t locale_id) {
    uint32_t lang_id = locale_id & 0xFFFF;
    switch (lang_id & 0x3FF) {
    case 0x04:  // Chinese: traditional for Taiwan, Hong Kong, Macao
        return lang_id == 0x0404 || lang_id == 0x0C04 || lang_id == 0x1404 ? 950 : 936;
    case 0x11: return 932;
    case 0x12: return 949;
    case 0x1E: return 874;
    case 0x2A: return 1258;
    case 0x08: return 1253;
    case 0x0D: return 1255;
    case 0x1F: case 0x2C: return 1254;
    case 0x01: case 0x20: case 0x29: return 1256;
    case 0x25: case 0x26: case 0x27: return 1257;
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: return 1251;
    case 0x1A: return lang_id == 0x0C1A ? 1251 : 1250;
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B: case 0x1C: case 0x24: return 1250;
    default: return 1252;
    }
}

bool parse_display_depth(const char *value, int *bits, bool *is_555) {
    if (!value) return false;
    if (!strcmp(value, "16-555")) {
        *bits = 16;
        *is_555 = true;
        return true;
    }
    char *end;
    long n = strtol(value, &end, 10);
    if (end == value || *end || n < 0 || n > 64) return false;
    *bits = (int)n;
    *is_555 = false;
    return true;
}
