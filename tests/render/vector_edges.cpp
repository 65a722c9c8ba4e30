// The four-lane renderer's rows, colours and limits on maps built for one
// effect each: flat land, a camera under the terrain, narrow peaks on one
// column's ray, positions that lie exactly halfway between map cells, and
// frames whose width or height is awkward.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "support/terrain_world.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

namespace {

constexpr uint32_t sky = 0xEEEEEEEE;   // no map index reaches this value

constexpr column_renderer vector_renderers[4] = {render_vector_8, render_vector_16, render_vector_24,
                                                 render_vector_32};

uint32_t sky_at(int bpp) { return bpp == 4 ? sky : sky & ((1u << (8 * bpp)) - 1); }

// The map cell a lane samples at each of the 280 steps: its position summed
// step by step in single precision and rounded to the nearest cell, ties to even.
std::vector<unsigned> lane_cells(int x, int y, int angle)
{
    float px = float(x), py = float(y);
    float dx = sine_table[wrap_angle(angle + 480)] * 2.0f;
    float dy = sine_table[wrap_angle(angle)] * 2.0f;
    std::vector<unsigned> cells;
    for (int t = 0; t < 280; ++t) {
        cells.push_back(map_index(int(std::nearbyint(px)), int(std::nearbyint(py))));
        px += dx;
        py += dy;
    }
    return cells;
}

// Every column in [first, last) has exactly rows [top, A) drawn.
void expect_rows(const terrain_world &w, int first, int last, int top)
{
    for (int c = first; c < last; ++c)
        ASSERT_EQ(w.frame.changed_rows(c, sky_at(w.bpp)), std::make_pair(top, w.frame.height))
            << "column " << c;
}

} // namespace

TEST(vector_flat, flat_map_at_zero_draws_rows_256_to_511_in_every_column)
{
    for (int depth = 0; depth < 4; ++depth) {
        terrain_world w(512, 512, depth);
        w.fill_heights(0);
        w.fill_colours(0x01020304);
        w.frame.fill_sky(sky);
        w.render(vector_renderers[depth], {256, 256, 1500, 230, 480, 8});
        SCOPED_TRACE(depth);
        expect_rows(w, 0, 512, 256);
        EXPECT_TRUE(w.frame.is_solid_run(511, 256, 512, sky_at(w.bpp)));
        EXPECT_TRUE(w.frame.guards_intact());
    }
}

TEST(vector_flat, flat_map_at_100_draws_rows_242_to_511_in_every_column)
{
    for (int depth = 0; depth < 4; ++depth) {
        terrain_world w(512, 512, depth);
        w.fill_heights(100);
        w.fill_colours(0x01020304);
        w.frame.fill_sky(sky);
        w.render(vector_renderers[depth], {256, 264, 1500, 230, 480, 8});
        SCOPED_TRACE(depth);
        expect_rows(w, 0, 512, 242);
        EXPECT_TRUE(w.frame.guards_intact());
    }
}

TEST(vector_flat, terrain_pixels_are_the_colour_elements_unchanged)
{
    // at 24 bits each pixel is three bytes in the colour map's own order
    terrain_world w(16, 16, 2);
    w.fill_heights(255);
    w.fill_colours(0x00C0FFEE);
    w.frame.fill_sky(sky);
    w.render(render_vector_24, {256, 264, 1500, 230, 480, 8});
    for (int c = 0; c < 16; ++c) {
        const uint8_t *p = w.frame.at(15, c);
        EXPECT_EQ(p[0], 0xEE);
        EXPECT_EQ(p[1], 0xFF);
        EXPECT_EQ(p[2], 0xC0);
    }
}

TEST(vector_level, sample_level_with_the_ray_starts_no_span)
{
    // horizon = A keeps the ray level: it never drops below 800
    terrain_world w(64, 64, 3);
    w.fill_heights(100);
    w.fill_colours_indexed();
    w.frame.fill_sky(sky);
    w.render(render_vector_32, {256, 264, 800, 64, 480, 8});
    expect_rows(w, 0, 64, 64);

    w.render(render_vector_32, {256, 264, 799, 64, 480, 8});
    expect_rows(w, 0, 64, 0);
}

TEST(vector_below, camera_below_terrain_fills_every_group_with_its_first_samples)
{
    for (int depth = 0; depth < 4; ++depth) {
        terrain_world w(512, 512, depth);
        w.fill_heights(200);
        w.fill_colours_indexed();
        w.frame.fill_sky(sky);
        w.render(vector_renderers[depth], {256, 264, 1500, 230, 480, 8});
        SCOPED_TRACE(depth);
        // at step 0 every lane samples the camera's own cell
        uint32_t cell = map_index(256, 264) & ((1ull << (8 * w.bpp)) - 1);
        for (int r = 0; r < 512; ++r)
            for (int c = 0; c < 512; ++c)
                ASSERT_EQ(w.frame.pixel(r, c), cell) << r << "," << c;
        EXPECT_TRUE(w.frame.guards_intact());
    }
}

TEST(vector_peaks, peak_on_a_groups_first_column_draws_in_all_four_columns)
{
    terrain_world w(512, 512, 3);
    w.fill_heights(0);
    w.fill_colours_indexed();
    w.frame.fill_sky(sky);
    // group 64 (columns 256..259); at step 200 the four rays are over a unit apart
    const int first = 256, step = 200, angle = 480 + 160 - first;
    std::vector<unsigned> own[4];
    for (int k = 0; k < 4; ++k)
        own[k] = lane_cells(256, 264, angle - k);
    w.heights.data()[own[0][step]] = 255;
    w.render(render_vector_32, {256, 264, 1500, 230, 480, 8});

    auto rows = w.frame.changed_rows(first, sky);
    EXPECT_LT(rows.first, 256);   // taller than the flat land around it
    EXPECT_EQ(rows.second, 512);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(w.frame.changed_rows(first + k, sky), rows) << "lane " << k;
        // the peak's rows: each column coloured from its own sample at that step
        EXPECT_EQ(w.frame.pixel(rows.first, first + k), own[k][step]) << "lane " << k;
    }
    EXPECT_NE(own[0][step], own[1][step]);
}

TEST(vector_peaks, peak_on_a_groups_second_column_adds_no_rows)
{
    terrain_world w(512, 512, 3);
    w.fill_heights(0);
    w.fill_colours_indexed();
    w.frame.fill_sky(sky);
    const int first = 256, angle = 480 + 160 - first;
    std::vector<unsigned> lane0 = lane_cells(256, 264, angle);
    std::vector<unsigned> lane1 = lane_cells(256, 264, angle - 1);
    // a cell on the second column's ray that the first column's ray never crosses
    int step = 200;
    while (std::find(lane0.begin(), lane0.end(), lane1[step]) != lane0.end())
        ++step;
    ASSERT_LT(step, 280);
    w.heights.data()[lane1[step]] = 255;
    w.render(render_vector_32, {256, 264, 1500, 230, 480, 8});
    expect_rows(w, first, first + 4, 256);
}

// A camera at x = 2^21 (a multiple of 512) makes single-precision positions
// multiples of a quarter, so a ray whose x advance is about 0.5 a step passes
// exactly halfway between cells. Land rises in the map rows that the ray
// reaches at step t, so that step's sample fills the whole group.
static uint32_t cell_x_sampled_at(int t, int heading)
{
    const int camera_x = 1 << 21, camera_y = 100;
    const int angle = heading + 160;   // the ray of column 0
    terrain_world w(8, 16, 3);
    w.fill_colours_indexed();
    w.frame.fill_sky(sky);
    std::vector<unsigned> cells = lane_cells(camera_x, camera_y, angle);
    int rising_row = int(cells[t] >> 9);
    for (int iy = 0; iy < 512; ++iy)
        for (int ix = 0; ix < 512; ++ix)
            w.set_height(ix, iy, iy >= rising_row ? 255 : 0);
    // horizon = A: the ray stays at height 1000, above the low land
    w.render(render_vector_32, {camera_x, camera_y, 1000, 16, heading, 8});
    EXPECT_EQ(w.frame.changed_rows(0, sky), std::make_pair(8, 16));
    EXPECT_EQ(w.frame.pixel(15, 0) >> 9, uint32_t(rising_row));
    return w.frame.pixel(15, 0) & 511;
}

TEST(vector_rounding, positions_halfway_between_cells_round_to_the_even_cell)
{
    // column 0 at angle 400: 2 cos = 0.5176, so x advances by exactly 0.5 a step
    EXPECT_EQ(cell_x_sampled_at(1, 240), 0u);     // 0.5
    EXPECT_EQ(cell_x_sampled_at(3, 240), 2u);     // 1.5
    EXPECT_EQ(cell_x_sampled_at(5, 240), 2u);     // 2.5
    // column 0 at angle 560: x falls back by exactly 0.5 a step
    EXPECT_EQ(cell_x_sampled_at(1, 400), 0u);     // -0.5
    EXPECT_EQ(cell_x_sampled_at(3, 400), 510u);   // -1.5
}

TEST(vector_groups, frame_of_512_columns_draws_128_groups_of_four)
{
    terrain_world w(512, 512, 0);
    for (int iy = 0; iy < 512; ++iy)
        for (int ix = 0; ix < 512; ++ix)
            w.set_height(ix, iy, uint8_t((ix * 7919u + iy * 104729u) * 2654435761u >> 24));
    w.fill_colours(1);
    w.frame.fill_sky(0);
    w.render(render_vector_8, {100, 300, 2200, 200, 300, 8});
    int group_edges = 0;
    for (int c = 0; c < 512; c += 4) {
        auto rows = w.frame.changed_rows(c, 0);
        ASSERT_EQ(rows.second, 512) << c;
        for (int k = 1; k < 4; ++k)
            ASSERT_EQ(w.frame.changed_rows(c + k, 0), rows) << c + k;
        if (c > 0 && w.frame.changed_rows(c - 1, 0) != rows)
            ++group_edges;
    }
    // the silhouette steps between groups, never inside one
    EXPECT_GT(group_edges, 32);
}

TEST(vector_limits, lanes_beyond_width_write_nothing)
{
    // B = 5: column 4 is B - 1 and starts no group; B = 6, 7: the last group
    // has two and three columns
    for (int width : {5, 6, 7, 9, 10, 11}) {
        for (int depth = 0; depth < 4; ++depth) {
            terrain_world w(width, 16, depth);
            w.fill_heights(255);
            w.fill_colours(0x01020304);
            w.frame.fill_sky(sky);
            w.render(vector_renderers[depth], {256, 264, 1500, 230, 480, 8});
            SCOPED_TRACE(testing::Message() << "width " << width << " depth " << depth);
            int drawn_columns = width % 4 == 1 ? width - 1 : width;
            // B rows from the bottom: the group stops after B rows
            expect_rows(w, 0, drawn_columns, 16 - width);
            for (int c = drawn_columns; c < width; ++c)
                EXPECT_EQ(w.frame.changed_rows(c, sky_at(w.bpp)), std::make_pair(16, 16));
            EXPECT_TRUE(w.frame.guards_intact());
        }
    }
}

TEST(vector_limits, frame_with_fewer_rows_than_columns_stops_at_the_top_row)
{
    for (int depth = 0; depth < 4; ++depth) {
        terrain_world w(512, 100, depth);
        w.fill_heights(255);
        w.fill_colours(0x01020304);
        w.frame.fill_sky(sky);
        w.render(vector_renderers[depth], {256, 264, 1500, 230, 480, 8});
        SCOPED_TRACE(depth);
        expect_rows(w, 0, 512, 0);
        EXPECT_TRUE(w.frame.guards_intact());
    }
}

TEST(vector_limits, single_column_frame_draws_nothing)
{
    terrain_world w(1, 8, 3);
    w.fill_heights(255);
    w.frame.fill_sky(sky);
    w.render(render_vector_32, {256, 264, 1500, 230, 480, 8});
    EXPECT_EQ(w.frame.changed_rows(0, sky), std::make_pair(8, 8));
    EXPECT_TRUE(w.frame.guards_intact());
}

TEST(vector_limits, very_wide_frame_wraps_every_angle_into_the_sine_table)
{
    // 2600 columns: the last groups' angles fall below -1920, past what a
    // single turn's correction covers; they wrap like any other angle
    terrain_world w(2600, 4, 3);
    w.fill_heights(255);
    w.set_height(256, 264, 0);   // low under the camera: spans start at step 1
    w.fill_colours_indexed();
    w.frame.fill_sky(sky);
    w.render(render_vector_32, {256, 264, 1500, 230, 480, 8});
    for (int c : {0, 1000, 2596, 2597, 2598, 2599}) {
        int angle = ((480 + 160 - c) % angle_steps + angle_steps) % angle_steps;
        EXPECT_EQ(w.frame.changed_rows(c, sky), std::make_pair(0, 4)) << c;
        EXPECT_EQ(w.frame.pixel(3, c), lane_cells(256, 264, angle)[1]) << c;
    }
    EXPECT_TRUE(w.frame.guards_intact());
}
