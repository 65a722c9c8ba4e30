// compare.cpp - the --compare lines. The renderers draw the same frames of
// the flight on one thread in short rounds that take turns (standard,
// vector, avx2, avx512, standard, ...), so that whatever else the machine
// does at a moment falls on neighbouring rounds of every renderer alike;
// each speed-up is the median of the rounds' own ratios. Then the fastest
// one on every thread asked for, in turns with itself on one thread, and the
// summary of the speed-ups over the standard renderer; on several threads
// also their gain over one and, as its yardstick, a plain compute loop's
// in rounds beside theirs.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/shared/cpu_support.h"
#include "tools/shared/plain_loop.h"
#include "tools/shared/rounds.h"
#include "tools/shared/speedups.h"
#include "tools/voxel_render/voxel_render.h"

namespace {

// A renderer on its own flight, and its rounds' milliseconds a frame.
struct contender {
    const render_path *path;
    int threads;
    flight f;
    std::vector<double> ms = {};
};

contender enter(const render_path &path, int depth, int threads)
{
    return {&path, threads, start_flight(path, depth, threads)};
}

// Every contender one untimed round (caches, branch predictors, a team's
// threads awake), then timed rounds of flight_round frames in turns: --frames
// N frames each, or whole rounds until every contender has drawn at least
// min_measured_frames frames and the turns have taken a second a contender.
// Where a plain loop is given, it takes a turn after each round of the
// field, as long as the first contender's round. Gives the frames each
// contender drew in its timed rounds.
long take_turns(std::vector<contender> &field, const render_options &o, plain_loop *loop = nullptr)
{
    for (contender &c : field)
        fly(c.f, flight_round);
    long frames = 0;
    const double start = wall_clock_ms(), least_ms = 1000.0 * double(field.size());
    for (;;) {
        const long round = o.frames_given ? std::min(flight_round, o.frames - frames) : flight_round;
        const bool enough = o.frames_given ? round <= 0
                                           : frames >= min_measured_frames && wall_clock_ms() - start >= least_ms;
        if (enough)
            break;
        for (contender &c : field)
            c.ms.push_back(fly(c.f, round));
        if (loop)
            plain_loop_round(loop, field[0].ms.back() * double(round));
        frames += round;
    }
    for (contender &c : field)
        end_flight(c.f);
    return frames;
}

// How many times as fast as the standard renderer, round by round.
double times_faster(const contender &standard, const contender &c)
{
    return median_of(per_round_ratios(standard.ms, c.ms));
}

}  // namespace

void print_comparison(const render_options &o)
{
    std::vector<contender> field;
    for (const render_path &path : render_paths) {
        if (cpu_supports(path.needs))
            field.push_back(enter(path, o.depth, 1));
    }
    const long frames = take_turns(field, o);

    std::vector<speedup> summary;
    const contender *fastest = &field[0];
    size_t next = 0;
    for (const render_path &path : render_paths) {
        if (!cpu_supports(path.needs)) {
            std::printf("%s: not supported here (%s)\n", path.name, cpu_missing(path.needs).c_str());
            continue;
        }
        const contender &c = field[next++];
        std::printf("%s_ms=%.3f frames=%ld", path.name, median_of(c.ms), frames);
        if (path.lanes > 1) {
            std::printf(" speedup=%.2f", times_faster(field[0], c));
            summary.push_back({times_faster(field[0], c), "from " + std::to_string(path.lanes) + " lanes"});
        }
        if (path.variant)
            std::printf(" variant=%s", path.variant);
        std::printf("\n");
        if (median_of(c.ms) < median_of(fastest->ms))
            fastest = &c;
    }
    std::fflush(stdout);

    double all_ms = median_of(fastest->ms), all_times = times_faster(field[0], *fastest);
    long all_frames = frames;
    double gain = 1.0;   // on the threads over one
    plain_loop *loop = nullptr;
    if (o.threads > 1) {
        // The fastest renderer on one thread and on all, in turns, both by
        // the steady clock (the threads' rate is the time they take on a
        // machine that others may share): its speed-up times theirs over it.
        std::vector<contender> pair = {enter(*fastest->path, o.depth, 1), enter(*fastest->path, o.depth, o.threads)};
        pair[0].f.clock = wall_clock_ms;
        loop = start_plain_loop(o.threads);
        all_frames = take_turns(pair, o, loop);
        all_ms = median_of(pair[1].ms);
        gain = median_of(per_round_ratios(pair[0].ms, pair[1].ms));
        all_times *= gain;
        summary.push_back({all_times, on_threads(o.threads)});
    }
    std::printf("fastest_ms=%.3f renderer=%s threads=%d frames=%ld speedup=%.2f", all_ms, fastest->path->name,
                o.threads, all_frames, all_times);
    if (o.threads > 1) {
        std::printf(" gain=%.2f plain_gain=%.2f", gain, plain_loop_gain(loop));
        stop_plain_loop(loop);
    }
    std::printf(" %s\n", speedup_line(summary).c_str());
}
