// What the sdl backend decides without a window system: which of a window's
// Wayland buffers a frame may be written into and when a frame left out is
// owed, which windows' buffers fit the protocol, when an interrupt waits for
// a step to end, and per video driver whether SDL's window surface is kept
// from being a GL texture.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>

#include "platform/sdl/driver_hints.h"
#include "platform/sdl/interrupt_hold.h"
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

TEST(buffer_ring, a_frame_left_out_is_owed_until_a_buffer_comes_back_and_shows_it) {
    plat::buffer_ring ring = ring_of(2);
    plat::ring_committed(ring, plat::ring_take(ring));
    EXPECT_FALSE(plat::ring_frame_due(ring));  // shown: nothing owed
    plat::ring_committed(ring, plat::ring_take(ring));
    plat::ring_left_out(ring);
    plat::ring_left_out(ring);
    EXPECT_FALSE(plat::ring_frame_due(ring));  // owed, but both still held
    plat::ring_released(ring, 0);
    EXPECT_TRUE(plat::ring_frame_due(ring));
    ASSERT_EQ(plat::ring_take(ring), 0);
    plat::ring_committed(ring, 0);
    // the newest frame went out: a later release owes nothing
    plat::ring_released(ring, 1);
    EXPECT_FALSE(plat::ring_frame_due(ring));
}

TEST(shm_pool_bytes, a_pool_fits_the_protocols_32_bit_sizes_or_is_refused) {
    EXPECT_EQ(plat::shm_pool_bytes(1024, 768, 3), 1024 * 768 * 4 * 3);
    // the largest that fits: 2^31 - 4 bytes; four more are 2^31
    EXPECT_EQ(plat::shm_pool_bytes(1, 536870911, 1), INT32_MAX - 3);
    EXPECT_EQ(plat::shm_pool_bytes(1, 536870912, 1), 0);
    EXPECT_EQ(plat::shm_pool_bytes(16384, 16384, 3), 0);  // 3 GiB
    EXPECT_EQ(plat::shm_pool_bytes(536870912, 1, 1), 0);  // a row longer than 2 GiB
    // products that would wrap 64 bits are refused, not wrapped into range
    EXPECT_EQ(plat::shm_pool_bytes(INT_MAX, INT_MAX, INT_MAX), 0);
    EXPECT_EQ(plat::shm_pool_bytes(0, 768, 3), 0);
    EXPECT_EQ(plat::shm_pool_bytes(1024, -1, 3), 0);
}

TEST(interrupt_hold, a_signal_in_a_step_waits_for_its_end_and_none_starts_while_ending) {
    plat::interrupt_hold h;
    // outside a step the handler acts at once, and no step starts after it
    EXPECT_FALSE(plat::hold_defers(h, SIGINT));
    EXPECT_FALSE(plat::hold_begin(h));

    plat::interrupt_hold quiet;
    ASSERT_TRUE(plat::hold_begin(quiet));
    EXPECT_EQ(plat::hold_end(quiet), 0);

    plat::interrupt_hold cut;
    ASSERT_TRUE(plat::hold_begin(cut));
    EXPECT_TRUE(plat::hold_defers(cut, SIGTERM));
    EXPECT_TRUE(plat::hold_defers(cut, SIGHUP));  // a second one too
    EXPECT_EQ(plat::hold_end(cut), SIGHUP);
    // the step's end has taken it: the next handler acts itself
    EXPECT_FALSE(plat::hold_defers(cut, SIGINT));
}

TEST(driver_hints, only_x11_keeps_sdl_from_its_gl_texture) {
    EXPECT_TRUE(plat::framebuffer_acceleration_off("x11"));
    // SDL2's Wayland driver has no window surface but the texture
    EXPECT_FALSE(plat::framebuffer_acceleration_off("wayland"));
    EXPECT_FALSE(plat::framebuffer_acceleration_off("kmsdrm"));
    EXPECT_FALSE(plat::framebuffer_acceleration_off(""));
}

}  // namespace
