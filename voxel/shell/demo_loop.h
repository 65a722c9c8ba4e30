// demo_loop.h - the message loop and its two timed phases.
#pragma once
#include <windows.h>

struct phase_clock {
    DWORD phase_start_tick;   // GetTickCount at the start of the current phase
    bool switch_announced;    // the standard-completed box was shown
    unsigned language_index;  // record for the phase boxes
};

phase_clock start_phase_clock(unsigned language);
// Runs until the quit message; answers its exit code after shutdown_demo.
int run_message_loop(phase_clock &clock);
