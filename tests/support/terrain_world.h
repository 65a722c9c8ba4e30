// terrain_world.h - terrain state set up in memory for renderer tests.
//
//   test_support::terrain_world world(512, 512, 3);   // frame 512 x 512 at 32 bits
//   world.fill_heights(100);                          // every sample 100 (height 800)
//   world.set_height(256, 300, 200);                  // one raised cell
//   world.fill_colours_indexed();                     // element k holds k
//   world.frame.fill_sky(0xEE);
//   world.render(render_standard_32, {256, 264, 1500, 230, 480, 8});
//   EXPECT_TRUE(world.frame.guards_intact());
//   EXPECT_EQ(world.frame.pixel(511, 0), map_index(256, 264));
//
// The constructor installs the world's maps, frame and depth into the terrain
// state; the destructor puts back what was there. The blocks belong to the
// world, so never call release_terrain while one is installed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <mm_malloc.h>

#include "voxel/render/terrain.h"

namespace test_support {

constexpr size_t map_samples = size_t(map_size) * map_size;

// A 16-byte-aligned, zero-filled heap block, freed on scope exit.
struct aligned_block {
    struct release {
        void operator()(uint8_t *p) const { _mm_free(p); }
    };
    std::unique_ptr<uint8_t, release> bytes;
    size_t size = 0;

    explicit aligned_block(size_t n) : bytes(static_cast<uint8_t *>(_mm_malloc(n ? n : 1, 16))), size(n)
    {
        std::memset(bytes.get(), 0, size);
    }
    uint8_t *data() const { return bytes.get(); }
};

// A pixel element as an integer: its bytes, first byte lowest.
inline uint32_t read_element(const uint8_t *p, int bpp)
{
    uint32_t v = 0;
    std::memcpy(&v, p, size_t(bpp));
    return v;
}

inline void write_element(uint8_t *p, int bpp, uint32_t v)
{
    std::memcpy(p, &v, size_t(bpp));
}

// A frame of rows x columns pixels with a guard band of known bytes on each
// side, to catch any write outside the frame. The frame itself starts on a
// 16-byte boundary.
struct guarded_frame {
    static constexpr size_t guard_bytes = 4096;
    static constexpr uint8_t guard_value = 0xA5;

    int width, height, bpp;
    aligned_block block;

    guarded_frame(int w, int h, int bytes_per_pixel)
        : width(w), height(h), bpp(bytes_per_pixel),
          block(2 * guard_bytes + size_t(w) * size_t(h) * size_t(bytes_per_pixel))
    {
        std::memset(block.data(), guard_value, block.size);
    }
    uint8_t *pixels() const { return block.data() + guard_bytes; }
    size_t frame_bytes() const { return size_t(width) * size_t(height) * size_t(bpp); }
    uint8_t *at(int row, int col) const { return pixels() + (size_t(row) * width + col) * bpp; }
    uint32_t pixel(int row, int col) const { return read_element(at(row, col), bpp); }

    // every pixel set to the same element value
    void fill_sky(uint32_t sky)
    {
        for (int r = 0; r < height; r++)
            for (int c = 0; c < width; c++)
                write_element(at(r, c), bpp, sky);
    }
    bool guards_intact() const
    {
        const uint8_t *p = block.data();
        const uint8_t *after = pixels() + frame_bytes();
        for (size_t i = 0; i < guard_bytes; i++)
            if (p[i] != guard_value || after[i] != guard_value)
                return false;
        return true;
    }
    // Rows of column col whose pixel differs from sky, as [top, bottom + 1);
    // {height, height} when none differs. Pair with is_solid_run.
    std::pair<int, int> changed_rows(int col, uint32_t sky) const
    {
        int top = height, bottom = height;
        for (int r = 0; r < height; r++) {
            if (pixel(r, col) != sky) {
                if (top == height)
                    top = r;
                bottom = r + 1;
            }
        }
        return {top, bottom};
    }
    // the pixels of rows [top, bottom) in column col all differ from sky
    bool is_solid_run(int col, int top, int bottom, uint32_t sky) const
    {
        for (int r = top; r < bottom; r++)
            if (pixel(r, col) == sky)
                return false;
        return true;
    }
};

// Maps of 512 x 512 samples and a cloud image sized for the sky copy, for a
// frame of the given size and pixel depth (0 = 8 ... 3 = 32 bits).
struct terrain_world {
    int depth, bpp;
    aligned_block heights, colours, clouds;
    guarded_frame frame;

    terrain_world(int width, int height, int pixel_depth_index)
        : depth(pixel_depth_index), bpp(bytes_per_pixel(pixel_depth_index)),
          heights(map_samples), colours(map_samples * size_t(bpp) + (bpp == 3 ? 1 : 0)),
          clouds(size_t(width) * size_t(height) * size_t(bpp)), frame(width, height, bpp)
    {
        saved = {pixel_depth, frame_width, frame_height, height_map, colour_map,
                 cloud_image, frame_buffer, camera, current_renderer};
        pixel_depth = depth;
        frame_width = width;
        frame_height = height;
        height_map = heights.data();
        colour_map = colours.data();
        cloud_image = clouds.data();
        frame_buffer = frame.pixels();
        init_angle_tables();
    }
    ~terrain_world()
    {
        pixel_depth = saved.depth;
        frame_width = saved.width;
        frame_height = saved.height;
        height_map = saved.heights;
        colour_map = saved.colours;
        cloud_image = saved.clouds;
        frame_buffer = saved.frame;
        camera = saved.cam;
        current_renderer = saved.renderer;
    }
    terrain_world(const terrain_world &) = delete;
    terrain_world &operator=(const terrain_world &) = delete;

    void fill_heights(uint8_t v) { std::memset(heights.data(), v, heights.size); }
    void set_height(int x, int y, uint8_t v) { heights.data()[map_index(x, y)] = v; }
    uint8_t height_at(int x, int y) const { return heights.data()[map_index(x, y)]; }

    // every colour element the same value
    void fill_colours(uint32_t v)
    {
        for (size_t k = 0; k < map_samples; k++)
            write_element(colours.data() + k * bpp, bpp, v);
    }
    // element k holds k (its low 8 bits at 8 bits per pixel, all of it at
    // 24 and 32 bits, the low 16 bits at 16), so a pixel tells its map cell
    void fill_colours_indexed()
    {
        for (size_t k = 0; k < map_samples; k++)
            write_element(colours.data() + k * bpp, bpp, uint32_t(k));
    }
    void set_colour(int x, int y, uint32_t v)
    {
        write_element(colours.data() + size_t(map_index(x, y)) * bpp, bpp, v);
    }
    // cloud byte i holds a pattern of i that repeats every 251 bytes
    void fill_clouds_pattern()
    {
        for (size_t i = 0; i < clouds.size; i++)
            clouds.data()[i] = uint8_t(i % 251);
    }

    // one call of a column renderer with the camera's fields, as the frame driver makes it
    void render(column_renderer r, const camera_state &cam) const
    {
        r(cam.x, cam.y, cam.height, cam.horizon, cam.heading, 0, frame.pixels());
    }

private:
    struct saved_state {
        int depth, width, height;
        uint8_t *heights, *colours, *clouds, *frame;
        camera_state cam;
        column_renderer renderer;
    } saved;
};

} // namespace test_support
