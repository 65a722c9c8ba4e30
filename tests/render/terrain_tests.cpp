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
