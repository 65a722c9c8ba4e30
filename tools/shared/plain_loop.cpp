// plain_loop.cpp - a loop of independent additions on one thread and on N,
// in rounds as long as the rounds of the path beside it, by the steady clock.
#include "tools/shared/plain_loop.h"

#include <algorithm>
#include <vector>

#include "tools/shared/rounds.h"
#include "tools/shared/threads.h"

struct plain_loop {
    int threads;
    thread_team *one, *all;
    double steps_per_ms;
    std::vector<double> one_ms = {}, all_ms = {};
};

namespace {

// Four chains of additions, so that the loop is bound by the adder's
// throughput rather than one chain's latency; the sums are kept so that the
// loop is not taken away.
volatile float kept_sum;

void add_up(long steps)
{
    float a = 0.0f, b = 1.0f, c = 2.0f, d = 3.0f;
    for (long i = 0; i < steps; ++i) {
        a += 1.0f;
        b += 1.0f;
        c += 1.0f;
        d += 1.0f;
        asm volatile("" : "+x"(a), "+x"(b), "+x"(c), "+x"(d));
    }
    kept_sum = a + b + c + d;
}

double timed_round(thread_team *team, long steps)
{
    const double start = wall_clock_ms();
    run_team(team, [steps](int) { add_up(steps); });
    return wall_clock_ms() - start;
}

// The loop's speed on one thread: the best of a few short runs.
double measure_steps_per_ms()
{
    constexpr long steps = 100000;
    double best_ms = 0.0;
    for (int run = 0; run < 5; ++run) {
        const double start = wall_clock_ms();
        add_up(steps);
        const double ms = wall_clock_ms() - start;
        if (run == 0 || ms < best_ms)
            best_ms = ms;
    }
    return double(steps) / std::max(best_ms, 1e-3);
}

}  // namespace

plain_loop *start_plain_loop(int threads)
{
    return new plain_loop{threads, start_team(1), start_team(threads), measure_steps_per_ms()};
}

void plain_loop_round(plain_loop *loop, double ms)
{
    const long steps = std::max(1000L, long(ms * loop->steps_per_ms));
    loop->one_ms.push_back(timed_round(loop->one, steps));
    // The other team's threads first wake, untimed, so that the yardstick
    // is the rate of every processor at work, not of their waking.
    timed_round(loop->all, steps / 8);
    loop->all_ms.push_back(timed_round(loop->all, steps) / double(loop->threads));
}

double plain_loop_gain(const plain_loop *loop)
{
    return loop->one_ms.empty() ? 1.0 : median_of(per_round_ratios(loop->one_ms, loop->all_ms));
}

void stop_plain_loop(plain_loop *loop)
{
    stop_team(loop->one);
    stop_team(loop->all);
    delete loop;
}
