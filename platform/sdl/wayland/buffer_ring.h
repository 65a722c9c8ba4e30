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
#pragma once
#include <array>
#include <cstdint>

namespace plat {

constexpr int ring_most_buffers = 4;

struct buffer_ring {
    int count = 0;  // buffers in use, at most ring_most_buffers
    std::array<bool, ring_most_buffers> held{};
    std::array<uint64_t, ring_most_buffers> committed_at{};
    uint64_t commits = 0;
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
}

inline void ring_released(buffer_ring &ring, int k) { ring.held[k] = false; }

}  // namespace plat
