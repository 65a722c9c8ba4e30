// vector_rays.h - what every renderer that traces columns in groups of four
// shares with the four-lane one, so that they all aim and round alike:
// the ray length, the camera's position as the rays start from it, the
// angle of a column in the sine table, and the rounding of a position to its
// map cell.
//
// Positions are summed in single precision and rounded to the nearest cell
// (ties to even) by adding rounding_bias: the sum's low 9 bits are then the
// cell, with no conversion instruction and no change of rounding mode.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>

#include "voxel/render/terrain.h"

namespace vector_rays {

constexpr int steps = 280;                         // steps of 2 map units per ray
constexpr float rounding_bias = 12582912.0f;       // 1.5 * 2^23: its pattern is a multiple of 512

// The rounding holds for |v| < 2^22. A ray reaches 560 map units from the
// camera, so a camera coordinate beyond this bound is first moved by a
// multiple of 512 (the map period) to its cell in 0..511; nearer cameras are
// used exactly as given.
constexpr int far_coordinate = (1 << 22) - 1024;

inline int camera_coordinate(int v)
{
    return (v > far_coordinate || v < -far_coordinate) ? (v & 511) : v;
}

// Table index of an angle. For angles within one turn of the table this is
// wrap_angle; any other angle is reduced fully instead of reading outside the
// table (very wide frames reach below -1920).
inline int angle_index(long long a)
{
    const long long r = a % angle_steps;
    return int(r < 0 ? r + angle_steps : r);
}

// A column's ray advances 2 map units a step along angle a.
inline float step_x(long long a) { return sine_table[angle_index(a + angle_steps / 4)] * 2.0f; }
inline float step_y(long long a) { return sine_table[angle_index(a)] * 2.0f; }

// The angle of column c's ray: column 0 looks 160 steps (30 degrees) left
// of the heading.
inline long long column_angle(int heading, int c) { return heading + 160LL - c; }

// The slope D of the ray at step 0: (horizon - A) * 0.2.
inline float start_slope(int horizon, int rows) { return (float(horizon) - float(rows)) * slope_step; }

// 8 x sample value as a float, so that comparing a sample with the ray
// height needs no conversion.
constexpr std::array<float, 256> make_sample_heights()
{
    std::array<float, 256> h{};
    for (int v = 0; v < 256; ++v)
        h[v] = float(8 * v);
    return h;
}
inline constexpr std::array<float, 256> sample_height = make_sample_heights();

// Rows one group may draw: B, and no more than A.
inline unsigned row_limit(int columns, int rows) { return unsigned(rows < columns ? rows : columns); }

// A colour element of the map at `index`, as an integer: at 24 bits one
// load of a whole word, its fourth byte dropped (the colour map carries a
// spare byte after its last sample for this).
template <int bpp>
inline uint64_t colour_element(const uint8_t *colours, uint32_t index)
{
    if constexpr (bpp == 1) {
        return colours[index];
    } else if constexpr (bpp == 2) {
        uint16_t e;
        std::memcpy(&e, colours + std::size_t(index) * 2, 2);
        return e;
    } else {
        uint32_t e;
        std::memcpy(&e, colours + std::size_t(index) * bpp, 4);
        return bpp == 3 ? e & 0xFFFFFFu : e;
    }
}

}  // namespace vector_rays
