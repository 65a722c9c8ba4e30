// no_png.cpp - the PNG output of a build without libpng (the
// Windows build): it says so and writes nothing.
#include <cstdio>

#include "tools/voxel_render/voxel_render.h"

bool write_png(const std::string &, const std::vector<uint8_t> &, int, int, bool) {
    std::fputs("voxel-render: this build has no PNG writer (built without libpng)\n", stderr);
    return false;
}
