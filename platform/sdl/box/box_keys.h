// box_keys.h - which key strokes answer a message box. Enter, Escape and
// Space answer it when they are let go, and only after a press the box
// itself received: a key held when the box appeared (the press that closed
// the box before, or one typed into the program's window) is let go
// without answering it, and the repeats of a held key are never a press.
// Answering on the release also lets the key go before the box's window
// is destroyed, so that no window system is left with a key it thinks
// still held, repeating into the next window. Pure, so it is tested
// without a display.
#pragma once

namespace plat::box {

enum class answer_key { other, enter, escape, space };

enum class key_effect {
    none,
    press,  // the button is drawn pushed in until the key is let go
    close,  // the box is answered
};

// The answer keys pressed in the box and not yet let go.
struct key_state {
    unsigned held = 0;
};

inline key_effect on_key(key_state &state, answer_key key, bool down, bool repeat) {
    if (key == answer_key::other) return key_effect::none;
    const unsigned bit = 1u << static_cast<int>(key);
    if (down) {
        if (repeat) return key_effect::none;
        state.held |= bit;
        return key == answer_key::escape ? key_effect::none : key_effect::press;
    }
    if (!(state.held & bit)) return key_effect::none;
    state.held &= ~bit;
    return key_effect::close;
}

}  // namespace plat::box
