// render_paths.cpp - the table of renderers. Compiled for baseline x86-64:
// nothing here executes a wider instruction.
#include "tools/voxel_render/render_paths.h"

#include "tools/shared/cpu_support.h"
#include "voxel/render/renderers.h"

const render_path render_paths[render_path_count] = {
    {"standard", 1, 0, render_standard_part},
    {"vector", 4, 0, render_vector_part},
    {"avx2", 8, cpu_avx2, render_avx2_part},
    {"avx512", 16, cpu_avx512f | cpu_avx512bw, render_avx512_part},
};

const render_path *find_render_path(const std::string &name)
{
    for (const render_path &path : render_paths)
        if (name == path.name)
            return &path;
    return nullptr;
}
