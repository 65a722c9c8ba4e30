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

namespace {

constexpr int steps_per_ray = 280;
constexpr int lanes = 4;
constexpr float rounding_bias = 12582912.0f;   // 1.5 * 2^23: its pattern is a multiple of 512

// The rounding trick holds for |v| < 2^22. A ray reaches 560 map units from
// the camera, so a camera coordinate beyond this bound is first moved by a
// multiple of 512 (the map period) to its cell in 0..511; nearer cameras are
// used exactly as given.
constexpr int far_coordinate = (1 << 22) - 1024;

// 8 x sample value as a float, so the comparison with the ray height needs
// no conversion in the step loop.
constexpr std::array<float, 256> make_sample_heights()
{
    std::array<float, 256> h{};
    for (int v = 0; v < 256; ++v)
        h[v] = float(8 * v);
    return h;
}
constexpr std::array<float, 256> sample_height = make_sample_heights();

// Table index of an angle. For angles within one turn of the table this is
// wrap_angle; any other angle is reduced fully instead of reading outside the
// table (very wide frames reach below -1920).
inline int angle_index(long long a)
{
    long long r = a % angle_steps;
    return int(r < 0 ? r + angle_steps : r);
}

inline int camera_coordinate(int v)
{
    return (v > far_coordinate || v < -far_coordinate) ? (v & 511) : v;
}

// What every group of one call shares.
struct group_setup {
    __m128 start_xy;        // x, y, x, y
    float height;           // Z at step 0
    float slope;            // D at step 0: (horizon - A) * 0.2
    float step;             // slope_step
    unsigned row_limit;     // rows a group may draw: B, and no more than A
    std::ptrdiff_t row_bytes;
};

// Map index of lane 0 from [X0 Y0 X1 Y1]: the biased sums' low 9 bits are
// (ix, iy) in the low 64-bit half; shifting that half right by 23 moves iy
// up to bit 9 of the low word, next to ix.
inline int lane0_index(__m128 xy01, __m128 bias, __m128i low9)
{
    __m128i cell = _mm_and_si128(_mm_castps_si128(_mm_add_ps(xy01, bias)), low9);
    return _mm_cvtsi128_si32(_mm_or_si128(cell, _mm_srli_epi64(cell, 23)));
}

// Map indices of all four lanes, in lane order.
inline __m128i lane_indices(__m128 xy01, __m128 xy23, __m128 bias, __m128i low9)
{
    __m128i cell01 = _mm_and_si128(_mm_castps_si128(_mm_add_ps(xy01, bias)), low9);
    __m128i cell23 = _mm_and_si128(_mm_castps_si128(_mm_add_ps(xy23, bias)), low9);
    __m128i index01 = _mm_or_si128(cell01, _mm_srli_epi64(cell01, 23));
    __m128i index23 = _mm_or_si128(cell23, _mm_srli_epi64(cell23, 23));
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(index01), _mm_castsi128_ps(index23),
                                           _MM_SHUFFLE(2, 0, 2, 0)));
}

// Gathers the four lanes' colour elements side by side, as they go into a row.
template <int bpp>
inline void fetch_colours(__m128i indices, const uint8_t *colours, uint8_t *row)
{
    alignas(16) int32_t index[lanes];
    _mm_store_si128(reinterpret_cast<__m128i *>(index), indices);
    for (int k = 0; k < lanes; ++k)
        std::memcpy(row + k * bpp, colours + std::ptrdiff_t(index[k]) * bpp, bpp);
}

// Draws the group of columns c .. c + 3 whose first column casts its ray
// along angle a; only the first `active` columns are written.
template <int bpp>
void draw_group(const group_setup &g, long long a, int active, uint8_t *p)
{
    const __m128 bias = _mm_set1_ps(rounding_bias);
    const __m128i low9 = _mm_set1_epi32(511);
    const uint8_t *heights = height_map;
    const uint8_t *colours = colour_map;

    // advance per step: 2 map units along each lane's angle a - k
    const __m128 two = _mm_set1_ps(2.0f);
    __m128 dxy01 = _mm_mul_ps(_mm_setr_ps(sine_table[angle_index(a + 480LL)], sine_table[angle_index(a)],
                                          sine_table[angle_index(a - 1 + 480LL)],
                                          sine_table[angle_index(a - 1LL)]),
                              two);
    __m128 dxy23 = _mm_mul_ps(_mm_setr_ps(sine_table[angle_index(a - 2 + 480LL)],
                                          sine_table[angle_index(a - 2LL)],
                                          sine_table[angle_index(a - 3 + 480LL)],
                                          sine_table[angle_index(a - 3LL)]),
                              two);
    __m128 xy01 = g.start_xy;
    __m128 xy23 = g.start_xy;
    float z = g.height;
    float d = g.slope;
    float s = 0.0f;
    unsigned drawn = 0;
    alignas(16) uint8_t row[lanes * 4];

    for (int t = 0; t < steps_per_ray; ++t) {
        // lane 0 alone decides whether a span starts
        float h = sample_height[heights[lane0_index(xy01, bias, low9)]];
        if (h > z) {
            // the span's colours: each lane's own sample at this step
            fetch_colours<bpp>(lane_indices(xy01, xy23, bias, low9), colours, row);
            do {
                if (active == lanes)
                    std::memcpy(p, row, lanes * bpp);
                else
                    std::memcpy(p, row, std::size_t(active) * bpp);
                ++drawn;
                d += g.step;
                p -= g.row_bytes;
                z += s;
                if (drawn >= g.row_limit)
                    return;
            } while (z <= h);
        }
        // one step further along the rays
        s += g.step;
        xy01 = _mm_add_ps(xy01, dxy01);
        xy23 = _mm_add_ps(xy23, dxy23);
        z += d;
    }
}

template <int bpp>
void render_vector(int x, int y, int height, int horizon, int heading, uint8_t *frame)
{
    const int columns = frame_width;
    const int rows = frame_height;
    if (columns <= 0 || rows <= 0)
        return;

    // per-call set-up: the camera and frame height converted once
    group_setup g;
    g.start_xy = _mm_setr_ps(float(camera_coordinate(x)), float(camera_coordinate(y)),
                             float(camera_coordinate(x)), float(camera_coordinate(y)));
    g.height = float(height);
    g.step = slope_step;
    g.slope = (float(horizon) - float(rows)) * g.step;
    g.row_limit = unsigned(rows < columns ? rows : columns);
    g.row_bytes = std::ptrdiff_t(columns) * bpp;

    uint8_t *bottom_row = frame + std::ptrdiff_t(rows - 1) * g.row_bytes;
    for (int c = 0; c < columns - 1; c += lanes) {
        int active = columns - c < lanes ? columns - c : lanes;
        draw_group<bpp>(g, heading + 160LL - c, active, bottom_row + std::ptrdiff_t(c) * bpp);
    }
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
