// cpu_support.cpp - cpuid for what the processor has, xgetbv for the
// register state the operating system saves.
#include "tools/shared/cpu_support.h"

#include <cpuid.h>

namespace {

// XCR0, the register state the operating system saves and restores: bit 1
// SSE, bit 2 the upper halves of the YMM registers, bits 5..7 the AVX-512
// opmask registers, the upper halves of ZMM0..15 and ZMM16..31.
constexpr unsigned long long ymm_state = 0x6;
constexpr unsigned long long zmm_state = 0xe6;

struct cpu_facts {
    unsigned processor = 0;         // cpu_* bits the processor has
    bool saves_ymm = false, saves_zmm = false;
};

unsigned long long saved_state()
{
    unsigned low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

cpu_facts find_facts()
{
    cpu_facts facts;
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return facts;
    if (c & bit_AVX)
        facts.processor |= cpu_avx;
    if (c & bit_FMA)
        facts.processor |= cpu_fma;
    // Without OSXSAVE the system keeps no extended state, and xgetbv faults.
    if (c & bit_OSXSAVE) {
        const unsigned long long state = saved_state();
        facts.saves_ymm = (state & ymm_state) == ymm_state;
        facts.saves_zmm = (state & zmm_state) == zmm_state;
    }
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) {
        if (b & bit_AVX2)
            facts.processor |= cpu_avx2;
        if (b & bit_AVX512F)
            facts.processor |= cpu_avx512f;
        if (b & bit_AVX512BW)
            facts.processor |= cpu_avx512bw;
    }
    return facts;
}

const cpu_facts &facts()
{
    static const cpu_facts found = find_facts();
    return found;
}

constexpr unsigned avx512_sets = cpu_avx512f | cpu_avx512bw;

// The sets among `bits`, named as the processors' manuals name them.
std::string set_names(unsigned bits)
{
    const struct {
        unsigned bit;
        const char *name;
    } names[] = {{cpu_avx, "AVX"}, {cpu_avx2, "AVX2"}, {cpu_fma, "FMA"},
                 {cpu_avx512f, "AVX-512F"}, {cpu_avx512bw, "AVX-512BW"}};
    std::string list;
    for (const auto &set : names)
        if (bits & set.bit)
            list += (list.empty() ? "" : " or ") + std::string(set.name);
    return list;
}

}  // namespace

unsigned cpu_available()
{
    const cpu_facts &f = facts();
    unsigned usable = f.saves_ymm ? f.processor : 0u;
    if (!f.saves_zmm)
        usable &= ~avx512_sets;
    return usable;
}

bool cpu_supports(unsigned needs)
{
    return (cpu_available() & needs) == needs;
}

std::string cpu_missing(unsigned needs)
{
    const cpu_facts &f = facts();
    const unsigned lacking = needs & ~f.processor;
    if (lacking)
        return "this processor has no " + set_names(lacking);
    if (!f.saves_ymm)
        return "the operating system does not save the YMM registers";
    if ((needs & avx512_sets) && !f.saves_zmm)
        return "the operating system does not save the AVX-512 registers";
    return "";
}
