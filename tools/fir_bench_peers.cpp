// fir_bench_peers.cpp - liquid-dsp's block FIR filter and VOLK's dot
// product, each behind the same four operations.
#include "tools/fir_bench_peers.h"

#include "fir/bench/fir_kernels.h"

#include <cstring>

#ifdef FIR_BENCH_LIQUID
#include <liquid/liquid.h>
#endif
#ifdef FIR_BENCH_VOLK
#include <volk/volk.h>
#endif

namespace {

float peer_output[fir::sample_count];

#ifdef FIR_BENCH_LIQUID
// liquid-dsp: a filter object made from the taps; its window is reset before
// every block so that the block starts from zeros, then the block goes
// through in one execute_block call.
struct liquid_state {
    firfilt_rrrf filter = nullptr;
    float input[fir::sample_count];
} liquid;

void liquid_prepare(const float *input, const float *taps)
{
    float h[fir::tap_count];
    std::memcpy(h, taps, sizeof h);
    std::memcpy(liquid.input, input, sizeof liquid.input);
    liquid.filter = firfilt_rrrf_create(h, fir::tap_count);
}

void liquid_run()
{
    firfilt_rrrf_reset(liquid.filter);
    firfilt_rrrf_execute_block(liquid.filter, liquid.input, fir::sample_count, peer_output);
}

void liquid_release()
{
    firfilt_rrrf_destroy(liquid.filter);
    liquid.filter = nullptr;
}
#endif

#ifdef FIR_BENCH_VOLK
// VOLK: one dot product of 16 reversed taps with the 16 newest samples per
// output, over an input that carries 15 leading zeros.
struct volk_state {
    float *padded = nullptr;     // 15 zeros, then x
    float *reversed = nullptr;   // h[15], ..., h[0]
} volk;

void volk_prepare(const float *input, const float *taps)
{
    std::size_t alignment = volk_get_alignment();
    volk.padded = static_cast<float *>(volk_malloc((fir::sample_count + 15) * sizeof(float), alignment));
    volk.reversed = static_cast<float *>(volk_malloc(fir::tap_count * sizeof(float), alignment));
    for (int k = 0; k < 15; k++)
        volk.padded[k] = 0.0f;
    std::memcpy(volk.padded + 15, input, fir::sample_count * sizeof(float));
    for (int k = 0; k < fir::tap_count; k++)
        volk.reversed[k] = taps[fir::tap_count - 1 - k];
}

void volk_run()
{
    for (int i = 0; i < fir::sample_count; i++)
        volk_32f_x2_dot_prod_32f(&peer_output[i], volk.padded + i, volk.reversed, fir::tap_count);
}

void volk_release()
{
    volk_free(volk.padded);
    volk_free(volk.reversed);
    volk.padded = volk.reversed = nullptr;
}
#endif

// Every peer writes into peer_output (a build without peers has no use for it).
[[maybe_unused]] const float *shared_output()
{
    return peer_output;
}

const fir_peer peer_table[] = {
#ifdef FIR_BENCH_LIQUID
    {"liquid", liquid_prepare, liquid_run, shared_output, liquid_release},
#endif
#ifdef FIR_BENCH_VOLK
    {"volk", volk_prepare, volk_run, shared_output, volk_release},
#endif
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

int fir_bench_peers(const fir_peer **peers)
{
    *peers = peer_table;
    return static_cast<int>(sizeof peer_table / sizeof peer_table[0]) - 1;
}
