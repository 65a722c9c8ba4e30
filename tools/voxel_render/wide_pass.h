// wide_pass.h - the wide renderers' loop, written once over the register
// operations of the including file (wide_avx2.h or wide_avx512.h, both
// internal to that file). Every function here carries WIDE_TARGET, the
// target attribute the including file defines, so that only these functions
// are built for the wider instruction set.
//
// A pass traces ops::groups groups of four adjacent columns and draws
// exactly what the four-lane renderer (voxel/render/render_vector.cpp)
// draws for each of them. The groups' map positions share the wide
// registers, one group in each 128-bit part, summed as the four-lane
// renderer sums them. Each group keeps its own ray height Z, slope D, lane-0
// height reads, span decisions and row count, one group a lane of the
// 128-bit group registers; a finished group's lane is masked off.
//
// How the maps are read (a load an element, or gathers) is the `reads`
// parameter (wide_reads.h); both read the same bytes.
//
// The groups step together. One branch a step asks whether any group's
// sample rises above its ray; if so, the spans that start there are drawn
// row by row, a mask saying which groups still draw, until every one has
// ended. So the branches the four-lane renderer takes per group (a span
// starts, a span goes on) are taken once for all the groups of a pass.
// (Stepping each group on its own, one row or one step per group and pass
// of a loop, with masks alone and no branch, was measured at half this
// speed: every pass of that loop does every group's step work.)
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tools/voxel_render/wide_reads.h"
#include "voxel/render/terrain.h"
#include "voxel/render/vector_rays.h"

namespace {

// What every pass of one call shares.
struct wide_setup {
    float start_x, start_y;    // the camera, as the rays start from it
    float height;              // Z at step 0
    float slope;               // D at step 0
    unsigned row_limit;        // rows a group may draw
    std::ptrdiff_t row_bytes;
    int columns;               // B
    int heading;
    uint8_t *bottom_row;       // the frame's last row
    const uint8_t *heights, *colours;   // the maps
    const float *rise;         // S at each step
};

// S at each step: the slope step added step by step. It depends on nothing
// but the step, so it is summed once, at the first call.
struct rise_table {
    float at[vector_rays::steps];
};

inline rise_table sum_rises()
{
    rise_table r;
    float s = 0.0f;
    for (int t = 0; t < vector_rays::steps; ++t) {
        r.at[t] = s;
        s += slope_step;
    }
    return r;
}

// The group registers: one group a 32-bit lane.
struct ray_groups {
    __m128 z, d;            // ray height Z, slope D
    __m128i rows_left;      // rows each group may still draw
    __m128i active;         // all ones while a group is traced
};

// Per group: where its next row goes, and how many of its lanes lie inside
// the frame (4 but in the frame's last group).
template <int groups>
struct group_targets {
    uint8_t *next_row[groups];
    int lanes_inside[groups];
};

// One group's row: its 4 * bpp bytes at p.
template <int bpp>
WIDE_TARGET inline void store_row(uint8_t *p, __m128i row)
{
    if constexpr (bpp == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), row);
    } else if constexpr (bpp == 1) {
        const int32_t bytes = _mm_cvtsi128_si32(row);
        std::memcpy(p, &bytes, 4);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(p), row);
        if constexpr (bpp == 3) {
            const int32_t last = _mm_extract_epi32(row, 2);
            std::memcpy(p + 8, &last, 4);
        }
    }
}

// Writes the rows of the groups in `drawing` (bit g: group g) and moves them
// up a row. In a pass of whole groups every group stores, a group that does
// not draw into a scratch row, the address chosen by a mask so that no store
// waits on a branch; in the frame's last pass only the drawing groups store,
// and only their lanes inside the frame.
template <int groups, int bpp, bool whole_groups>
WIDE_TARGET inline void write_rows(group_targets<groups> &to, const __m128i *rows, int drawing,
                                   std::ptrdiff_t row_bytes)
{
    alignas(16) uint8_t scratch[16];
#pragma GCC unroll 4
    for (int g = 0; g < groups; ++g) {
        const uintptr_t draws = uintptr_t(0) - uintptr_t((drawing >> g) & 1);   // all ones when drawing
        if constexpr (whole_groups) {
            const uintptr_t target = (reinterpret_cast<uintptr_t>(to.next_row[g]) & draws) |
                                     (reinterpret_cast<uintptr_t>(scratch) & ~draws);
            store_row<bpp>(reinterpret_cast<uint8_t *>(target), rows[g]);
        } else if (draws) {
            alignas(16) uint8_t bytes[16];
            _mm_store_si128(reinterpret_cast<__m128i *>(bytes), rows[g]);
            std::memcpy(to.next_row[g], bytes, std::size_t(to.lanes_inside[g]) * bpp);
        }
        to.next_row[g] -= row_bytes & std::ptrdiff_t(draws);
    }
}

// The rows of the spans that start at this step, in the groups of `span`,
// each group's as the four-lane renderer draws them: row by row, D and Z
// moved on, until Z > H or the group has drawn its last row. Every lane of
// z moves on by S a row whether its group still draws or not, and the
// group's own Z takes it while it does: so a row waits for nothing but one
// addition and the mask of the row before.
template <int groups, int bpp, bool whole_groups>
WIDE_TARGET inline void draw_spans(group_targets<groups> &to, const __m128i *rows, __m128i span, ray_groups &g,
                                   __m128 s, __m128 h, std::ptrdiff_t row_bytes)
{
    __m128 z = g.z;
    do {
        write_rows<groups, bpp, whole_groups>(to, rows, _mm_movemask_ps(_mm_castsi128_ps(span)), row_bytes);
        z = _mm_add_ps(z, s);
        g.z = _mm_blendv_ps(g.z, z, _mm_castsi128_ps(span));
        g.d = _mm_blendv_ps(g.d, _mm_add_ps(g.d, _mm_set1_ps(slope_step)), _mm_castsi128_ps(span));
        g.rows_left = _mm_add_epi32(g.rows_left, span);   // span lanes are -1
        const __m128i rows_remain = _mm_cmpgt_epi32(g.rows_left, _mm_setzero_si128());
        span = _mm_and_si128(_mm_and_si128(span, rows_remain), _mm_castps_si128(_mm_cmple_ps(z, h)));
    } while (_mm_movemask_ps(_mm_castsi128_ps(span)));
    g.active = _mm_andnot_si128(_mm_cmpeq_epi32(g.rows_left, _mm_setzero_si128()), g.active);
}

// Each group's step along its four rays' angles, and where its rows go;
// groups starting at or beyond `end` (or the frame's last column) are not
// traced. Gives the mask of the traced groups.
template <class ops, int bpp>
WIDE_TARGET inline __m128i aim_groups(const wide_setup &w, int c, int end, float *step01, float *step23,
                                      group_targets<ops::groups> &to)
{
    alignas(16) int32_t traced[4] = {0, 0, 0, 0};
    const int last = end < w.columns - 1 ? end : w.columns - 1;
    for (int g = 0; g < ops::groups; ++g) {
        const int first = c + 4 * g;
        for (int k = 0; k < 4; ++k) {
            // [X0 Y0 X1 Y1] and [X2 Y2 X3 Y3] in the group's part
            const long long a = vector_rays::column_angle(w.heading, first + k);
            float *lane = (k < 2 ? step01 : step23) + 4 * g + 2 * (k & 1);
            lane[0] = vector_rays::step_x(a);
            lane[1] = vector_rays::step_y(a);
        }
        traced[g] = first < last ? -1 : 0;
        to.next_row[g] = w.bottom_row + std::ptrdiff_t(first) * bpp;
        to.lanes_inside[g] = w.columns - first < 4 ? w.columns - first : 4;
    }
    return _mm_load_si128(reinterpret_cast<const __m128i *>(traced));
}

// Lane 0 of each group: the heights of the samples under the positions
// [X0 Y0 X1 Y1] of each part, as 8 x sample in the group lanes.
template <class ops, class reads>
WIDE_TARGET inline __m128 lane0_heights(typename ops::vec xy01, const uint8_t *heights)
{
    return reads::template heights<ops>(ops::indices(ops::cells(xy01), ops::cells(xy01)), heights);
}

// The pass whose first group starts at column c; `reads` reads the maps
// (wide_reads.h).
template <class ops, class reads, int bpp, bool whole_groups>
WIDE_TARGET void trace_pass(const wide_setup &w, int c, int end)
{
    constexpr int groups = ops::groups;
    using vec = typename ops::vec;

    alignas(64) float step01[4 * groups], step23[4 * groups];
    group_targets<groups> to;
    ray_groups g;
    g.active = aim_groups<ops, bpp>(w, c, end, step01, step23, to);
    g.z = _mm_set1_ps(w.height);
    g.d = _mm_set1_ps(w.slope);
    g.rows_left = _mm_set1_epi32(int(w.row_limit));
    const vec d01 = ops::load(step01), d23 = ops::load(step23);
    const vec start = ops::start_positions(w.start_x, w.start_y);
    vec xy01 = start, xy23 = start;

    // lane 0's heights now and one and two steps ahead, so that a step never
    // waits for its sample's index and load; the position two steps ahead
    vec xy01_2 = ops::add(ops::add(xy01, d01), d01);
    __m128 h = lane0_heights<ops, reads>(xy01, w.heights);
    __m128 h1 = lane0_heights<ops, reads>(ops::add(xy01, d01), w.heights);
    __m128 h2 = lane0_heights<ops, reads>(xy01_2, w.heights);
    __m128i rows[groups] = {};

    for (int t = 0; t < vector_rays::steps; ++t) {
        xy01_2 = ops::add(xy01_2, d01);
        const __m128 h3 = lane0_heights<ops, reads>(xy01_2, w.heights);

        // the spans that start here: each group's lanes take their colours
        // from their own samples
        const __m128i span = _mm_and_si128(g.active, _mm_castps_si128(_mm_cmplt_ps(g.z, h)));
        if (_mm_movemask_ps(_mm_castsi128_ps(span))) {
            alignas(64) uint32_t index[4 * groups];
            ops::store_indices(index, ops::indices(ops::cells(xy01), ops::cells(xy23)));
#pragma GCC unroll 4
            for (int k = 0; k < groups; ++k)
                rows[k] = _mm_blendv_epi8(rows[k], reads::template row<bpp>(index + 4 * k, w.colours),
                                          _mm_shuffle_epi32(span, k * 0x55));
            draw_spans<groups, bpp, whole_groups>(to, rows, span, g, _mm_set1_ps(w.rise[t]), h, w.row_bytes);
            if (_mm_movemask_ps(_mm_castsi128_ps(g.active)) == 0)
                return;
        }

        // one step further along the rays
        xy01 = ops::add(xy01, d01);
        xy23 = ops::add(xy23, d23);
        g.z = _mm_add_ps(g.z, g.d);
        h = h1;
        h1 = h2;
        h2 = h3;
    }
}

// Draws the groups whose first column lies in [first, end) (first a
// multiple of 4) in passes of ops::groups groups.
template <class ops, class reads, int bpp>
WIDE_TARGET void trace_columns(const camera_state &cam, uint8_t *frame, int first, int end)
{
    const int columns = frame_width, rows = frame_height;
    if (columns <= 0 || rows <= 0)
        return;
    wide_setup w;
    w.start_x = float(vector_rays::camera_coordinate(cam.x));
    w.start_y = float(vector_rays::camera_coordinate(cam.y));
    w.height = float(cam.height);
    w.slope = vector_rays::start_slope(cam.horizon, rows);
    w.row_limit = vector_rays::row_limit(columns, rows);
    w.row_bytes = std::ptrdiff_t(columns) * bpp;
    w.columns = columns;
    w.heading = cam.heading;
    w.bottom_row = frame + std::ptrdiff_t(rows - 1) * w.row_bytes;
    w.heights = height_map;
    w.colours = colour_map;
    static const rise_table rises = sum_rises();
    w.rise = rises.at;

    constexpr int pass_columns = 4 * ops::groups;
    const int last = end < columns - 1 ? end : columns - 1;
    for (int c = first; c < last; c += pass_columns) {
        if (c + pass_columns <= columns)
            trace_pass<ops, reads, bpp, true>(w, c, end);
        else
            trace_pass<ops, reads, bpp, false>(w, c, end);
    }
}

template <class ops, class reads>
WIDE_TARGET void trace_columns(int depth, const camera_state &cam, uint8_t *frame, int first, int end)
{
    switch (depth) {
    case 0: trace_columns<ops, reads, 1>(cam, frame, first, end); break;
    case 1: trace_columns<ops, reads, 2>(cam, frame, first, end); break;
    case 2: trace_columns<ops, reads, 3>(cam, frame, first, end); break;
    default: trace_columns<ops, reads, 4>(cam, frame, first, end); break;
    }
}

}  // namespace
