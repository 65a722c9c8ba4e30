// web_language.cpp - language tags to locale names to locale ids.
#include "platform/web/web_language.h"

#include <cctype>
#include <vector>

#include "platform/settings.h"

namespace plat {
namespace {

std::vector<std::string> split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string lower(std::string s) {
    for (char &c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

std::string upper(std::string s) {
    for (char &c : s) c = char(std::toupper((unsigned char)c));
    return s;
}

bool all_alpha(const std::string &s) {
    for (char c : s)
        if (!std::isalpha((unsigned char)c)) return false;
    return !s.empty();
}

}  // namespace

std::string locale_name_of_language_tag(const std::string &tag) {
    // language, then an optional script (4 letters), then an optional
    // territory (2 letters or 3 digits); anything after is left out
    const std::vector<std::string> parts = split(tag, '-');
    const std::string language = lower(parts[0]);
    std::string script, territory;
    for (size_t i = 1; i < parts.size(); i++) {
        if (parts[i].size() == 4 && all_alpha(parts[i]) && script.empty() && territory.empty())
            script = lower(parts[i]);
        else if (parts[i].size() == 2 && all_alpha(parts[i]) && territory.empty())
            territory = upper(parts[i]);
        else
            break;
    }
    if (language == "zh" && territory.empty()) {
        if (script == "hant") territory = "TW";
        if (script == "hans") territory = "CN";
    }
    return territory.empty() ? language : language + "_" + territory;
}

uint32_t locale_id_from_browser_languages(const char *languages) {
    if (!languages) return 0x0409;
    for (const std::string &tag : split(languages, ',')) {
        if (tag.empty()) continue;
        bool understood = false;
        const uint32_t id = locale_id_from_name(locale_name_of_language_tag(tag).c_str(), &understood);
        if (understood) return id;
    }
    return 0x0409;
}

}  // namespace plat
