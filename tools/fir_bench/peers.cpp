// peers.cpp - liquid-dsp's block FIR filter and VOLK's dot
// product, each behind the same operations, reached through dlopen so that
// fir-bench neither links them nor needs their headers. The few functions
// called are declared here by their C signatures.
#include "tools/fir_bench/peers.h"

#include "fir/bench/fir_kernels.h"

#include <cstddef>
#include <cstring>

#ifndef _WIN32
#include <dlfcn.h>
#endif

// The libraries' run-time names; a test build points them elsewhere to see
// fir-bench without them.
#ifndef FIR_BENCH_LIQUID_LIBRARY
#define FIR_BENCH_LIQUID_LIBRARY "libliquid.so.1"
#endif
#ifndef FIR_BENCH_VOLK_LIBRARY
#define FIR_BENCH_VOLK_LIBRARY "libvolk.so.2.5"
#endif

namespace {

#ifndef _WIN32
float peer_output[fir::sample_count];

// Looks up every name in the library into the pointer beside it; false when
// the library or one of the names is missing.
struct symbol_slot {
    const char *name;
    void **address;
};

template <std::size_t count>
bool load_symbols(const char *library, void **handle, const symbol_slot (&slots)[count])
{
    *handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!*handle)
        return false;
    for (const symbol_slot &slot : slots) {
        *slot.address = dlsym(*handle, slot.name);
        if (!*slot.address) {
            dlclose(*handle);
            *handle = nullptr;
            return false;
        }
    }
    return true;
}

// liquid-dsp: a filter object made from the taps; its window is reset before
// every block so that the block starts from zeros, then the block goes
// through in one execute_block call. The object is opaque.
struct liquid_api {
    void *(*create)(float *h, unsigned int length);
    int (*reset)(void *filter);
    int (*execute_block)(void *filter, float *x, unsigned int count, float *y);
    int (*destroy)(void *filter);
};

struct liquid_state {
    void *handle = nullptr;
    liquid_api api{};
    void *filter = nullptr;
    float input[fir::sample_count];
} liquid;

bool liquid_load()
{
    const symbol_slot slots[] = {
        {"firfilt_rrrf_create", reinterpret_cast<void **>(&liquid.api.create)},
        {"firfilt_rrrf_reset", reinterpret_cast<void **>(&liquid.api.reset)},
        {"firfilt_rrrf_execute_block", reinterpret_cast<void **>(&liquid.api.execute_block)},
        {"firfilt_rrrf_destroy", reinterpret_cast<void **>(&liquid.api.destroy)},
    };
    return load_symbols(FIR_BENCH_LIQUID_LIBRARY, &liquid.handle, slots);
}

void liquid_prepare(const float *input, const float *taps)
{
    float h[fir::tap_count];
    std::memcpy(h, taps, sizeof h);
    std::memcpy(liquid.input, input, sizeof liquid.input);
    liquid.filter = liquid.api.create(h, fir::tap_count);
}

void liquid_run()
{
    liquid.api.reset(liquid.filter);
    liquid.api.execute_block(liquid.filter, liquid.input, fir::sample_count, peer_output);
}

void liquid_release()
{
    liquid.api.destroy(liquid.filter);
    liquid.filter = nullptr;
    dlclose(liquid.handle);
    liquid.handle = nullptr;
}

// VOLK: one dot product of 16 reversed taps with the 16 newest samples per
// output, over an input that carries 15 leading zeros. The library exports
// its kernel as a variable holding the function it picked for this
// processor, so the variable is read at every call.
using volk_dot_product = void (*)(float *result, const float *a, const float *b, unsigned int count);

struct volk_api {
    std::size_t (*get_alignment)();
    void *(*malloc)(std::size_t size, std::size_t alignment);
    void (*free)(void *block);
    volk_dot_product *dot_prod_32f;
};

struct volk_state {
    void *handle = nullptr;
    volk_api api{};
    float *padded = nullptr;     // 15 zeros, then x
    float *reversed = nullptr;   // h[15], ..., h[0]
} volk;

bool volk_load()
{
    const symbol_slot slots[] = {
        {"volk_get_alignment", reinterpret_cast<void **>(&volk.api.get_alignment)},
        {"volk_malloc", reinterpret_cast<void **>(&volk.api.malloc)},
        {"volk_free", reinterpret_cast<void **>(&volk.api.free)},
        {"volk_32f_x2_dot_prod_32f", reinterpret_cast<void **>(&volk.api.dot_prod_32f)},
    };
    return load_symbols(FIR_BENCH_VOLK_LIBRARY, &volk.handle, slots);
}

void volk_prepare(const float *input, const float *taps)
{
    std::size_t alignment = volk.api.get_alignment();
    volk.padded = static_cast<float *>(volk.api.malloc((fir::sample_count + 15) * sizeof(float), alignment));
    volk.reversed = static_cast<float *>(volk.api.malloc(fir::tap_count * sizeof(float), alignment));
    for (int k = 0; k < 15; k++)
        volk.padded[k] = 0.0f;
    std::memcpy(volk.padded + 15, input, fir::sample_count * sizeof(float));
    for (int k = 0; k < fir::tap_count; k++)
        volk.reversed[k] = taps[fir::tap_count - 1 - k];
}

void volk_run()
{
    for (int i = 0; i < fir::sample_count; i++)
        (*volk.api.dot_prod_32f)(&peer_output[i], volk.padded + i, volk.reversed, fir::tap_count);
}

void volk_release()
{
    volk.api.free(volk.padded);
    volk.api.free(volk.reversed);
    volk.padded = volk.reversed = nullptr;
    dlclose(volk.handle);
    volk.handle = nullptr;
}

// Every peer writes into peer_output.
const float *shared_output()
{
    return peer_output;
}
#endif

const fir_peer peer_table[] = {
#ifndef _WIN32
    {"liquid", FIR_BENCH_LIQUID_LIBRARY, liquid_load, liquid_prepare, liquid_run, shared_output, liquid_release},
    {"volk", FIR_BENCH_VOLK_LIBRARY, volk_load, volk_prepare, volk_run, shared_output, volk_release},
#endif
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

int fir_bench_peers(const fir_peer **peers)
{
    *peers = peer_table;
    return static_cast<int>(sizeof peer_table / sizeof peer_table[0]) - 1;
}
