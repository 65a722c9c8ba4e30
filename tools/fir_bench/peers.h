// peers.h - other libraries' FIR filters, timed by fir-bench on
// the same block and taps as the demo's kernels: liquid-dsp's block filter
// and VOLK's dot product. Neither is needed to build or to run fir-bench:
// each is loaded when it is timed, by its shared library's name, where the
// system has it installed. Each filters the whole block, with the samples
// before x[0] taken as zero, at every run.
#pragma once

struct fir_peer {
    const char *name;      // the key of its fir-bench line: "liquid", "volk"
    const char *library;   // the shared library loaded for it
    // Finds the library and the functions it calls; false when the system
    // lacks either (nothing else may then be called).
    bool (*load)();
    // Sets the peer up for this block and these 16 taps.
    void (*prepare)(const float *input, const float *taps);
    // Filters the block once; the outputs stay readable through output().
    void (*run)();
    const float *(*output)();
    void (*release)();
};

// The peers fir-bench knows on this system, in the order their lines are
// printed (none in a Windows build).
int fir_bench_peers(const fir_peer **peers);
