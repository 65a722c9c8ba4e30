// all_cores.cpp - a kernel's calls shared out among threads.
#include "tools/fir_bench/all_cores.h"

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

void spread_calls(spread_kernel &k, long calls)
{
    run_team(k.team, [&k, calls](int t) {
        const long share = calls / k.threads + (t < calls % k.threads ? 1 : 0);
        float *output = k.outputs[size_t(t)].output;
        for (long i = 0; i < share; i++)
            k.run(k.input, fir::sample_count, k.coef, output);
        k.calls_made[size_t(t)] += share;
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
