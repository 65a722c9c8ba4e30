// buffer_ring.h - which of a window's buffers the next frame may be written
// into. A buffer handed to the compositor is held by it until it says it
// has let go (wl_buffer.release); only a buffer let go of may be written
// again, so the compositor never shows one half written. Of the free ones
// the ring gives the one committed longest ago.
//
//   int k = ring_take(ring);        // -1: every buffer is still held
//   ... write buffer k ...
//   ring_committed(ring, k);        // attached and committed
//   ring_released(ring, k);         // its release event came
//
// The program never waits for a release: a frame that finds every buffer
// held is left out (ring_left_out), and the window owes the screen its
// newest picture until a buffer comes free (ring_frame_due); the picture
// it then draws is the newest, so the screen never ends on a stale one.
#pragma once
#include <array>
#include <climits>
#include <cstdint>

namespace plat {

constexpr int ring_most_buffers = 4;

struct buffer_ring {
    int count = 0;  // buffers in use, at most ring_most_buffers
    std::array<bool, ring_most_buffers> held{};
    std::array<uint64_t, ring_most_buffers> committed_at{};
    uint64_t commits = 0;
    bool frame_owed = false;  // a frame was left out since the last commit
};

inline int ring_take(const buffer_ring &ring) {
    int best = -1;
    for (int k = 0; k < ring.count; k++)
        if (!ring.held[k] && (best < 0 || ring.committed_at[k] < ring.committed_at[best])) best = k;
    return best;
}

inline void ring_committed(buffer_ring &ring, int k) {
    ring.held[k] = true;
    ring.committed_at[k] = ++ring.commits;
    ring.frame_owed = false;
}

inline void ring_released(buffer_ring &ring, int k) { ring.held[k] = false; }

inline void ring_left_out(buffer_ring &ring) { ring.frame_owed = true; }

// True when a frame was left out and a buffer is free to show it now.
inline bool ring_frame_due(const buffer_ring &ring) { return ring.frame_owed && ring_take(ring) >= 0; }

// The bytes of one pool of `buffers` XRGB8888 pictures of width x height,
// or 0 when the pool's size, a picture's offset in it or its row length
// would not fit the protocol's signed 32-bit numbers (or a size is not
// positive).
inline int32_t shm_pool_bytes(int width, int height, int buffers) {
    if (width <= 0 || height <= 0 || buffers <= 0) return 0;
    // each product of numbers below 2^31 and checked before the next one
    const uint64_t pitch = (uint64_t)width * 4;
    if (pitch > INT32_MAX) return 0;
    const uint64_t one = pitch * (uint64_t)height;
    if (one > INT32_MAX) return 0;
    const uint64_t bytes = one * (uint64_t)buffers;
    return bytes <= INT32_MAX ? (int32_t)bytes : 0;
}

}  // namespace plat
