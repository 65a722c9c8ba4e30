// render_vector.cpp - the four-lane column renderer at 8, 16, 24 and 32 bits
// per pixel: four adjacent columns per pass, one per SSE lane.
//
// A group of four columns has one ray height Z, one slope D and one row step
// S (they start equal in all lanes and always get the same increments, so one
// lane carries them) and four map positions, kept as two vectors
// [X0 Y0 X1 Y1] and [X2 Y2 X3 Y3]. Only the group's first column reads the
// height map and decides where spans start and end; each column takes its
// colour from its own sample at the step where the span starts. Positions are
// accumulated in single precision and rounded to the nearest map cell (ties
// to even) by adding 1.5 * 2^23 and keeping the low 9 bits of the sum's bit
// pattern, with no conversion instruction and no change of rounding mode.
#include <xmmintrin.h>
#include <emmintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"
#include "voxel/render/vector_rays.h"

namespace {

using vector_rays::angle_index;
constexpr int steps_per_ray = vector_rays::steps;
constexpr int lanes = 4;
constexpr float rounding_bias = vector_rays::rounding_bias;

using vector_rays::colour_element;
using vector_rays::sample_height;

// What every group of one call shares.
struct group_setup {
    __m128 start_xy;        // x, y, x, y
    float height;           // Z at step 0
    float slope;            // D at step 0: (horizon - A) * 0.2
    float step;             // slope_step
    unsigned row_limit;     // rows a group may draw: B, and no more than A
    std::ptrdiff_t row_bytes;
    // S at each step: 0.2 added step by step. It depends on nothing but the
    // step, so it is summed once per call and looked up when a span starts.
    float rise[steps_per_ray];
};

// Map indices from biased positions: the sums' low 9 bits are the cells
// (ix, iy); packed to 16-bit words, one multiply-add forms ix + 512 * iy.
inline __m128i cells_of(__m128 xy, __m128 bias, __m128i low9)
{
    return _mm_and_si128(_mm_castps_si128(_mm_add_ps(xy, bias)), low9);
}

inline __m128i indices_of(__m128i cells_a, __m128i cells_b)
{
    const __m128i weights = _mm_set1_epi32((512 << 16) | 1);
    return _mm_madd_epi16(_mm_packs_epi32(cells_a, cells_b), weights);
}

// Map index of lane 0 from [X0 Y0 X1 Y1].
inline unsigned lane0_index(__m128 xy01, __m128 bias, __m128i low9)
{
    __m128i cells = cells_of(xy01, bias, low9);
    return unsigned(_mm_cvtsi128_si32(indices_of(cells, cells)));
}

// One row of a group: the four lanes' colour elements side by side, as
// the low 4 * bpp bytes of a 128-bit value held in two 64-bit halves.
struct group_row {
    uint64_t low, high;
};

// Puts lane k's colour element at bytes k * bpp .. k * bpp + bpp - 1 of a row.
template <int bpp, int k>
inline void place_element(group_row &row, uint64_t e)
{
    constexpr int bit = 8 * bpp * k;
    if constexpr (bit < 64) {
        row.low |= e << bit;
        if constexpr (bit + 8 * bpp > 64)
            row.high |= e >> (64 - bit);
    } else {
        row.high |= e << (bit - 64);
    }
}

// Gathers the span's colours: each lane's own sample at this step.
template <int bpp>
inline group_row gather_row(__m128 xy01, __m128 xy23, __m128 bias, __m128i low9, const uint8_t *colours)
{
    alignas(16) uint32_t index[lanes];
    _mm_store_si128(reinterpret_cast<__m128i *>(index),
                    indices_of(cells_of(xy01, bias, low9), cells_of(xy23, bias, low9)));
    group_row row = {0, 0};
    place_element<bpp, 0>(row, colour_element<bpp>(colours, index[0]));
    place_element<bpp, 1>(row, colour_element<bpp>(colours, index[1]));
    place_element<bpp, 2>(row, colour_element<bpp>(colours, index[2]));
    place_element<bpp, 3>(row, colour_element<bpp>(colours, index[3]));
    return row;
}

// Writes one row of a group: all four lanes, or in the frame's last group
// only the `active` lanes whose columns lie inside the frame.
template <int bpp, bool all_lanes>
inline void write_row(uint8_t *p, const group_row &row, int active)
{
    constexpr int row_size = lanes * bpp;
    if constexpr (all_lanes) {
        std::memcpy(p, &row.low, row_size < 8 ? row_size : 8);
        if constexpr (row_size > 8)
            std::memcpy(p + 8, &row.high, row_size - 8);
    } else {
        uint8_t bytes[16];
        std::memcpy(bytes, &row.low, 8);
        std::memcpy(bytes + 8, &row.high, 8);
        std::memcpy(p, bytes, std::size_t(active) * bpp);
    }
}

// Draws the group of columns c .. c + 3 whose first column casts its ray
// along angle a; only the first `active` columns are written.
template <int bpp, bool all_lanes>
void draw_group(const group_setup &g, long long a, int active, uint8_t *p)
{
    const __m128 bias = _mm_set1_ps(rounding_bias);
    const __m128i low9 = _mm_set1_epi32(511);
    const uint8_t *heights = height_map;
    const uint8_t *colours = colour_map;
    const float *heights_8 = sample_height.data();

    // advance per step: 2 map units along each lane's angle a - k
    const __m128 two = _mm_set1_ps(2.0f);
    __m128 dxy01 = _mm_mul_ps(_mm_setr_ps(sine_table[angle_index(a + 480)], sine_table[angle_index(a)],
                                          sine_table[angle_index(a - 1 + 480)], sine_table[angle_index(a - 1)]),
                              two);
    __m128 dxy23 = _mm_mul_ps(_mm_setr_ps(sine_table[angle_index(a - 2 + 480)], sine_table[angle_index(a - 2)],
                                          sine_table[angle_index(a - 3 + 480)], sine_table[angle_index(a - 3)]),
                              two);
    __m128 xy01 = g.start_xy;
    __m128 xy23 = g.start_xy;
    float z = g.height;
    float d = g.slope;
    unsigned rows_left = g.row_limit;

    // lane 0 alone reads the height map: its sample for the next step is
    // fetched before this step's decision, so that a mispredicted span
    // start does not also wait for the next sample's index and load
    float h = heights_8[heights[lane0_index(xy01, bias, low9)]];
    for (int t = 0; t < steps_per_ray; ++t) {
        const __m128 xy01_next = _mm_add_ps(xy01, dxy01);
        const float h_next = heights_8[heights[lane0_index(xy01_next, bias, low9)]];
        if (h > z) {
            const group_row row = gather_row<bpp>(xy01, xy23, bias, low9, colours);
            const float s = g.rise[t];
            do {
                write_row<bpp, all_lanes>(p, row, active);
                d += g.step;
                p -= g.row_bytes;
                z += s;
                if (--rows_left == 0)
                    return;
            } while (z <= h);
        }
        // one step further along the rays
        xy01 = xy01_next;
        xy23 = _mm_add_ps(xy23, dxy23);
        z += d;
        h = h_next;
    }
}

// Draws the groups whose first column lies in [first, end), first a
// multiple of four.
template <int bpp>
void render_vector(const camera_state &cam, uint8_t *frame, int first, int end)
{
    const int columns = frame_width;
    const int rows = frame_height;
    if (columns <= 0 || rows <= 0)
        return;

    // per-call set-up: the camera and frame height converted once
    const float x = float(vector_rays::camera_coordinate(cam.x)), y = float(vector_rays::camera_coordinate(cam.y));
    group_setup g;
    g.start_xy = _mm_setr_ps(x, y, x, y);
    g.height = float(cam.height);
    g.step = slope_step;
    g.slope = vector_rays::start_slope(cam.horizon, rows);
    g.row_limit = vector_rays::row_limit(columns, rows);
    g.row_bytes = std::ptrdiff_t(columns) * bpp;
    float s = 0.0f;
    for (int t = 0; t < steps_per_ray; ++t) {
        g.rise[t] = s;
        s += g.step;
    }

    uint8_t *bottom_row = frame + std::ptrdiff_t(rows - 1) * g.row_bytes;
    const int last = end < columns - 1 ? end : columns - 1;
    for (int c = first; c < last; c += lanes) {
        uint8_t *bottom = bottom_row + std::ptrdiff_t(c) * bpp;
        const long long a = vector_rays::column_angle(cam.heading, c);
        if (columns - c >= lanes)
            draw_group<bpp, true>(g, a, lanes, bottom);
        else
            draw_group<bpp, false>(g, a, columns - c, bottom);
    }
}

template <int bpp>
void render_vector(int x, int y, int height, int horizon, int heading, uint8_t *frame)
{
    render_vector<bpp>({x, y, height, horizon, heading, 0}, frame, 0, frame_width);
}

} // namespace

void render_vector_8(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_vector<1>(x, y, height, horizon, heading, frame);
}

void render_vector_16(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_vector<2>(x, y, height, horizon, heading, frame);
}

void render_vector_24(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_vector<3>(x, y, height, horizon, heading, frame);
}

void render_vector_32(int x, int y, int height, int horizon, int heading, int, uint8_t *frame)
{
    render_vector<4>(x, y, height, horizon, heading, frame);
}

void render_vector_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end)
{
    switch (depth) {
    case 0: render_vector<1>(camera, frame, first, end); break;
    case 1: render_vector<2>(camera, frame, first, end); break;
    case 2: render_vector<3>(camera, frame, first, end); break;
    default: render_vector<4>(camera, frame, first, end); break;
    }
}
