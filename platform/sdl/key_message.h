// key_message.h - the lParam of the key messages the sdl backend posts, as
// Windows fills it: the repeat count (1) in bits 0-15, bit 30 the key's
// state before the message (down for a repeat and for every key-up), bit 31
// the transition (set for a key-up). The scan code bits are left 0.
#pragma once
#include <cstdint>

namespace plat {

constexpr uint32_t key_message_lparam(bool down, bool repeat) {
    if (!down) return 0xC0000001u;
    return repeat ? 0x40000001u : 0x00000001u;
}

}  // namespace plat
