// render_standard.cpp - the scalar column ray caster, one template over the
// pixel width, instantiated once per frame depth.
//
// Each frame column casts one ray from the camera across the wrapping height
// map, 280 steps of 2 map units, in double precision. Terrain that rises
// above the ray of the lowest undrawn row is drawn from the bottom of the
// column upward; nothing is ever overdrawn, and sky pixels are left alone.
#include <array>
#include <cstddef>
#include <cstring>

#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

namespace {

constexpr int ray_steps = 280;
constexpr int half_view = 160;   // column 0 looks 30 degrees off the heading

// Angle index reduced fully into the table, so that frames wider than the
// table's single wrap allows still read inside it; the same as wrap_angle
// wherever that one applies.
int table_angle(int a)
{
    const int r = a % angle_steps;
    return r < 0 ? r + angle_steps : r;
}

template <int bpp>
void render_column(int x, int y, int height, int horizon, int heading, uint8_t *frame, int c)
{
    const ptrdiff_t width = frame_width;
    const ptrdiff_t row_bytes = width * bpp;
    const double slope = slope_step;

    // aim the ray: 2 map units per step along the column's angle
    const int a = heading + half_view - c;
    const double dx = 2.0f * sine_table[table_angle(a + angle_steps / 4)];
    const double dy = 2.0f * sine_table[table_angle(a)];

    double px = x, py = y, z = height;
    double row_slope = slope * (horizon - frame_height);
    double row_rise = 0.0;
    ptrdiff_t row = frame_height - 1;
    uint8_t *p = frame + (row * width + c) * bpp;
    ptrdiff_t drawn = 0;

    for (int step = 0; step < ray_steps; step++) {
        const unsigned k = map_index(static_cast<int>(px), static_cast<int>(py));
        const int h = 8 * height_map[k];
        if (h > z) {
            // the sample rises into view: fill rows upward while it covers them
            std::array<uint8_t, bpp> colour;
            std::memcpy(colour.data(), colour_map + size_t(k) * bpp, bpp);
            do {
                std::memcpy(p, colour.data(), bpp);
                drawn++;
                row_slope += slope;
                z += row_rise;
                if (drawn >= width || row == 0)
                    return;
                row--;
                p -= row_bytes;
            } while (z <= h);
        }
        // one step further out
        row_rise += slope;
        px += dx;
        py += dy;
        z += row_slope;
    }
}

// The columns in [first, end); the frame's last column is never cast.
template <int bpp>
void render_standard(int x, int y, int height, int horizon, int heading, uint8_t *frame, int first, int end)
{
    const int last = end < frame_width - 1 ? end : frame_width - 1;
    for (int c = first; c < last; c++)
        render_column<bpp>(x, y, height, horizon, heading, frame, c);
}

template <int bpp>
void render_standard(int x, int y, int height, int horizon, int heading, uint8_t *frame)
{
    render_standard<bpp>(x, y, height, horizon, heading, frame, 0, frame_width);
}

} // namespace

void render_standard_8(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_standard<1>(x, y, height, horizon, heading, frame);
}

void render_standard_16(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_standard<2>(x, y, height, horizon, heading, frame);
}

void render_standard_24(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_standard<3>(x, y, height, horizon, heading, frame);
}

void render_standard_32(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_standard<4>(x, y, height, horizon, heading, frame);
}

void render_standard_part(int depth, const camera_state &c, uint8_t *frame, int first, int end)
{
    switch (depth) {
    case 0: render_standard<1>(c.x, c.y, c.height, c.horizon, c.heading, frame, first, end); break;
    case 1: render_standard<2>(c.x, c.y, c.height, c.horizon, c.heading, frame, first, end); break;
    case 2: render_standard<3>(c.x, c.y, c.height, c.horizon, c.heading, frame, first, end); break;
    default: render_standard<4>(c.x, c.y, c.height, c.horizon, c.heading, frame, first, end); break;
    }
}
