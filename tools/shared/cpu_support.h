// cpu_support.h - which wider instruction sets this processor and its
// operating system run, for the tools' wider paths (fir-bench's kernels,
// voxel-render's renderers). Compiled for baseline x86-64: asking never
// executes a wider instruction.
//
//   unsigned needs = cpu_avx2;
//   if (cpu_supports(needs))
//       ... call the AVX2 path ...
//   else
//       printf("avx2: not supported here (%s)\n", cpu_missing(needs).c_str());
//
// A set counts only when the processor has it (cpuid) and the system saves
// the registers it uses (xgetbv: YMM for AVX and AVX2; opmask and ZMM as
// well for AVX-512).
#pragma once
#include <string>

// Instruction-set extensions, as bits.
enum : unsigned {
    cpu_avx = 1u,
    cpu_avx2 = 2u,
    cpu_fma = 4u,          // FMA3
    cpu_avx512f = 8u,
    cpu_avx512bw = 16u,
};

// The cpu_* bits that run here, found once.
unsigned cpu_available();

bool cpu_supports(unsigned needs);

// Why `needs` cannot run here, e.g. "this processor has no AVX-512BW" or
// "the operating system does not save the AVX-512 registers"; empty when it
// can.
std::string cpu_missing(unsigned needs);
