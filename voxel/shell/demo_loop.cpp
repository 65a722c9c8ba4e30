// demo_loop.cpp - the message loop: messages first, frames whenever the queue
// is empty, and the phase clock looked at before every frame.
#include "voxel/shell/demo_loop.h"

#include "common/checks.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/frame_rate.h"
#include "voxel/shell/shell.h"
#include "voxel/shell/shell_messages.h"

phase_clock start_phase_clock(unsigned language) {
    return {GetTickCount(), false, language};
}

// One idle pass: ends the demo, switches phases, or renders a frame.
static void run_idle_pass(phase_clock &clock) {
    // unsigned, so that the wrap of the tick counter does no harm
    const DWORD elapsed = GetTickCount() - clock.phase_start_tick;

    // the end comes first: no frame in this pass
    if (elapsed >= vector_phase_ms) {
        show_catalogue_box(clock.language_index, slot::vector_completed, MB_ICONINFORMATION);
        print_phase_summary();
        PostQuitMessage(0);
        return;
    }

    // the switch, announced once; the vector phase is timed from the box's dismissal
    if (elapsed > standard_phase_ms) {
        if (!clock.switch_announced) {
            clock.switch_announced = true;
            clock.language_index = select_language();
            show_catalogue_box(clock.language_index, slot::standard_completed, MB_ICONINFORMATION);
            clock.phase_start_tick = GetTickCount();
            // a window closed while the box was open gets no frame: the
            // quit the box posted again ends the demo at the next look
            if (!IsWindow(main_window)) return;
        }
        vector_phase = 1;
    }

    render_frame(main_window);
}

int run_message_loop(phase_clock &clock) {
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                shutdown_demo();
                return int(msg.wParam);
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }

        // minimised: neither render nor look at the clock
        if (!window_active) {
            WaitMessage();
            continue;
        }
        run_idle_pass(clock);
    }
}
