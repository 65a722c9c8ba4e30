// settings.h - the machine's own settings as this platform reads them:
// the locale (GetSystemDefaultLCID and the code page of the ANSI texts) and
// the display depth (PLATFORM_DISPLAY_DEPTH).
#pragma once
#include <cstdint>
#include <string>

// Windows locale id of a POSIX locale name such as "fr_CA.UTF-8" or
// "de_CH@euro": by language and territory; a language without a territory,
// or with one not listed, gets its primary language's default. "C", "POSIX"
// and an empty or null name give 0x0409. *understood (if given) is false for
// a name whose language is not known; the answer is then 0x0409 too.
uint32_t locale_id_from_name(const char *name, bool *understood = nullptr);

// The first non-empty of LC_ALL, LC_MESSAGES, LANG mapped as above; a name
// that cannot be understood is reported once on standard error.
uint32_t locale_id_from_environment();

// The ANSI code page of a locale's texts: 1252 for the western languages,
// 1250, 1251, 1253-1258 and 874 for their regions, 932 Japanese, 936 Chinese
// (PRC, Singapore), 949 Korean, 950 Chinese (Taiwan, Hong Kong, Macao).
uint32_t code_page_of_locale(uint32_t locale_id);

// Text in a Windows code page as UTF-8 (bytes that cannot be converted
// become '?').
std::string code_page_to_utf8(const char *text, uint32_t code_page);

// PLATFORM_DISPLAY_DEPTH: "8", "16" (5-6-5), "16-555", "24", "32"; any other
// whole number n is reported as n bits per pixel. Returns false (leaving the
// outputs alone) for a value that is not understood.
bool parse_display_depth(const char *value, int *bits, bool *is_555);
