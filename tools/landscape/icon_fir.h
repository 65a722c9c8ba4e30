// icon_fir.h - fir's desktop icon: a noisy wave and the same wave through
// the benchmark's own 16-tap filter, over the landscape icon's sky.
#pragma once
#include <cstdint>
#include <vector>

// The picture at `size` x `size` pixels, RGB, rows top first (the outline
// is applied afterwards).
std::vector<uint8_t> draw_fir_icon(int size);
