// What the sdl backend decides without a window system: which of a window's
// Wayland buffers a frame may be written into, and per video driver whether
// SDL's window surface is kept from being a GL texture.
#include <gtest/gtest.h>

#include "platform/sdl/driver_hints.h"
#include "platform/sdl/wayland/buffer_ring.h"

namespace {

plat::buffer_ring ring_of(int count) {
    plat::buffer_ring ring;
    ring.count = count;
    return ring;
}

TEST(buffer_ring, a_committed_buffer_is_never_written_before_its_release) {
    plat::buffer_ring ring = ring_of(3);
    for (int frame = 0; frame < 3; frame++) {
        const int k = plat::ring_take(ring);
        ASSERT_GE(k, 0);
        plat::ring_committed(ring, k);
    }
    // all three held: nothing may be written, however often it is asked
    EXPECT_EQ(plat::ring_take(ring), -1);
    EXPECT_EQ(plat::ring_take(ring), -1);
    plat::ring_released(ring, 1);
    EXPECT_EQ(plat::ring_take(ring), 1);
    plat::ring_committed(ring, 1);
    EXPECT_EQ(plat::ring_take(ring), -1);
}

TEST(buffer_ring, the_free_buffer_committed_longest_ago_comes_first) {
    plat::buffer_ring ring = ring_of(3);
    // committed in the order 0, 1, 2, then released out of order
    for (int k : {0, 1, 2}) {
        ASSERT_EQ(plat::ring_take(ring), k);
        plat::ring_committed(ring, k);
    }
    plat::ring_released(ring, 2);
    plat::ring_released(ring, 0);
    EXPECT_EQ(plat::ring_take(ring), 0);
    plat::ring_committed(ring, 0);
    EXPECT_EQ(plat::ring_take(ring), 2);
}

TEST(buffer_ring, buffers_beyond_the_count_are_never_handed_out) {
    plat::buffer_ring ring = ring_of(2);
    plat::ring_committed(ring, plat::ring_take(ring));
    plat::ring_committed(ring, plat::ring_take(ring));
    EXPECT_EQ(plat::ring_take(ring), -1);
}

TEST(driver_hints, only_x11_keeps_sdl_from_its_gl_texture) {
    EXPECT_TRUE(plat::framebuffer_acceleration_off("x11"));
    // SDL2's Wayland driver has no window surface but the texture
    EXPECT_FALSE(plat::framebuffer_acceleration_off("wayland"));
    EXPECT_FALSE(plat::framebuffer_acceleration_off("kmsdrm"));
    EXPECT_FALSE(plat::framebuffer_acceleration_off(""));
}

}  // namespace
