// placed_memory.cpp - page-aligned blocks with the data at its placement.
#include "platform/placed_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace plat {

namespace {
constexpr size_t page = 4096;
}

placed_bytes::placed_bytes(const placed_bytes &other) : placement_(other.placement_) {
    if (!other.empty()) {
        assign(other.size_, 0);
        memcpy(data_, other.data_, size_);
    }
}

placed_bytes &placed_bytes::operator=(const placed_bytes &other) {
    if (this != &other) {
        placed_bytes copy(other);
        *this = std::move(copy);
    }
    return *this;
}

placed_bytes::placed_bytes(placed_bytes &&other) noexcept
    : placement_(other.placement_), block_(other.block_), data_(other.data_), size_(other.size_) {
    other.block_ = nullptr, other.data_ = nullptr, other.size_ = 0;
}

placed_bytes &placed_bytes::operator=(placed_bytes &&other) noexcept {
    if (this != &other) {
        clear();
        placement_ = other.placement_, block_ = other.block_, data_ = other.data_, size_ = other.size_;
        other.block_ = nullptr, other.data_ = nullptr, other.size_ = 0;
    }
    return *this;
}

void placed_bytes::assign(size_t n, uint8_t value) {
    if (n != size_) {
        clear();
        if (n == 0) return;
        const size_t total = (placement_ + n + page - 1) / page * page;
        block_ = aligned_alloc(page, total);
        if (!block_) throw std::bad_alloc();
        data_ = static_cast<uint8_t *>(block_) + placement_;
        size_ = n;
    }
    memset(data_, value, size_);
}

void placed_bytes::clear() {
    free(block_);
    block_ = nullptr, data_ = nullptr, size_ = 0;
}

}  // namespace plat
