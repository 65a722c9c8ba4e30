// all_cores.cpp - a kernel's calls shared out among threads.
#include "tools/fir_bench/all_cores.h"

#include <atomic>
#include <cstring>

spread_kernel spread(const std::string &name, fir_kernel run, const float *input, const float *coef, int threads)
{
    return {name, run, input, coef, threads, start_team(threads), std::vector<thread_block>(size_t(threads)),
            std::vector<long>(size_t(threads), 0)};
}

void end_spread(spread_kernel &k)
{
    stop_team(k.team);
    k.team = nullptr;
}

// Threads take the calls a share at a time as they come, each take half of
// what is left divided among the threads (at least 8 calls, about 2 us of
// the 16-lane kernel): a thread the system wakes late (tens of microseconds
// after the run began, on the processors measured) then takes fewer calls
// instead of holding up the run, and the shared counter moves between the
// cores a few dozen times a run rather than once every few calls.
void spread_calls(spread_kernel &k, long calls)
{
    constexpr long least_take = 8;
    const long threads = k.threads;
    std::atomic<long> next{0};
    run_team(k.team, [&k, &next, calls, threads](int t) {
        float *output = k.outputs[size_t(t)].output;
        long made = 0;
        for (long first = next.load();;) {
            long take;
            do {
                take = (calls - first) / (2 * threads);
                take = take < least_take ? least_take : take;
            } while (first < calls && !next.compare_exchange_weak(first, first + take));
            if (first >= calls)
                break;
            const long last = first + take < calls ? first + take : calls;
            for (long i = first; i < last; i++)
                k.run(k.input, fir::sample_count, k.coef, output);
            made += last - first;
            first = next.load();
        }
        k.calls_made[size_t(t)] += made;
    });
}

int spread_differs(const spread_kernel &k, const float *expected, int *thread)
{
    for (int t = 0; t < k.threads; t++) {
        if (k.calls_made[size_t(t)] == 0)
            continue;
        for (int i = 0; i < fir::sample_count; i++)
            if (std::memcmp(&k.outputs[size_t(t)].output[i], &expected[i], sizeof(float)) != 0) {
                *thread = t;
                return i;
            }
    }
    return -1;
}
