// The scalar column renderer at every depth: which rows it draws, with which
// colours, and where it must never write.
#include <gtest/gtest.h>

#include <cstring>

#include "support/terrain_world.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

namespace {

const column_renderer standard_at_depth[4] = {render_standard_8, render_standard_16,
                                              render_standard_24, render_standard_32};

// sky and terrain colours that differ in every byte at every depth
constexpr uint32_t sky = 0xEEEEEEEE;
constexpr uint32_t ground = 0x11223344;

uint32_t masked(uint32_t v, int bpp) { return bpp == 4 ? v : v & ((1u << (8 * bpp)) - 1); }

camera_state camera_at(int x, int y, int height, int horizon, int heading)
{
    return {x, y, height, horizon, heading, 8};
}

// Every column but the last drawn exactly in rows [top, A) with the ground
// colour, the rest of the frame sky, nothing outside the frame touched.
void expect_columns_drawn_from(const terrain_world &world, int top)
{
    const auto &f = world.frame;
    for (int c = 0; c < f.width - 1; c++) {
        const auto rows = f.changed_rows(c, masked(sky, f.bpp));
        ASSERT_EQ(rows.first, top) << "column " << c;
        ASSERT_EQ(rows.second, f.height) << "column " << c;
        ASSERT_EQ(f.pixel(top, c), masked(ground, f.bpp)) << "column " << c;
        ASSERT_EQ(f.pixel(f.height - 1, c), masked(ground, f.bpp)) << "column " << c;
        ASSERT_TRUE(f.is_solid_run(c, top, f.height, masked(sky, f.bpp))) << "column " << c;
    }
    EXPECT_EQ(f.changed_rows(f.width - 1, masked(sky, f.bpp)).first, f.height)
        << "the last column is never drawn";
    EXPECT_TRUE(f.guards_intact());
}

// The renderer of `depth` on an even map of `sample`, constant colours.
void render_flat(terrain_world &world, uint8_t sample, const camera_state &cam)
{
    world.fill_heights(sample);
    world.fill_colours(ground);
    world.frame.fill_sky(sky);
    world.render(standard_at_depth[world.depth], cam);
}

} // namespace

TEST(standard_renderer, flat_ground_at_0_below_a_camera_at_1500_fills_rows_256_to_511)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(512, 512, depth);
        render_flat(world, 0, camera_at(256, 256, 1500, 230, 480));
        expect_columns_drawn_from(world, 256);
    }
}

TEST(standard_renderer, flat_ground_at_800_fills_rows_242_to_511)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(512, 512, depth);
        render_flat(world, 100, camera_at(256, 264, 1500, 230, 480));
        expect_columns_drawn_from(world, 242);
    }
}

TEST(standard_renderer, ground_above_the_camera_fills_every_column_but_the_last_at_step_0)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(512, 512, depth);
        render_flat(world, 200, camera_at(256, 264, 1500, 230, 480));
        expect_columns_drawn_from(world, 0);
    }
}

TEST(standard_renderer, straight_ahead_each_row_shows_the_cell_of_the_step_that_first_covers_it)
{
    // column 160 looks along the heading (+y): step t samples (256, 264 + 2t);
    // over flat ground at 0 row r is first covered at the first t > 7500 / (r - 229)
    terrain_world world(512, 512, 3);
    world.fill_heights(0);
    world.fill_colours_indexed();
    world.frame.fill_sky(sky);
    world.render(render_standard_32, camera_at(256, 264, 1500, 230, 480));
    EXPECT_EQ(world.frame.pixel(511, 160), map_index(256, 264 + 2 * 27));
    EXPECT_EQ(world.frame.pixel(300, 160), map_index(256, 264 + 2 * 106));
    EXPECT_EQ(world.frame.pixel(256, 160), map_index(256, 264 + 2 * 278));
    EXPECT_EQ(world.frame.pixel(255, 160), sky);
}

TEST(standard_renderer, a_camera_inside_the_terrain_paints_its_own_cell_up_the_whole_column)
{
    terrain_world world(512, 512, 3);
    world.fill_heights(200);
    world.fill_colours_indexed();
    world.frame.fill_sky(sky);
    world.render(render_standard_32, camera_at(256, 264, 1500, 230, 480));
    for (int c = 0; c < 511; c++)
        for (int r : {0, 100, 511})
            ASSERT_EQ(world.frame.pixel(r, c), map_index(256, 264)) << r << "," << c;
    EXPECT_EQ(world.frame.pixel(0, 511), sky);
}

TEST(standard_renderer, colour_elements_are_copied_byte_for_byte_at_every_depth)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(16, 16, depth);
        world.fill_heights(200);
        world.fill_colours(ground);
        const uint8_t element[4] = {0x81, 0x92, 0xA3, 0xB4};
        std::memcpy(world.colours.data() + size_t(map_index(5, 9)) * world.bpp, element, 4);
        world.frame.fill_sky(sky);
        world.render(standard_at_depth[depth], camera_at(5, 9, 0, 8, 480));
        for (int r = 0; r < 16; r++)
            ASSERT_EQ(std::memcmp(world.frame.at(r, 3), element, size_t(world.bpp)), 0) << r;
        EXPECT_TRUE(world.frame.guards_intact());
    }
}

TEST(standard_renderer, ground_level_with_the_ray_starts_no_span)
{
    // horizon on the frame's lower edge: the bottom row's ray stays level at
    // 800, exactly the height of the ground, so nothing rises into view
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(16, 16, depth);
        render_flat(world, 100, camera_at(256, 256, 800, 16, 480));
        for (int c = 0; c < 16; c++)
            ASSERT_EQ(world.frame.changed_rows(c, masked(sky, world.bpp)).first, 16) << c;
    }
}

TEST(standard_renderer, ground_one_unit_above_the_ray_fills_whole_columns)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(16, 16, depth);
        render_flat(world, 100, camera_at(256, 256, 799, 16, 480));
        expect_columns_drawn_from(world, 0);
    }
}

TEST(standard_renderer, a_started_span_goes_on_while_the_ray_equals_the_ground)
{
    // horizon 15 in a 16-row frame, camera at 800 over ground at 800: step 0
    // draws nothing (800 is not above 800); step 1 enters at row 15 with the
    // ray at 800 - 0.2, and one row up the ray is exactly 800 again, which
    // still counts as covered: rows 14 and 15 are drawn, nothing above
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(16, 16, depth);
        render_flat(world, 100, camera_at(256, 256, 800, 15, 480));
        expect_columns_drawn_from(world, 14);
    }
}

TEST(standard_renderer, a_frame_with_fewer_rows_than_columns_is_never_written_above_row_0)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(64, 8, depth);
        render_flat(world, 200, camera_at(256, 256, 1500, 4, 480));
        expect_columns_drawn_from(world, 0);
    }
}

TEST(standard_renderer, fewer_rows_than_columns_over_rising_ground_stops_at_the_top_row)
{
    // a ray looking up at ever higher ground would go on past the top row
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(32, 4, depth);
        world.fill_colours(ground);
        for (int y = 0; y < 512; y++)
            for (int x = 0; x < 512; x++)
                world.set_height(x, y, uint8_t(y < 256 ? y : 255));
        world.frame.fill_sky(sky);
        world.render(standard_at_depth[depth], camera_at(256, 0, 0, 40, 480));
        expect_columns_drawn_from(world, 0);
    }
}

TEST(standard_renderer, a_column_ends_after_frame_width_pixels_in_a_tall_frame)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_world world(8, 64, depth);
        render_flat(world, 200, camera_at(256, 256, 1500, 30, 480));
        expect_columns_drawn_from(world, 64 - 8);
    }
}

TEST(standard_renderer, negative_positions_truncate_toward_zero)
{
    // column 0 of heading 400 looks along angle 560 (105 degrees): from x = 0
    // the ray passes x = -0.52 at step 1 and x = -1.55 at step 3; camera at
    // height 0 and horizon at the frame's foot keep the bottom row's ray at 0,
    // so the first raised cell it samples colours the bottom pixel
    struct expectation {
        int raised_x, raised_y;
    } const cases[] = {{0, 1}, {511, 5}};
    for (const auto &c : cases) {
        terrain_world world(16, 16, 3);
        world.fill_heights(0);
        world.set_height(c.raised_x, c.raised_y, 1);
        world.fill_colours_indexed();
        world.frame.fill_sky(sky);
        world.render(render_standard_32, camera_at(0, 0, 0, 16, 400));
        EXPECT_EQ(world.frame.pixel(15, 0), map_index(c.raised_x, c.raised_y))
            << c.raised_x << "," << c.raised_y;
    }
}

TEST(standard_renderer, cells_left_of_zero_and_right_of_minus_one_are_not_sampled_as_511)
{
    // the same ray: with only (511, 1) raised, step 1 (x = -0.52) must not see it
    terrain_world world(16, 16, 3);
    world.fill_heights(0);
    world.set_height(511, 1, 1);
    world.set_height(511, 3, 1);   // step 2 at x = -1.04, y = 3.86
    world.fill_colours_indexed();
    world.frame.fill_sky(sky);
    world.render(render_standard_32, camera_at(0, 0, 0, 16, 400));
    EXPECT_EQ(world.frame.pixel(15, 0), map_index(511, 3));
}

TEST(standard_renderer, reserved_argument_is_ignored)
{
    terrain_world world(32, 32, 2);
    render_flat(world, 0, camera_at(256, 256, 1500, 10, 480));
    std::vector<uint8_t> first(world.frame.pixels(), world.frame.pixels() + world.frame.frame_bytes());
    world.frame.fill_sky(sky);
    render_standard_24(256, 256, 1500, 10, 480, 12345, world.frame.pixels());
    EXPECT_EQ(std::memcmp(first.data(), world.frame.pixels(), first.size()), 0);
}

TEST(standard_renderer, a_ray_takes_280_steps_and_no_more)
{
    // column 0 of heading 80 runs at 45 degrees from (0, 0), about 1.414 map
    // units per step in x and y: step 279 reaches x = 394.6, step 280 would
    // reach 395.98. With the camera at height 0 and the horizon at the frame's
    // foot the bottom row sees any raised cell.
    struct expectation {
        int band_from;
        uint32_t bottom_pixel;
    } const cases[] = {{394, map_index(394, 394)}, {395, sky}};
    for (const auto &c : cases) {
        terrain_world world(16, 16, 3);
        world.fill_colours_indexed();
        for (int y = 0; y < 512; y++)
            for (int x = 0; x < 512; x++)
                world.set_height(x, y, x >= c.band_from ? 1 : 0);
        world.frame.fill_sky(sky);
        world.render(render_standard_32, camera_at(0, 0, 0, 16, 80));
        EXPECT_EQ(world.frame.pixel(15, 0), c.bottom_pixel) << "band from x = " << c.band_from;
    }
}

TEST(standard_renderer, slope_step_is_the_single_precision_fifth)
{
    // horizon 5 rows below the frame: the bottom row's ray falls by 5 x 0.2f
    // = 1.0000000149 per step, so at step 1 it passes just under 800 and a
    // cell of 800 there rises into view; with an exact 0.2 it would stay at
    // 800 and show nothing. Column 0 of heading 319 reaches (256, 257) at step 1.
    terrain_world world(16, 16, 3);
    world.fill_heights(0);
    world.set_height(256, 257, 100);
    world.fill_colours_indexed();
    world.frame.fill_sky(sky);
    world.render(render_standard_32, camera_at(256, 256, 801, 11, 319));
    EXPECT_EQ(world.frame.pixel(15, 0), map_index(256, 257));
    EXPECT_EQ(world.frame.pixel(14, 0), sky);
}
