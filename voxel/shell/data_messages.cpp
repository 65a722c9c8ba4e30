// data_messages.cpp - finding the landscape files, and the error boxes when
// they are missing or cannot be read: the catalogue's words in the locale's
// language, then the file names and folders (the reader's reason in English).
#include "voxel/shell/shell_messages.h"

#include <string>
#include <vector>

#include "common/messages.h"
#include "voxel/display/data_folder.h"
#include "voxel/render/terrain_check.h"

namespace {

constexpr int missing_files = 0;
constexpr int folders_to_use = 1;
constexpr int unreadable_file = 2;
constexpr int title_slot = 3;   // of voxel_messages: the program's own title

std::string joined(const std::vector<std::string> &parts, const char *between) {
    std::string text;
    for (const std::string &part : parts)
        text += (text.empty() ? "" : between) + part;
    return text;
}

void show_data_box(unsigned language, const std::string &text) {
    current_messages = voxel_messages[language];
    MessageBoxA(NULL, text.c_str(), current_messages[title_slot], MB_OK | MB_ICONERROR);
}

// The program's own file, or empty when the system cannot say.
std::string executable_path() {
    char path[4096];
    const DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace

void locate_data(unsigned language) {
    data_search search;
    if (find_data_folder(executable_path(), &search))
        return;
    const char *const *words = voxel_data_messages[language];
    show_data_box(language, std::string(words[missing_files]) + " " + joined(search.missing, ", ") + "\n" +
                                words[folders_to_use] + "\n" + joined(search.looked_in, "\n"));
    ExitProcess(1);
}

void show_unreadable_data_box(unsigned language, const std::string &file, const std::string &reason) {
    show_data_box(language, std::string(voxel_data_messages[language][unreadable_file]) + "\n" +
                                data_path_shown(file) + "\n" + reason);
}

void report_unusable_data(unsigned language, int depth) {
    std::string file, reason;
    if (find_landscape_problem(depth, &file, &reason))
        show_unreadable_data_box(language, file, reason);
}
