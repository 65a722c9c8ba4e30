// all_cores.h - one FIR kernel on several threads at once: each repeat's
// calls shared out among the threads, every thread filtering the same
// block into an output block of its own.
//
//   spread_kernel k = spread("avx512", fir_avx512, input, coef, 2);
//   spread_calls(k, 4096);                   // 4096 calls among the threads
//   if (spread_differs(k, one_thread_output, &thread) >= 0) ... not the same bytes ...
//   end_spread(k);                           // the threads end
#pragma once
#include <string>
#include <vector>

#include "fir/bench/fir_kernels.h"
#include "tools/shared/threads.h"

using fir_kernel = void (*)(const float *padded_input, int n, const float *coef_block, float *output);

struct thread_block {
    alignas(64) float output[fir::sample_count];
};

struct spread_kernel {
    std::string name;
    fir_kernel run;
    const float *input, *coef;          // the kernel's padded input and coefficient block
    int threads;
    thread_team *team;
    std::vector<thread_block> outputs;  // one a thread
    std::vector<long> calls_made;       // by each thread, over all repeats
};

spread_kernel spread(const std::string &name, fir_kernel run, const float *input, const float *coef, int threads);

// `calls` calls in all, taken by the threads a few at a time; returns when
// every thread is done.
void spread_calls(spread_kernel &k, long calls);

void end_spread(spread_kernel &k);

// The first output at which a thread that ran the kernel wrote other bits
// than `expected` (that thread in *thread), or -1 when every one wrote the
// same.
int spread_differs(const spread_kernel &k, const float *expected, int *thread);
