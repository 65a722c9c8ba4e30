// bitmap_bytes.h - little-endian fields of bitmap headers, read from bytes.
#pragma once
#include <cstdint>

inline uint16_t get_u16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get_u32(const uint8_t *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t get_i32(const uint8_t *p) { return int32_t(get_u32(p)); }
