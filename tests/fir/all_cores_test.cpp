// A run's calls shared out among threads in takes: every call made exactly
// once, whatever the number of threads and of calls (none, fewer than a
// take, a take and one, many).
#include <gtest/gtest.h>

#include <atomic>

#include "tools/fir_bench/all_cores.h"

namespace {

std::atomic<long> calls_seen{0};

void count_call(const float *, int, const float *, float *output)
{
    calls_seen.fetch_add(1);
    output[0] = 1.0f;
}

}  // namespace

TEST(all_cores, every_call_is_made_once_whatever_the_threads)
{
    for (int threads : {1, 2, 3, 5}) {
        spread_kernel k = spread("count", count_call, nullptr, nullptr, threads);
        long asked = 0;
        for (long calls : {0L, 1L, 7L, 8L, 9L, 100L, 4096L, 4097L}) {
            calls_seen = 0;
            spread_calls(k, calls);
            EXPECT_EQ(calls_seen.load(), calls) << threads << " threads, " << calls << " calls";
            asked += calls;
        }
        long made = 0;
        for (long m : k.calls_made)
            made += m;
        EXPECT_EQ(made, asked) << threads << " threads";
        end_spread(k);
    }
}
