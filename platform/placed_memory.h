// placed_memory.h - pixel memory placed at a chosen distance past a page
// boundary. A copy whose destination lies a little past its source's offset
// within a 4 KiB page runs several times slower on common x86-64 processors
// (a load is taken for a dependence on an earlier store to the same low 12
// address bits), so each kind of surface memory starts at its own offset:
// the desktop 1 KiB past a page, off-screen surfaces 3 KiB past one, and
// the window's shared images (shmat) on the page itself. Copies between any
// two kinds then start at least 1 KiB away from aliasing.
//
//   placed_bytes memory(offscreen_placement);
//   memory.assign(pitch * height, 0);   // zeroed, memory.data() % 4096 == 3072
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

constexpr size_t desktop_placement = 1024;
constexpr size_t offscreen_placement = 3072;

struct placed_bytes {
    explicit placed_bytes(size_t placement = 0) : placement_(placement) {}
    placed_bytes(const placed_bytes &other);
    placed_bytes &operator=(const placed_bytes &other);
    placed_bytes(placed_bytes &&other) noexcept;
    placed_bytes &operator=(placed_bytes &&other) noexcept;
    ~placed_bytes() { clear(); }

    // `n` bytes of `value`, in new memory when the size changes
    void assign(size_t n, uint8_t value);
    void clear();
    uint8_t *data() { return data_; }
    const uint8_t *data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint8_t *begin() { return data_; }
    uint8_t *end() { return data_ + size_; }

private:
    size_t placement_ = 0;
    void *block_ = nullptr;
    uint8_t *data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace plat
