// render_paths.cpp - the table of renderers and the trial that picks each
// wide renderer's variant. Compiled for baseline x86-64: nothing here
// executes a wider instruction.
#include "tools/voxel_render/render_paths.h"

#include <vector>

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

// The trial: rounds of trial_frames frames, each variant in turn (about
// 0.1 s in all on the machines measured).
constexpr long trial_frames = 16;
constexpr int trial_rounds = 9;

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
        // each variant on its own flight, the rounds in turns; variant v's
        // rounds against the first one's, the median of their ratios
        std::vector<flight> flights;
        std::vector<render_path> trials(size_t(path.variant_count), path);
        std::vector<std::vector<double>> ms(size_t(path.variant_count));
        for (int v = 0; v < path.variant_count; ++v) {
            trials[size_t(v)].draw = path.variants[v].draw;
            flights.push_back(start_flight(trials[size_t(v)], depth, 1));
            fly(flights.back(), trial_frames);   // untimed: caches and branches warm
        }
        for (int round = 0; round < trial_rounds; ++round)
            for (int v = 0; v < path.variant_count; ++v)
                ms[size_t(v)].push_back(fly(flights[size_t(v)], trial_frames));
        int fastest = 0;
        double best = 1.0;
        for (int v = 0; v < path.variant_count; ++v) {
            end_flight(flights[size_t(v)]);
            const double times_as_fast = median_of(per_round_ratios(ms[0], ms[size_t(v)]));
            if (times_as_fast > best) {
                best = times_as_fast;
                fastest = v;
            }
        }
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
