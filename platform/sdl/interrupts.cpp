// interrupts.cpp - the handlers of interrupts.h.
#include "platform/sdl/interrupts.h"

#include <SDL.h>

#include <unistd.h>

#include <csignal>

#include "platform/sdl/interrupt_hold.h"
#include "platform/sdl/x11/x_shm_present.h"

namespace plat {
namespace {

constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGHUP};
interrupt_hold hold;

// Only what is safe in a handler: a system call or two, and the signal
// again with its default action (it ends the process once unblocked). It
// goes to the process, not to this thread: a hold may end on the presenter
// thread, which blocks every signal.
void end_by(int signal_number) {
    x_shm_remove_pending();
    ::signal(signal_number, SIG_DFL);
    kill(getpid(), signal_number);
}

void on_interrupt(int signal_number) {
    if (hold_defers(hold, signal_number)) return;
    end_by(signal_number);
}

}  // namespace

bool interrupts_hold() { return hold_begin(hold); }

void interrupts_let_through() {
    if (const int signal_number = hold_end(hold)) {
        hold_defers(hold, signal_number);  // marks the program as ending
        end_by(signal_number);
    }
}

void interrupts_keep_from_sdl() { SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); }

void interrupts_end_the_program() {
    for (int s : ending_signals) {
        struct sigaction action = {};
        action.sa_handler = on_interrupt;
        sigemptyset(&action.sa_mask);
        // an interrupt ignored by whoever started the program (nohup) stays so
        struct sigaction before;
        if (sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

}  // namespace plat
