// render_paths.cpp - the table of renderers and the trial that picks each
// wide renderer's variant. Compiled for baseline x86-64: nothing here
// executes a wider instruction.
#include "tools/voxel_render/render_paths.h"

#include "tools/shared/cpu_support.h"
#include "tools/shared/rounds.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/renderers.h"

namespace {

const render_variant avx2_variants[] = {
    {"scalar-reads", render_avx2_part},
    {"gathers", render_avx2_gathers_part},
};
const render_variant avx512_variants[] = {
    {"scalar-reads", render_avx512_part},
    {"gathers", render_avx512_gathers_part},
};

// The trial: rounds of trial_frames frames, each variant in turn.
constexpr long trial_frames = 8;
constexpr int trial_rounds = 5;

}  // namespace

render_path render_paths[render_path_count] = {
    {"standard", 1, 0, render_standard_part, nullptr, 0, nullptr},
    {"vector", 4, 0, render_vector_part, nullptr, 0, nullptr},
    {"avx2", 8, cpu_avx2, render_avx2_part, avx2_variants, 2, "scalar-reads"},
    {"avx512", 16, cpu_avx512f | cpu_avx512bw, render_avx512_part, avx512_variants, 2, "scalar-reads"},
};

const render_path *find_render_path(const std::string &name)
{
    for (const render_path &path : render_paths)
        if (name == path.name)
            return &path;
    return nullptr;
}

void choose_render_variants(int depth)
{
    for (render_path &path : render_paths) {
        if (path.variant_count < 2 || !cpu_supports(path.needs))
            continue;
        double best[8];
        for (int v = 0; v < path.variant_count; ++v)
            best[v] = 1e30;
        for (int round = 0; round < trial_rounds; ++round)
            for (int v = 0; v < path.variant_count; ++v) {
                render_path trial = path;
                trial.draw = path.variants[v].draw;
                flight f = start_flight(trial, depth, 1);
                const double ms = fly(f, trial_frames);
                end_flight(f);
                best[v] = ms < best[v] ? ms : best[v];
            }
        int fastest = 0;
        for (int v = 1; v < path.variant_count; ++v)
            fastest = best[v] < best[fastest] ? v : fastest;
        path.draw = path.variants[fastest].draw;
        path.variant = path.variants[fastest].name;
    }
}

bool force_render_variant(const std::string &name)
{
    bool found = false;
    for (render_path &path : render_paths)
        for (int v = 0; v < path.variant_count; ++v)
            if (name == path.variants[v].name) {
                path.draw = path.variants[v].draw;
                path.variant = path.variants[v].name;
                found = true;
            }
    return found;
}
