// data_folder.cpp - finding the folder of the landscape files.
#include "voxel/display/data_folder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

const char *const data_file_names[data_file_count] = {"heightd2.bmp", "heightc2.bmp", "clouds.bmp"};
std::string data_folder;

std::string data_file(const char *name) { return data_folder + name; }

std::string data_path_shown(const std::string &opened) {
    fs::path path(opened);
    std::error_code ec;
    if (path.is_relative())
        path = fs::current_path(ec) / path;
    return path.lexically_normal().make_preferred().string();
}

namespace {

// A folder to try: the prefix files are opened with and the name shown.
struct candidate {
    std::string prefix, shown;
};

// The nearest folder from `folder` upwards that holds CMakeCache.txt, or an
// empty path.
fs::path build_tree_of(fs::path folder) {
    std::error_code ec;
    for (;;) {
        if (fs::is_regular_file(folder / "CMakeCache.txt", ec))
            return folder;
        const fs::path parent = folder.parent_path();
        if (parent.empty() || parent == folder)
            return {};
        folder = parent;
    }
}

candidate folder_candidate(const fs::path &folder) {
    fs::path normal = folder.lexically_normal();
    return {(normal / "").string(), normal.make_preferred().string()};
}

std::vector<candidate> candidates(const std::string &executable_path) {
    std::error_code ec;
    std::vector<candidate> list = {{"", fs::current_path(ec).make_preferred().string()}};
    if (executable_path.empty())
        return list;
    const fs::path folder = fs::path(executable_path).parent_path();
    list.push_back(folder_candidate(folder / ".." / "share" / "kelvane-demos"));
    list.push_back(folder_candidate(folder));
    const fs::path tree = build_tree_of(folder);
    if (!tree.empty())
        list.push_back(folder_candidate(tree / "data"));
    return list;
}

// Whether `shown` names the same folder as one already tried.
bool already_tried(const std::vector<std::string> &tried, const std::string &shown) {
    for (const std::string &earlier : tried) {
        std::error_code ec;
        if (earlier == shown || fs::equivalent(earlier, shown, ec))
            return true;
    }
    return false;
}

}  // namespace

bool find_data_folder(const std::string &executable_path, data_search *search) {
    *search = {};
    data_folder.clear();
    int most_found = 0;
    std::vector<std::string> fewest_missing(data_file_names, data_file_names + data_file_count);
    for (const candidate &c : candidates(executable_path)) {
        if (already_tried(search->looked_in, c.shown))
            continue;
        search->looked_in.push_back(c.shown);
        std::vector<std::string> missing;
        for (const char *name : data_file_names) {
            std::error_code ec;
            if (!fs::is_regular_file(c.prefix + name, ec))
                missing.push_back(name);
        }
        if (missing.empty()) {
            data_folder = c.prefix;
            return true;
        }
        const int found = data_file_count - int(missing.size());
        if (found > most_found) {
            most_found = found;
            fewest_missing = missing;
        }
    }
    search->missing = fewest_missing;
    return false;
}
