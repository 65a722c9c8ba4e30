// init_terrain and release_terrain over real bitmap files: what is loaded,
// which files and sizes are refused, and what a re-run replaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/scratch_directory.h"
#include "tools/landscape/bitmap_write.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

namespace {

// Runs a test in a scratch directory at a pixel depth, and leaves the
// terrain state released and the flags as they were.
struct terrain_session {
    test_support::scratch_directory dir;
    int saved_depth = pixel_depth, saved_phase = vector_phase;
    camera_state saved_camera = camera;

    explicit terrain_session(int depth) { pixel_depth = depth; }
    ~terrain_session()
    {
        release_terrain();
        pixel_depth = saved_depth;
        vector_phase = saved_phase;
        camera = saved_camera;
    }
};

// sample (x, y) = (x + 3y) & 255; colour table entry i = (blue i, green 255 - i, red i / 2)
bitmap_image patterned(int width, int height)
{
    bitmap_image image = make_bitmap(width, height, 8);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            image.pixels[size_t(y) * width + x] = uint8_t(x + 3 * y);
    for (int i = 0; i < 256; i++)
        set_table_colour(image, i, uint8_t(i / 2), uint8_t(255 - i), uint8_t(i));
    return image;
}

void write_files(int height_w, int height_h, int colour_w, int colour_h, int cloud_w, int cloud_h)
{
    ASSERT_TRUE(write_bitmap_file("heightd2.bmp", patterned(height_w, height_h)));
    ASSERT_TRUE(write_bitmap_file("heightc2.bmp", patterned(colour_w, colour_h)));
    ASSERT_TRUE(write_bitmap_file("clouds.bmp", patterned(cloud_w, cloud_h)));
}

void write_512_files() { write_files(512, 512, 512, 512, 512, 512); }

bool all_zero(const uint8_t *p, size_t n)
{
    for (size_t i = 0; i < n; i++)
        if (p[i] != 0)
            return false;
    return true;
}

const column_renderer standard_at_depth[4] = {render_standard_8, render_standard_16,
                                              render_standard_24, render_standard_32};
const column_renderer vector_at_depth[4] = {render_vector_8, render_vector_16,
                                            render_vector_24, render_vector_32};

} // namespace

TEST(init_terrain, loads_the_three_files_and_a_cleared_aligned_frame_at_every_depth)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_session session(depth);
        write_files(640, 480, 512, 512, 640, 480);
        vector_phase = 0;
        current_renderer = nullptr;
        ASSERT_EQ(init_terrain(), 0);
        EXPECT_EQ(frame_width, 640);
        EXPECT_EQ(frame_height, 480);
        // height map: the file's pixels, top row first
        EXPECT_EQ(height_map[0], 0);
        EXPECT_EQ(height_map[1 * 640 + 5], 8);
        EXPECT_EQ(height_map[479 * 640 + 639], uint8_t(639 + 3 * 479));
        ASSERT_NE(frame_buffer, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(frame_buffer) % 16, 0u);
        // half a page (on a cache line) from the cloud image in their pages,
        // so that the sky copy never runs between page-aliased addresses
        const uintptr_t apart = (reinterpret_cast<uintptr_t>(frame_buffer) -
                                 reinterpret_cast<uintptr_t>(cloud_image)) % 4096;
        EXPECT_GT(apart, 2048u - 64);
        EXPECT_LE(apart, 2048u);
        EXPECT_TRUE(all_zero(frame_buffer, size_t(640) * 480 * bytes_per_pixel(depth)));
        EXPECT_EQ(current_renderer, standard_at_depth[depth]);
        EXPECT_EQ(sine_table[480], 1.0f);
    }
}

TEST(init_terrain, colour_map_and_clouds_come_in_the_frames_pixel_format)
{
    // cell (2, 1) holds index 5: table entry blue 5, green 250, red 2
    {
        terrain_session session(0);
        write_512_files();
        ASSERT_EQ(init_terrain(), 0);
        EXPECT_EQ(colour_map[map_index(2, 1)], 5);
        EXPECT_EQ(cloud_image[512 + 2], 5);
    }
    {
        terrain_session session(2);
        write_512_files();
        ASSERT_EQ(init_terrain(), 0);
        const uint8_t rotated[3] = {2, 5, 250};   // red, blue, green
        EXPECT_EQ(std::memcmp(colour_map + 3 * map_index(2, 1), rotated, 3), 0);
        EXPECT_EQ(std::memcmp(cloud_image + 3 * (512 + 2), rotated, 3), 0);
    }
    {
        terrain_session session(3);
        write_512_files();
        ASSERT_EQ(init_terrain(), 0);
        const uint8_t rotated[4] = {2, 0xFF, 5, 250};   // red, 0xFF, blue, green
        EXPECT_EQ(std::memcmp(colour_map + 4 * map_index(2, 1), rotated, 4), 0);
    }
}

TEST(init_terrain, selects_the_vector_renderer_once_the_vector_phase_has_begun)
{
    for (int depth = 0; depth < 4; depth++) {
        SCOPED_TRACE(depth);
        terrain_session session(depth);
        write_512_files();
        vector_phase = 1;
        ASSERT_EQ(init_terrain(), 0);
        EXPECT_EQ(current_renderer, vector_at_depth[depth]);
    }
}

TEST(init_terrain, each_missing_file_fails_after_loading_the_ones_before_it)
{
    const char *names[3] = {"heightd2.bmp", "heightc2.bmp", "clouds.bmp"};
    for (int missing = 0; missing < 3; missing++) {
        SCOPED_TRACE(names[missing]);
        terrain_session session(1);
        write_512_files();
        std::remove(names[missing]);
        EXPECT_EQ(init_terrain(), -1);
        EXPECT_EQ(height_map != nullptr, missing > 0);
        EXPECT_EQ(colour_map != nullptr, missing > 1);
        EXPECT_EQ(cloud_image, nullptr);
        EXPECT_EQ(frame_buffer, nullptr);
    }
}

TEST(init_terrain, a_file_that_is_not_a_bitmap_fails)
{
    terrain_session session(0);
    write_512_files();
    ASSERT_TRUE(write_bytes_file("heightc2.bmp", {'X', 'Y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(init_terrain(), -1);
    EXPECT_EQ(colour_map, nullptr);
}

TEST(init_terrain, maps_with_fewer_than_512_by_512_samples_fail)
{
    struct sizes {
        const char *what;
        int height_w, height_h, colour_w, colour_h;
    } const cases[] = {{"height map 511 wide", 511, 512, 512, 512},
                       {"height map 511 high", 512, 511, 512, 512},
                       {"colour map 512 x 511", 512, 512, 512, 511},
                       {"colour map 256 x 1023", 512, 512, 256, 1023}};
    for (int depth = 0; depth < 4; depth++) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.what) + " at depth " + std::to_string(depth));
            terrain_session session(depth);
            write_files(c.height_w, c.height_h, c.colour_w, c.colour_h, 1024, 1024);
            EXPECT_EQ(init_terrain(), -1);
            EXPECT_EQ(frame_buffer, nullptr);
        }
    }
}

TEST(init_terrain, maps_of_the_same_sample_count_in_another_shape_load)
{
    terrain_session session(3);
    write_files(1024, 256, 256, 1024, 1024, 256);
    EXPECT_EQ(init_terrain(), 0);
    EXPECT_EQ(frame_width, 1024);
    EXPECT_EQ(frame_height, 256);
}

TEST(init_terrain, a_cloud_image_shorter_than_the_sky_copy_fails)
{
    // a 600 x 512 frame: the sky copy takes 307,200 bytes at 8 and 16 bits and
    // 614,400 at 24 and 32; a 512 x 512 cloud image holds 262,144 samples
    struct expectation {
        int depth, result;
    } const cases[] = {{0, -1}, {1, 0}, {2, 0}, {3, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.depth);
        terrain_session session(c.depth);
        write_files(600, 512, 512, 512, 512, 512);
        EXPECT_EQ(init_terrain(), c.result);
    }
    // 24 bits: 2 x 600 x 512 = 614,400 bytes of cloud needed, 3 x 400 x 512 = 614,400 given
    for (int cloud_h : {511, 512}) {
        terrain_session session(2);
        write_files(600, 512, 512, 512, 400, cloud_h);
        EXPECT_EQ(init_terrain(), cloud_h == 512 ? 0 : -1) << "cloud height " << cloud_h;
    }
}

TEST(init_terrain, a_frame_narrower_than_two_bytes_per_row_fails)
{
    // one pixel wide: a single byte per row at 8 bits, two at 16
    for (int depth : {0, 1}) {
        terrain_session session(depth);
        write_files(1, 262144, 512, 512, 512, 512);
        EXPECT_EQ(init_terrain(), depth == 0 ? -1 : 0) << "depth " << depth;
    }
}

TEST(init_terrain, an_unsupported_depth_fails_without_reading)
{
    terrain_session session(4);
    write_512_files();
    EXPECT_EQ(init_terrain(), -1);
    EXPECT_EQ(height_map, nullptr);
}

TEST(init_terrain, a_rerun_replaces_maps_and_frame_and_keeps_the_camera)
{
    terrain_session session(3);
    write_512_files();
    ASSERT_EQ(init_terrain(), 0);
    camera.y = 1000;
    frame_buffer[0] = 0x77;

    bitmap_image heights = patterned(640, 480);
    heights.pixels[0] = 200;
    ASSERT_TRUE(write_bitmap_file("heightd2.bmp", heights));
    ASSERT_TRUE(write_bitmap_file("clouds.bmp", patterned(640, 480)));
    pixel_depth = 1;
    ASSERT_EQ(init_terrain(), 0);
    EXPECT_EQ(frame_width, 640);
    EXPECT_EQ(frame_height, 480);
    EXPECT_EQ(height_map[0], 200);
    EXPECT_TRUE(all_zero(frame_buffer, size_t(640) * 480 * 2));
    EXPECT_EQ(current_renderer, render_standard_16);
    EXPECT_EQ(camera.y, 1000);
    EXPECT_EQ(camera.x, 256);
}

TEST(init_terrain, a_failed_rerun_leaves_no_block_of_the_earlier_run)
{
    terrain_session session(0);
    write_512_files();
    ASSERT_EQ(init_terrain(), 0);
    std::remove("heightd2.bmp");
    EXPECT_EQ(init_terrain(), -1);
    EXPECT_EQ(height_map, nullptr);
    EXPECT_EQ(colour_map, nullptr);
    EXPECT_EQ(cloud_image, nullptr);
    EXPECT_EQ(frame_buffer, nullptr);
}

TEST(release_terrain, clears_every_block_and_may_run_twice)
{
    terrain_session session(2);
    write_512_files();
    ASSERT_EQ(init_terrain(), 0);
    release_terrain();
    EXPECT_EQ(height_map, nullptr);
    EXPECT_EQ(colour_map, nullptr);
    EXPECT_EQ(cloud_image, nullptr);
    EXPECT_EQ(frame_buffer, nullptr);
    release_terrain();
    EXPECT_EQ(frame_buffer, nullptr);
}

TEST(init_terrain, first_frame_after_init_is_drawn_from_256_264)
{
    // the whole flight of one frame on real files: sky copied, camera moved,
    // terrain drawn inside the frame
    terrain_session session(3);
    write_512_files();
    camera = camera_start;
    ASSERT_EQ(init_terrain(), 0);
    begin_frame();
    EXPECT_EQ(camera.x, 256);
    EXPECT_EQ(camera.y, 264);
    EXPECT_EQ(std::memcmp(frame_buffer, cloud_image, 2 * 512 * 512), 0);
    current_renderer(camera.x, camera.y, camera.height, camera.horizon, camera.heading, 0,
                     frame_buffer);
    // the bottom-left pixel shows a colour map element, never a cleared pixel
    uint32_t bottom_left;
    std::memcpy(&bottom_left, frame_buffer + size_t(511) * 512 * 4, 4);
    EXPECT_EQ(bottom_left & 0xFF00u, 0xFF00u);
}
