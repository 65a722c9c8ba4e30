// web_language.h - the browser's languages (navigator.languages) as the
// Windows locale id the programs choose their texts by.
//
//   uint32_t id = locale_id_from_browser_languages("fr-CA,fr,en-US");  // 0x0C0C
//
// Each tag ("de", "pt-BR", "zh-Hant-TW", "sr-Latn-RS") is read as the
// locale name language_TERRITORY and mapped as the POSIX locale is natively
// (settings.h); the Chinese scripts name their territory when the tag has
// none (Hans: PRC, Hant: Taiwan). The first tag whose language is known
// wins; none known (or no tags) gives 0x0409, English.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// One tag as a POSIX locale name ("zh-Hant" -> "zh_TW", "en-gb" -> "en_GB").
std::string locale_name_of_language_tag(const std::string &tag);

uint32_t locale_id_from_browser_languages(const char *languages);

}  // namespace plat
