// data.cpp - the data folder and the landscape, and saying why either is
// refused. Each file is first read on its own so that a refusal can name
// the file and the reason; init_terrain then loads all three and keeps the
// last word on what the renderers can use.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/terrain.h"
#include "voxel/render/terrain_check.h"

namespace {

// The system's reason a file cannot be opened for reading; empty when it can
// be (by now).
std::string open_failure(const std::string &path) {
    errno = 0;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (f) {
        std::fclose(f);
        return "";
    }
    return errno ? std::strerror(errno) : "";
}

}  // namespace

bool enter_data_folder(const std::string &dir, std::string *error) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(dir, ec);
    if (ec || !std::filesystem::is_directory(status)) {
        *error = dir + ": cannot enter the data folder: " + (ec ? ec.message() : std::strerror(ENOTDIR));
        return false;
    }
    return true;
}

bool load_landscape(const render_options &options, std::string *error) {
    pixel_depth = options.depth;
    pixel_format_555 = options.format_555 ? 1 : 0;
    std::string file, reason;
    if (find_landscape_problem(options.depth, &file, &reason)) {
        *error = file + ": " + reason;
        const std::string system_reason = reason == bitmap_failure_reason(-1) ? open_failure(file) : "";
        if (!system_reason.empty())
            *error += ": " + system_reason;
        return false;
    }
    if (init_terrain() != 0) {
        *error = (data_folder.empty() ? std::string(".") : data_folder) +
                 ": the data files cannot be used together at this depth";
        return false;
    }
    return true;
}
