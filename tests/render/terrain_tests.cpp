// Sine table, angle and map indexing, renderer selection, the per-frame step
// and the presentation copy.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "support/terrain_world.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

TEST(sine_table, quarter_turn_is_exactly_one_and_half_turn_slightly_positive)
{
    init_angle_tables();
    EXPECT_EQ(sine_table[0], 0.0f);
    EXPECT_EQ(sine_table[480], 1.0f);
    EXPECT_GT(sine_table[960], 0.0f);
    EXPECT_NEAR(sine_table[960], 3.59e-9f, 0.01e-9f);
    EXPECT_EQ(sine_table[1440], -1.0f);
}

TEST(sine_table, entries_are_double_sines_of_the_shortened_turn_rounded_to_float)
{
    init_angle_tables();
    for (int i = 0; i < angle_steps; i++)
        ASSERT_EQ(sine_table[i], float(std::sin(i * 6.2831853 * 0.0005208333333333333))) << i;
    // the shortened 2 pi shows in the last bits, not in the rounding of a true sine
    EXPECT_NE(double(sine_table[960]), std::sin(M_PI));
}

TEST(wrap_angle, corrects_one_turn_either_way)
{
    EXPECT_EQ(wrap_angle(-1), 1919);
    EXPECT_EQ(wrap_angle(-1920), 0);
    EXPECT_EQ(wrap_angle(0), 0);
    EXPECT_EQ(wrap_angle(1919), 1919);
    EXPECT_EQ(wrap_angle(1920), 0);
    EXPECT_EQ(wrap_angle(2000), 80);
    EXPECT_EQ(wrap_angle(3839), 1919);
}

TEST(map_index, wraps_both_coordinates_at_512)
{
    EXPECT_EQ(map_index(-1, 0), 511u);
    EXPECT_EQ(map_index(512, 513), 512u);
    EXPECT_EQ(map_index(0, -1), 511u * 512u);
    EXPECT_EQ(map_index(-1, -1), 262143u);
    EXPECT_EQ(map_index(3, 2), 2u * 512u + 3u);
    EXPECT_EQ(map_index(-512, 1024), 0u);
}

TEST(select_renderer, codes_pick_the_standard_and_vector_variants)
{
    const column_renderer expected[10] = {
        render_standard_8, render_standard_8, render_standard_8, render_standard_16,
        render_standard_24, render_standard_32, render_vector_8, render_vector_16,
        render_vector_24, render_vector_32};
    const column_renderer before = current_renderer;
    for (int code = 0; code < 10; code++) {
        current_renderer = nullptr;
        select_renderer(code);
        EXPECT_EQ(current_renderer, expected[code]) << "code " << code;
    }
    current_renderer = before;
}

TEST(select_renderer, unknown_codes_keep_the_previous_renderer)
{
    const column_renderer before = current_renderer;
    select_renderer(1);
    EXPECT_EQ(current_renderer, render_standard_8);
    for (int code : {10, -1, 11, 1000}) {
        select_renderer(code);
        EXPECT_EQ(current_renderer, render_standard_8) << "code " << code;
    }
    select_renderer(9);
    select_renderer(10);
    EXPECT_EQ(current_renderer, render_vector_32);
    current_renderer = before;
}

// Bytes of the frame that begin_frame replaced with cloud bytes: the length
// of the leading run that equals the cloud image, all later bytes untouched.
static size_t sky_copy_length(const terrain_world &world, uint8_t untouched)
{
    const uint8_t *frame = world.frame.pixels();
    size_t n = 0;
    while (n < world.frame.frame_bytes() && frame[n] == world.clouds.data()[n])
        n++;
    for (size_t i = n; i < world.frame.frame_bytes(); i++)
        if (frame[i] != untouched)
            return size_t(-1);
    return n;
}

TEST(begin_frame, sky_copy_covers_all_rows_at_8_bits_half_at_16_and_32_two_thirds_at_24)
{
    struct expectation {
        int depth;
        size_t bytes;
    } const cases[] = {{0, 6u * 9u}, {1, 6u * 9u}, {2, 2u * 6u * 9u}, {3, 2u * 6u * 9u}};
    for (const auto &c : cases) {
        terrain_world world(9, 6, c.depth);
        world.fill_clouds_pattern();
        std::memset(world.frame.pixels(), 0xFF, world.frame.frame_bytes());
        begin_frame();
        EXPECT_EQ(sky_copy_length(world, 0xFF), c.bytes) << "depth " << c.depth;
        EXPECT_TRUE(world.frame.guards_intact()) << "depth " << c.depth;
    }
}

TEST(begin_frame, at_16_bits_a_512_frame_gets_rows_0_to_255)
{
    terrain_world world(512, 512, 1);
    world.fill_clouds_pattern();
    world.frame.fill_sky(0xFFFF);
    begin_frame();
    EXPECT_EQ(sky_copy_length(world, 0xFF), 262144u);
    EXPECT_EQ(std::memcmp(world.frame.at(255, 0), world.clouds.data() + 255 * 1024, 1024), 0);
    EXPECT_EQ(world.frame.pixel(256, 0), 0xFFFFu);
}

TEST(begin_frame, camera_stands_at_256_and_256_plus_8n_after_n_frames)
{
    terrain_world world(4, 4, 3);
    camera = camera_start;
    for (int n = 1; n <= 2000; n++) {
        begin_frame();
        ASSERT_EQ(camera.x, 256) << "frame " << n;
        ASSERT_EQ(camera.y, 256 + 8 * n) << "frame " << n;
    }
    EXPECT_EQ(camera.height, 1500);
    EXPECT_EQ(camera.horizon, 230);
    EXPECT_EQ(camera.heading, 480);
    EXPECT_EQ(camera.speed, 8);
}

TEST(begin_frame, camera_steps_along_other_headings_truncating_toward_zero)
{
    terrain_world world(4, 4, 0);
    camera = camera_start;
    camera.heading = 0;   // along +x
    begin_frame();
    EXPECT_EQ(camera.x, 264);
    EXPECT_EQ(camera.y, 256);

    camera.heading = 1440;   // along -y: cos is the entry at 0, exactly 0
    camera.y = 4;
    begin_frame();
    EXPECT_EQ(camera.x, 264);
    EXPECT_EQ(camera.y, -4);

    // along -x, sin a hair above zero: -5 + 2.9e-8 truncates to -4, not -5
    camera.heading = 960;
    camera.x = 3;
    camera.y = -5;
    begin_frame();
    EXPECT_EQ(camera.x, -5);
    EXPECT_EQ(camera.y, -4);
}

TEST(begin_frame, without_a_frame_buffer_only_moves_the_camera)
{
    terrain_world world(4, 4, 3);
    frame_buffer = nullptr;
    camera = camera_start;
    begin_frame();
    EXPECT_EQ(camera.y, 264);
    EXPECT_TRUE(world.frame.guards_intact());
}

TEST(copy_rows, copies_each_row_at_its_own_pitch_and_returns_the_row_count)
{
    std::vector<uint8_t> src(3 * 6), dst(3 * 10, 0xEE);
    for (size_t i = 0; i < src.size(); i++)
        src[i] = uint8_t(i + 1);
    EXPECT_EQ(copy_rows(dst.data() + 2, 10, src.data(), 6, 4, 3), 3u);
    const std::vector<uint8_t> expected = {
        0xEE, 0xEE, 1,  2,  3,  4,  0xEE, 0xEE, 0xEE, 0xEE,
        0xEE, 0xEE, 7,  8,  9,  10, 0xEE, 0xEE, 0xEE, 0xEE,
        0xEE, 0xEE, 13, 14, 15, 16, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(dst, expected);
}

TEST(copy_rows, zero_rows_copy_nothing_and_return_zero)
{
    std::vector<uint8_t> src(16, 1), dst(16, 0xEE);
    EXPECT_EQ(copy_rows(dst.data(), 8, src.data(), 8, 8, 0), 0u);
    EXPECT_EQ(dst, std::vector<uint8_t>(16, 0xEE));
}

TEST(copy_rows, zero_bytes_per_row_still_count_the_rows)
{
    std::vector<uint8_t> src(16, 1), dst(16, 0xEE);
    EXPECT_EQ(copy_rows(dst.data(), 8, src.data(), 8, 0, 2), 2u);
    EXPECT_EQ(dst, std::vector<uint8_t>(16, 0xEE));
}
