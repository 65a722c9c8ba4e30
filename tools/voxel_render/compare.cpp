// compare.cpp - the --compare lines: each renderer on one thread over the
// same frames of the flight, then the fastest one on every thread asked for,
// with the summary of the speed-ups over the standard renderer.
#include <cstdio>
#include <vector>

#include "tools/shared/cpu_support.h"
#include "tools/shared/speedups.h"
#include "tools/voxel_render/voxel_render.h"

namespace {

struct measurement {
    const render_path *path;
    double ms;      // a frame: the median of the rounds' figures
    long frames;
};

// --frames N frames, or else whole rounds for at least a second.
measurement measure(const render_path &path, const render_options &o, int threads)
{
    long frames = o.frames;
    const std::vector<double> times = o.frames_given ? fly_frames(path, o.depth, threads, o.frames, flight_round)
                                                     : fly_long_enough(path, o.depth, threads, &frames);
    return {&path, median_ms(times), frames};
}

double times_faster(double standard_ms, double ms)
{
    return ms > 0 ? standard_ms / ms : 0.0;
}

}  // namespace

void print_comparison(const render_options &o)
{
    std::vector<measurement> runs;
    for (const render_path &path : render_paths) {
        if (!cpu_supports(path.needs)) {
            std::printf("%s: not supported here (%s)\n", path.name, cpu_missing(path.needs).c_str());
            continue;
        }
        const measurement m = measure(path, o, 1);
        std::printf("%s_ms=%.3f frames=%ld", path.name, m.ms, m.frames);
        if (!runs.empty())
            std::printf(" speedup=%.2f", times_faster(runs[0].ms, m.ms));
        std::printf("\n");
        std::fflush(stdout);
        runs.push_back(m);
    }

    std::vector<speedup> summary;
    const measurement *fastest = &runs[0];
    for (const measurement &m : runs) {
        if (m.path->lanes > 1)
            summary.push_back({times_faster(runs[0].ms, m.ms), "from " + std::to_string(m.path->lanes) + " lanes"});
        if (m.ms < fastest->ms)
            fastest = &m;
    }
    measurement all = *fastest;
    if (o.threads > 1) {
        all = measure(*fastest->path, o, o.threads);
        summary.push_back({times_faster(runs[0].ms, all.ms), on_threads(o.threads)});
    }
    std::printf("fastest_ms=%.3f renderer=%s threads=%d frames=%ld speedup=%.2f %s\n", all.ms, all.path->name,
                o.threads, all.frames, times_faster(runs[0].ms, all.ms), speedup_line(summary).c_str());
}
