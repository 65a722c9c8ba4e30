// The generated landscape: what the loaders read back, seamless wrapping,
// the valley under the flight path, and the shared colour table.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "tools/landscape/landscape.h"
#include "tools/scratch_dir.h"
#include "voxel/display/bitmap.h"

namespace {

struct blocks {
    uint8_t *info = nullptr, *pixels = nullptr;
    ~blocks() {
        std::free(info);
        std::free(pixels);
    }
};

int at(const std::vector<uint8_t> &m, int x, int y) { return m[size_t(y & 511) * 512 + (x & 511)]; }

TEST(landscape, files_read_back_as_the_generated_maps_with_one_shared_table) {
    scratch_dir dir;
    ASSERT_TRUE(write_landscape(dir.path));
    const std::vector<uint8_t> heights = make_heights();
    const std::vector<std::vector<uint8_t>> expected = {heights, make_colour_indices(heights), make_sky()};
    const char *names[] = {"heightd2.bmp", "heightc2.bmp", "clouds.bmp"};
    blocks read[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(read_bitmap_file(dir.file(names[i]).c_str(), &read[i].info, &read[i].pixels), 0) << names[i];
        EXPECT_EQ(std::memcmp(read[i].pixels, expected[i].data(), 262144), 0) << names[i];
    }
    // Colours and sky share one table; the height map has a grey ramp.
    EXPECT_EQ(std::memcmp(read[1].info + 40, read[2].info + 40, 1024), 0);
    const std::array<landscape_rgb, 256> palette = landscape_palette();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(read[1].info[40 + 4 * i + 2], palette[i].red) << i;
        EXPECT_EQ(read[0].info[40 + 4 * i], i);
    }
}

TEST(landscape, colour_and_sky_use_only_entries_10_to_245) {
    const std::vector<uint8_t> colours = make_colour_indices(make_heights());
    const std::vector<uint8_t> sky = make_sky();
    for (size_t i = 0; i < colours.size(); ++i) {
        ASSERT_GE(colours[i], 10) << i;
        ASSERT_LE(colours[i], 245) << i;
        ASSERT_GE(sky[i], 10) << i;
        ASSERT_LE(sky[i], 245) << i;
    }
}

TEST(landscape, height_map_wraps_without_a_seam) {
    const std::vector<uint8_t> h = make_heights();
    // The steepest step between neighbours inside the map bounds the step
    // across each edge.
    int inside = 0, seam = 0;
    for (int a = 0; a < 512; ++a)
        for (int b = 0; b < 511; ++b) {
            inside = std::max({inside, std::abs(at(h, b + 1, a) - at(h, b, a)), std::abs(at(h, a, b + 1) - at(h, a, b))});
        }
    for (int a = 0; a < 512; ++a)
        seam = std::max({seam, std::abs(at(h, 0, a) - at(h, 511, a)), std::abs(at(h, a, 0) - at(h, a, 511))});
    EXPECT_LE(seam, inside);
    EXPECT_GT(inside, 0);
}

TEST(landscape, valley_stays_well_below_the_camera_along_its_path) {
    const std::vector<uint8_t> h = make_heights();
    // The camera flies at 1500, sample value 187.5, along x = 256.
    for (int y = 0; y < 512; ++y)
        for (int x = 240; x <= 272; ++x)
            ASSERT_LE(at(h, x, y) * 8, 1500 - 1000) << x << "," << y;
    // Mountains rise above it on both sides.
    int left = 0, right = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 128; ++x) {
            left = std::max(left, at(h, 256 - 128 - x, y));
            right = std::max(right, at(h, 256 + 128 + x, y));
        }
    EXPECT_GT(left * 8, 1500);
    EXPECT_GT(right * 8, 1500);
}

TEST(landscape, every_band_of_ground_is_present) {
    const std::vector<uint8_t> colours = make_colour_indices(make_heights());
    int count[band_count] = {};
    for (uint8_t c : colours)
        if (c < sky_first_index)
            ++count[(c - landscape_first_index) / shade_levels];
    for (int b = 0; b < band_count; ++b)
        EXPECT_GT(count[b], 1000) << "band " << b;
}

TEST(landscape, sky_has_clouds_above_and_haze_toward_the_bottom) {
    const std::vector<uint8_t> sky = make_sky();
    int clouds_top = 0;
    for (size_t i = 0; i < 200 * 512; ++i)
        clouds_top += sky[i] >= cloud_first_index;
    EXPECT_GT(clouds_top, 5000);
    for (size_t i = 250 * 512; i < sky.size(); ++i)
        ASSERT_GE(sky[i], sky_first_index + sky_levels - 2) << i;
}

}  // namespace
