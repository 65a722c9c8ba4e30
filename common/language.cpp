// language.cpp - choosing the catalogue record for the system's locale.
#include <windows.h>

#include "common/checks.h"

const uint32_t language_ids[11] = {
    0x09,   // English
    0x0C,   // French
    0x10,   // Italian
    0x0A,   // Spanish
    0x16,   // Portuguese
    0x07,   // German
    0x19,   // Russian
    0x12,   // Korean
    0x804,  // Chinese, PRC
    0x404,  // Chinese, Taiwan
    0x11,   // Japanese
};

const char decimal_separators[language_count] = {'.', ',', ',', ',', ',', ',', ',', '.', '.', '.', '.', '.'};

const char *const *current_messages = voxel_messages[language_count - 1];

unsigned select_language() {
    // the two Chinese locales are keys whole; all others by primary language
    uint32_t locale = GetSystemDefaultLCID();
    uint32_t key = (locale == 0x0404 || locale == 0x0804) ? locale : (locale & 0x3FF);
    for (unsigned index = 0; index < 11; index++)
        if (language_ids[index] == key) return index;
    return 11;
}
