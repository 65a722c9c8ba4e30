// plain_loop.cpp - a loop of independent additions on one thread and on N,
// in turns, by the steady clock.
#include "tools/shared/plain_loop.h"

#include <vector>

#include "tools/shared/rounds.h"
#include "tools/shared/threads.h"

namespace {

constexpr int rounds = 15;
constexpr long additions = 400000;   // a round: about a millisecond a thread

// Four chains of additions, so that the loop is bound by the adder's
// throughput rather than one chain's latency; the sums are kept so that the
// loop is not taken away.
volatile float kept_sum;

void add_up()
{
    float a = 0.0f, b = 1.0f, c = 2.0f, d = 3.0f;
    for (long i = 0; i < additions; ++i) {
        a += 1.0f;
        b += 1.0f;
        c += 1.0f;
        d += 1.0f;
        asm volatile("" : "+x"(a), "+x"(b), "+x"(c), "+x"(d));
    }
    kept_sum = a + b + c + d;
}

double timed_round(thread_team *team)
{
    const double start = wall_clock_ms();
    run_team(team, [](int) { add_up(); });
    return wall_clock_ms() - start;
}

}  // namespace

double plain_loop_gain(int threads)
{
    thread_team *one = start_team(1), *all = start_team(threads);
    timed_round(one);
    timed_round(all);
    std::vector<double> one_ms, all_ms;
    for (int r = 0; r < rounds; ++r) {
        one_ms.push_back(timed_round(one));
        all_ms.push_back(timed_round(all) / double(threads));
    }
    stop_team(one);
    stop_team(all);
    return median_of(per_round_ratios(one_ms, all_ms));
}
