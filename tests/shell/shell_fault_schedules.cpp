// shell_fault_schedules.cpp - whole voxel runs under random fault schedules.
//
// Each run draws from its seed: failures of every operation the scriptable
// platform can fail (persistent ones too), lost surfaces, display mode changes
// to every depth, minimising, maximising and restoring, paints at random times
// and while a box is open, Escape at a random time (or none). Every run must
// end with a status the program knows (0, 1, -1), without waiting for input
// that never comes, and with every DirectDraw object, device context and
// palette released.
//
//   FAULT_SEEDS=first:count   the seeds to run (default 1:120)
//
// A failing seed is named with the command that runs it alone. A run that
// hangs (over 30 s) or dies (a sanitizer report, a crash) names its seed on
// standard error before the process ends.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include "tests/shell/demo_session.h"

using namespace shell_test;

namespace {

// ---- naming the seed of a run that dies ------------------------------------------

char seed_notice[256];
size_t seed_notice_length;

void say_seed() {
    if (seed_notice_length && write(2, seed_notice, seed_notice_length) < 0)
        return;
}

void on_fatal_signal(int signal_number) {
    say_seed();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void on_hang(int) {
    static const char hung[] = "fault schedule: the run took over 30 s\n";
    if (write(2, hung, sizeof hung - 1) < 0)
        _exit(124);
    say_seed();
    _exit(124);
}

void watch_for_death() {
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(say_seed);
#else
    // a stack overflow needs a stack of its own to report on
    static char alternate_stack[64 * 1024];
    stack_t stack = {};
    stack.ss_sp = alternate_stack;
    stack.ss_size = sizeof alternate_stack;
    sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_handler = on_fatal_signal;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    for (int s : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
        sigaction(s, &action, nullptr);
#endif
    std::signal(SIGALRM, on_hang);
}

std::string rerun_command(unsigned seed) {
    return "FAULT_SEEDS=" + std::to_string(seed) +
           ":1 tests/shell/test_shell --gtest_filter='fault_schedules.*'";
}

// ---- the schedule ------------------------------------------------------------------

struct schedule_rng {
    std::mt19937 engine;
    unsigned below(unsigned n) { return unsigned(engine() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
};

const HRESULT failure_codes[] = {DDERR_GENERIC,      DDERR_SURFACEBUSY,   DDERR_SURFACELOST,
                                 DDERR_WRONGMODE,    DDERR_INVALIDPARAMS, DDERR_OUTOFMEMORY,
                                 DDERR_INVALIDOBJECT, DDERR_NOTLOCKED,    DDERR_INVALIDRECT};

struct display_mode {
    int bits;
    bool is_555;
};
// every depth the program takes, and one it refuses
const display_mode display_modes[] = {{8, false},  {16, false}, {16, true},
                                      {24, false}, {32, false}, {15, false}};

display_mode any_mode(schedule_rng &rng) {
    // the refused depth ends the run, so it comes rarely
    return display_modes[rng.chance(5) ? 5 : rng.below(5)];
}

// the operations of every frame, which fail more often than the others
const script_op frame_ops[] = {script_op::lock, script_op::unlock, script_op::blt,
                               script_op::restore};

// Some calls of a random operation fail; a third of them for good.
void plan_failure(schedule_rng &rng) {
    const script_op op = rng.chance(50) ? frame_ops[rng.below(std::size(frame_ops))]
                                        : script_op(rng.below(unsigned(script_op::count)));
    const HRESULT code = failure_codes[rng.below(std::size(failure_codes))];
    const int skip = int(rng.below(60));
    const int times = rng.chance(33) ? 100000 : 1 + int(rng.below(4));
    script_fail(op, code, skip, times);
}

// Something the machine or the user does to the demo window, if it is shown.
void disturb(schedule_rng &rng) {
    const HWND window = script_main_window();
    switch (rng.below(8)) {
    case 0: script_lose_surfaces(1 + rng.below(3)); break;
    case 1: {
        const display_mode mode = any_mode(rng);
        script_change_display_mode(mode.bits, mode.is_555);
        break;
    }
    case 2: if (window && script_window_visible(window)) ShowWindow(window, SW_MINIMIZE); break;
    case 3: if (window && script_window_visible(window)) ShowWindow(window, SW_SHOWMAXIMIZED); break;
    case 4: if (window && script_window_visible(window)) ShowWindow(window, SW_RESTORE); break;
    default: if (window) InvalidateRect(window, NULL, FALSE); break;
    }
}

const script_input planned_inputs[] = {script_input::minimise, script_input::maximise,
                                       script_input::restore, script_input::paint};

// Events at random times over the run's first 20 s, Escape at a random time
// or never; a last Escape far on, so that a minimised window left alone
// still lets the run end.
void plan_events(schedule_rng &rng, uint32_t start) {
    const unsigned events = rng.below(14);
    for (unsigned i = 0; i < events; ++i) {
        const uint32_t at = start + rng.below(20000);
        if (rng.chance(50))
            script_at(at, planned_inputs[rng.below(std::size(planned_inputs))]);
        else
            script_at(at, [seed = rng.engine()] {
                schedule_rng own{std::mt19937(seed)};
                disturb(own);
            });
    }
    if (rng.chance(40))
        script_at(start + rng.below(20000), script_input::escape);
    script_at(start + 200000, script_input::escape);
}

// ---- one run -----------------------------------------------------------------------

struct run_outcome {
    int status;
    bool stalled;
    int live_direct_draw, live_gdi;
};

run_outcome run_schedule(unsigned seed) {
    schedule_rng rng{std::mt19937(seed)};
    script_settings settings;
    const display_mode first = any_mode(rng);
    settings.display_bits = first.bits;
    settings.display_555 = first.is_555;
    settings.start_time = 1000 + rng.below(1000);
    const uint32_t clock_steps[] = {1, 40, 120, 250, 400, 700};
    settings.clock_step = clock_steps[rng.below(std::size(clock_steps))];
    settings.frames_kept = 0;

    // the hooks draw from a generator of their own, so the plan made before
    // the run does not depend on what the program does
    auto reactions = std::make_shared<schedule_rng>(schedule_rng{std::mt19937(seed ^ 0x9e3779b9u)});
    const unsigned box_reaction = rng.below(90);
    settings.on_message_box = [reactions, box_reaction](const script_box &) {
        if (reactions->chance(box_reaction))
            disturb(*reactions);
        if (reactions->chance(box_reaction / 3))
            disturb(*reactions);
    };
    settings.on_idle = [reactions, passes = 0]() mutable {
        if (reactions->chance(20))
            script_advance(reactions->below(800));
        if (reactions->chance(2))
            disturb(*reactions);
        // a run that never ends on its own is ended by the user
        if (++passes == 20000 || script_boxes().size() == 400)
            script_queue(script_input::escape);
    };
    settings.on_present = [](const script_frame &f) {
        if (f.index == 4000)
            script_queue(script_input::escape);
    };

    script_start(settings);
    const unsigned failures = rng.below(5);
    for (unsigned i = 0; i < failures; ++i)
        plan_failure(rng);
    plan_events(rng, settings.start_time);

    const int status = script_run([] { return run_demo(GetModuleHandleA(NULL), SW_SHOWNORMAL); });
    const run_outcome outcome{status, script_stalled(), script_live_direct_draw_objects(),
                              script_live_gdi_objects()};
    script_stop();
    return outcome;
}

// The seeds of FAULT_SEEDS ("first:count"), or the fixed set.
void seed_range(unsigned *first, unsigned *count) {
    *first = 1;
    *count = 120;
    if (const char *seeds = std::getenv("FAULT_SEEDS"))
        if (std::sscanf(seeds, "%u:%u", first, count) != 2)
            ADD_FAILURE() << "FAULT_SEEDS is not first:count: " << seeds;
}

} // namespace

TEST(fault_schedules, every_run_ends_with_a_known_status_and_everything_released) {
    test_support::scratch_directory directory;
    write_landscape();
    watch_for_death();

    unsigned first, count;
    seed_range(&first, &count);
    int failed = 0;
    for (unsigned seed = first; seed - first < count && failed < 5; ++seed) {
        seed_notice_length = size_t(std::snprintf(seed_notice, sizeof seed_notice,
                                                  "fault schedule: seed %u ended the process; "
                                                  "run it alone with %s\n",
                                                  seed, rerun_command(seed).c_str()));
        seed_notice_length = std::min(seed_notice_length, sizeof seed_notice - 1);
        alarm(30);
        const run_outcome r = run_schedule(seed);
        alarm(0);

        const bool known_status = r.status == 0 || r.status == 1 || r.status == -1;
        if (!known_status || r.stalled || r.live_direct_draw != 0 || r.live_gdi != 0) {
            ++failed;
            ADD_FAILURE() << "seed " << seed << ": status " << r.status
                          << (r.stalled ? " (waited for input that never came)" : "")
                          << ", live DirectDraw objects " << r.live_direct_draw
                          << ", live GDI objects " << r.live_gdi << "\n  run it alone: "
                          << rerun_command(seed);
        }
    }
    seed_notice_length = 0;
}
