// fir_bench_peers.h - other libraries' FIR filters, timed by fir-bench on
// the same block and taps as the demo's kernels. Which peers exist depends on
// what the build found (liquid-dsp, VOLK); each one filters the whole block,
// with the samples before x[0] taken as zero, at every run.
#pragma once

struct fir_peer {
    const char *name;   // the key of its fir-bench line: "liquid", "volk"
    // Sets the peer up for this block and these 16 taps.
    void (*prepare)(const float *input, const float *taps);
    // Filters the block once; the outputs stay readable through output().
    void (*run)();
    const float *(*output)();
    void (*release)();
};

// The peers of this build, in the order their lines are printed.
int fir_bench_peers(const fir_peer **peers);
