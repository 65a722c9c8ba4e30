// data.cpp - loading the landscape, and saying why a file is
// refused. Each file is first read on its own so that a refusal can name
// the file and the reason; init_terrain then loads all three and keeps the
// last word on what the renderers can use.
#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/terrain.h"
#include "voxel/render/terrain_check.h"

bool load_landscape(const render_options &options, std::string *error) {
    pixel_depth = options.depth;
    pixel_format_555 = options.format_555 ? 1 : 0;
    std::string file, reason;
    if (find_landscape_problem(options.depth, &file, &reason)) {
        *error = file + ": " + reason;
        return false;
    }
    if (init_terrain() != 0) {
        *error = (data_folder.empty() ? std::string(".") : data_folder) +
                 ": the data files cannot be used together at this depth";
        return false;
    }
    return true;
}
