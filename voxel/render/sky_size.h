// sky_size.h - how many bytes of the cloud image begin_frame copies over the
// top of the frame: the whole frame at 8 bits, the top half at 16 and 32
// bits, the top two thirds at 24 bits. init_terrain refuses a cloud image
// that holds fewer bytes.
#pragma once
#include <cstddef>

constexpr size_t sky_bytes(int depth, int width, int height)
{
    const size_t pixels = size_t(width) * size_t(height);
    return depth <= 1 ? pixels : 2 * pixels;
}
