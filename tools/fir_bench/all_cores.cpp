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

// Threads take the calls a few at a time as they come: a thread the system
// wakes late (tens of microseconds after the run began, on the processors
// measured) then takes fewer calls instead of holding up the run. A take is
// 32 calls (about 6 us of the 16-lane kernel), so that the shared counter
// moves between the cores 128 times a run of 4096 calls, not once a call.
void spread_calls(spread_kernel &k, long calls)
{
    constexpr long calls_a_take = 32;
    std::atomic<long> next{0};
    run_team(k.team, [&k, &next, calls](int t) {
        float *output = k.outputs[size_t(t)].output;
        long made = 0;
        for (long first = next.fetch_add(calls_a_take); first < calls; first = next.fetch_add(calls_a_take)) {
            const long last = first + calls_a_take < calls ? first + calls_a_take : calls;
            for (long i = first; i < last; i++)
                k.run(k.input, fir::sample_count, k.coef, output);
            made += last - first;
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
