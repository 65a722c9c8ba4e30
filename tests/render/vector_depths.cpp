// The four depth variants of the vector renderer draw one picture: with
// colour maps that hold the same colour at every depth, each pixel of every
// frame names the same colour.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "support/terrain_world.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

namespace {

constexpr column_renderer vector_renderers[4] = {render_vector_8, render_vector_16, render_vector_24,
                                                 render_vector_32};

// A palette of 255 colours (index 0 is the sky). The element for palette
// index i at each depth: i itself at 8 bits, a 5-6-5 word at 16 bits (the
// three fields are distinct for each i), bytes i, 255 - i, i ^ 0x5A at 24
// bits, and the same three bytes with a fourth at 32 bits.
uint32_t element(int depth, uint32_t i)
{
    switch (depth) {
    case 0: return i;
    case 1: return (i >> 3) << 11 | (i & 63) << 5 | (i * 7 & 31);
    case 2: return i | (255 - i) << 8 | (i ^ 0x5A) << 16;
    default: return i | (255 - i) << 8 | (i ^ 0x5A) << 16 | 0x80000000u;
    }
}

uint8_t palette_index_of_cell(unsigned k) { return uint8_t(1 + (k * 2654435761u >> 7) % 255); }

std::unique_ptr<terrain_world> render_at_depth(int depth, const camera_state &cam)
{
    auto w = std::make_unique<terrain_world>(200, 150, depth);
    for (int iy = 0; iy < 512; ++iy)
        for (int ix = 0; ix < 512; ++ix)
            w->set_height(ix, iy,
                          uint8_t(120 + 60 * std::sin(ix * 0.07) * std::cos(iy * 0.05) + (ix * iy) % 17));
    for (unsigned k = 0; k < 512 * 512; ++k)
        test_support::write_element(w->colours.data() + size_t(k) * w->bpp, w->bpp,
                                    element(depth, palette_index_of_cell(k)));
    w->frame.fill_sky(element(depth, 0));
    w->render(vector_renderers[depth], cam);
    return w;
}

} // namespace

TEST(vector_depths, four_depths_draw_the_same_colours_pixel_for_pixel)
{
    const camera_state cameras[] = {{256, 264, 1800, 60, 480, 8}, {-37, 901, 2100, 40, 1777, 8},
                                    {4000, -3000, 1500, 75, 5, 8}};
    for (const camera_state &cam : cameras) {
        SCOPED_TRACE(cam.heading);
        std::array<std::unique_ptr<terrain_world>, 4> frames;
        // each world installs itself over the previous one; the array
        // releases them in reverse order, which restores the state in turn
        for (int depth = 0; depth < 4; ++depth)
            frames[depth] = render_at_depth(depth, cam);
        long terrain_pixels = 0;
        for (int r = 0; r < 150; ++r)
            for (int c = 0; c < 200; ++c) {
                uint32_t index = frames[0]->frame.pixel(r, c);
                terrain_pixels += index != 0;
                for (int depth = 1; depth < 4; ++depth)
                    ASSERT_EQ(frames[depth]->frame.pixel(r, c), element(depth, index))
                        << "depth " << depth << " row " << r << " column " << c;
            }
        EXPECT_GT(terrain_pixels, 150 * 200 / 4);
        EXPECT_LT(terrain_pixels, 150 * 200);
    }
}
