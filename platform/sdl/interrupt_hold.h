// interrupt_hold.h - a stretch of the program that an ending signal must not
// cut in two (a shared memory segment made and its id not yet recorded), on
// whatever thread the signal's handler runs. Masking the signal would hold
// it back only in the thread that masks it; instead the handler and the
// stretch agree through one atomic word:
//
//   if (!hold_begin(h)) ...          // the program is already ending: skip
//   ... the step ...
//   if (int s = hold_end(h)) ...     // signal s came meanwhile: end now
//
// and in the handler, on any thread:
//
//   if (hold_defers(h, signal_number)) return;  // hold_end acts on it
//   ... end the program ...
//
// A handler that finds no hold marks the program as ending, so that no
// stretch starts behind its back while it ends the program.
#pragma once
#include <atomic>

namespace plat {

struct interrupt_hold {
    // 0: open; held: in a stretch; held + s: in a stretch, signal s came;
    // ending: a handler is ending the program
    std::atomic<int> word{0};
    static constexpr int held = 1, ending = -1;
    static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch a lock-free word");
};

inline bool hold_begin(interrupt_hold &h) {
    int open = 0;
    return h.word.compare_exchange_strong(open, interrupt_hold::held);
}

// The signal that came during the stretch, or 0.
inline int hold_end(interrupt_hold &h) {
    const int was = h.word.exchange(0);
    return was > interrupt_hold::held ? was - interrupt_hold::held : 0;
}

// For the handler: true when a stretch is under way, which then ends the
// program itself; false when the handler is to end it now.
inline bool hold_defers(interrupt_hold &h, int signal_number) {
    int now = h.word.load();
    for (;;) {
        if (now == interrupt_hold::ending) return false;
        if (now == 0) {
            if (h.word.compare_exchange_weak(now, interrupt_hold::ending)) return false;
            continue;
        }
        if (h.word.compare_exchange_weak(now, interrupt_hold::held + signal_number)) return true;
    }
}

}  // namespace plat
