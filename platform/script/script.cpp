// script.cpp - the scriptable backend: a clock and input in the test's
// hands, injected failures, and records of boxes, captions and frames.
#include "platform/script/script.h"

#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/ddraw_internal.h"
#include "platform/settings.h"
#include "platform/state.h"

namespace plat {
namespace {

struct planned_action {
    uint32_t time;
    uint64_t order;
    std::function<void()> action;
};

struct failure_plan {
    int first, last;  // call numbers (counted over the session) that fail
    HRESULT code;
};

struct script_record {
    bool active = false;
    script_settings settings;
    uint32_t clock = 0;
    // The performance counter, in microseconds; it moves with `clock`, and
    // `fraction` is how far (0 to 999) it has gone past clock's millisecond.
    uint64_t counter = 0;
    uint32_t fraction = 0;
    uint64_t next_order = 0;
    std::vector<planned_action> plan;
    std::array<std::vector<failure_plan>, (size_t)script_op::count> failures;
    std::array<int, (size_t)script_op::count> calls{};
    std::vector<script_box> boxes;
    std::vector<script_caption> captions;
    std::deque<script_frame> frames;
    int frame_count = 0;
    bool exited = false, stalled = false;
    std::vector<uint8_t> desktop;  // the desktop memory, with settings.shared_desktop
};

script_record script;

// Thrown by ExitProcess, caught by script_run.
struct script_exit_signal {
    int status;
};

machine_settings machine_of(const script_settings &s) {
    machine_settings m;
    m.locale_id = s.locale_id;
    m.version = s.version;
    m.display_bits = s.display_bits;
    m.display_555 = s.display_555;
    m.desktop_width = s.desktop_width;
    m.desktop_height = s.desktop_height;
    m.module_path = s.module_path;
    return m;
}

void plan_action(uint32_t time, std::function<void()> action) {
    script.plan.push_back(planned_action{time, script.next_order++, std::move(action)});
}

// The earliest planned action, or plan.end().
std::vector<planned_action>::iterator earliest_action() {
    return std::min_element(script.plan.begin(), script.plan.end(),
                            [](const planned_action &a, const planned_action &b) {
                                return a.time != b.time ? a.time < b.time : a.order < b.order;
                            });
}

void apply_input(script_input input) {
    HWND hwnd = newest_window();
    if (!hwnd) return;
    switch (input) {
    case script_input::escape:
        post_message(hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        post_message(hwnd, WM_KEYUP, VK_ESCAPE, (LPARAM)0xC0010001u);
        break;
    case script_input::close: post_message(hwnd, WM_CLOSE, 0, 0); break;
    case script_input::minimise: window_minimise(hwnd); break;
    case script_input::maximise:
        window_maximise(hwnd, state.machine.desktop_width,
                        state.machine.desktop_height - PLATFORM_CAPTION_HEIGHT);
        break;
    case script_input::restore: window_restore(hwnd); break;
    case script_input::paint: window_invalidate(hwnd); break;
    }
}

// The clock forward by whole milliseconds; the counter keeps its fraction.
void clock_forward(uint32_t ms) {
    script.clock += ms;
    script.counter += (uint64_t)ms * 1000u;
}

// The clock to a time (back or forward, the shorter way round its wrap); the
// counter to the start of that millisecond.
void clock_set(uint32_t ms) {
    const int64_t moved = (int64_t)(int32_t)(ms - script.clock) * 1000 - script.fraction;
    script.counter += (uint64_t)moved;
    script.fraction = 0;
    script.clock = ms;
}

// The counter forward; the clock follows by the milliseconds completed.
void counter_forward(uint64_t us) {
    const uint64_t total = script.fraction + us;
    script.counter += us;
    script.clock += (uint32_t)(total / 1000u);
    script.fraction = (uint32_t)(total % 1000u);
}

// ---- the backend's operations ----------------------------------------------------

void script_pump() {
    // run every planned action that is due, in time order
    for (;;) {
        auto next = earliest_action();
        if (next == script.plan.end() || next->time > script.clock) return;
        std::function<void()> action = std::move(next->action);
        script.plan.erase(next);
        action();
    }
}

void script_exit(int status) {
    script.exited = true;
    throw script_exit_signal{status};
}

void script_wait() {
    auto next = earliest_action();
    if (next == script.plan.end()) {
        script.stalled = true;
        script_exit(script_stall_status);
    }
    if (next->time > script.clock) clock_set(next->time);
    script_pump();
}

void script_idle() {
    if (script.settings.on_idle) script.settings.on_idle();
}

void script_message_box(const box_request &request) {
    script_box box{(int)script.boxes.size(), request.caption, request.text,
                   request.caption_utf8, request.text_utf8, request.type,
                   request.owner, script.clock};
    script.boxes.push_back(box);
    if (script.settings.on_message_box) script.settings.on_message_box(box);
    // while the box is up its own loop still paints the windows
    paint_pending_windows();
}

void script_caption_changed(HWND, window &w) {
    uint32_t code_page = code_page_of_locale(state.machine.locale_id);
    script.captions.push_back(
        script_caption{w.caption, code_page_to_utf8(w.caption.c_str(), code_page), script.clock});
}

bool script_presented(HWND, window &w) {
    const machine_settings &m = state.machine;
    script_frame frame;
    frame.index = script.frame_count++;
    frame.time = script.clock;
    frame.width = w.client.right - w.client.left;
    frame.height = w.client.bottom - w.client.top;
    frame.bits_per_pixel = m.display_bits;
    frame.is_555 = m.display_555;
    frame.system_palette = state.system_palette;

    // the desktop under the client area; what lies off the desktop is zero
    int bpp = bytes_per_pixel(m.display_bits);
    frame.pixels.assign((size_t)frame.width * frame.height * bpp, 0);
    const uint8_t *desktop = desktop_memory();
    for (int y = 0; y < frame.height; y++) {
        int dy = w.client.top + y;
        if (dy < 0 || dy >= m.desktop_height) continue;
        for (int x = 0; x < frame.width; x++) {
            int dx = w.client.left + x;
            if (dx < 0 || dx >= m.desktop_width) continue;
            memcpy(&frame.pixels[((size_t)y * frame.width + x) * bpp],
                   desktop + (size_t)dy * state.desktop_pitch + (size_t)dx * bpp, bpp);
        }
    }
    if (script.settings.on_present) script.settings.on_present(frame);
    if (script.settings.frames_kept > 0) {
        script.frames.push_back(std::move(frame));
        while (script.frames.size() > script.settings.frames_kept) script.frames.pop_front();
    }
    return script.settings.window_system_shows;
}

void no_window_change(HWND, window &) {}

uint32_t script_milliseconds(bool reading) {
    uint32_t now = script.clock;
    if (reading) clock_forward(script.settings.clock_step);
    return now;
}

void script_sleep(uint32_t ms) { clock_forward(ms); }

bool script_call_fails(script_op op, HRESULT *code) {
    int call = script.calls[(size_t)op]++;
    for (const failure_plan &f : script.failures[(size_t)op]) {
        if (call >= f.first && call <= f.last) {
            *code = f.code;
            return true;
        }
    }
    return false;
}

}  // namespace

uint64_t script_fine_clock() {
    const uint64_t now = script.counter;
    counter_forward(script.settings.counter_step);
    return now;
}

uint8_t *script_desktop_memory(size_t bytes) {
    script.desktop.clear();
    if (bytes == 0 || !script.settings.shared_desktop) return nullptr;
    script.desktop.assign(bytes, 0);
    return script.desktop.data();
}

void script_desktop_writing() {
    if (script.settings.on_desktop_write) script.settings.on_desktop_write();
}

const platform_backend script_backend = {
    "script",
    script_pump,
    script_wait,
    script_idle,
    script_message_box,
    no_window_change,
    no_window_change,
    script_caption_changed,
    no_window_change,
    script_presented,
    script_milliseconds,
    script_fine_clock,
    1000000u,  // the counter counts microseconds
    script_sleep,
    script_exit,
    script_call_fails,
    script_desktop_memory,
    script_desktop_writing,
    nullptr,
};

}  // namespace plat

using namespace plat;

// ---- the test's side ---------------------------------------------------------------

void script_start(const script_settings &settings) {
    script = script_record{};
    script.active = true;
    script.settings = settings;
    script.clock = settings.start_time;
    script.counter = (uint64_t)settings.start_time * 1000u;
    reset_state(machine_of(settings));
    backend_use(&script_backend);
}

void script_stop() {
    script = script_record{};
    reset_state(machine_settings{});
    backend_use(nullptr);
}

bool script_active() { return script.active; }

int script_run(const std::function<int()> &entry) {
    script.exited = false;
    script.stalled = false;
    try {
        return entry();
    } catch (const script_exit_signal &signal) {
        return signal.status;
    }
}

bool script_exited() { return script.exited; }
bool script_stalled() { return script.stalled; }

uint32_t script_time() { return script.clock; }
void script_set_time(uint32_t ms) { clock_set(ms); }
void script_advance(uint32_t ms) { clock_forward(ms); }
void script_set_clock_step(uint32_t ms) { script.settings.clock_step = ms; }
uint64_t script_counter() { return script.counter; }
void script_advance_counter(uint64_t us) { counter_forward(us); }

void script_queue(script_input input) {
    plan_action(0, [input] { apply_input(input); });
}

void script_at(uint32_t time, script_input input) {
    plan_action(time, [input] { apply_input(input); });
}

void script_at(uint32_t time, std::function<void()> action) { plan_action(time, std::move(action)); }

void script_set_locale(uint32_t locale_id) { state.machine.locale_id = locale_id; }

void script_change_display_mode(int bits, bool is_555) {
    display_set_mode(bits, is_555);
    for (auto &[id, s] : state.surfaces) s.lost = true;
}

void script_lose_surfaces(unsigned which) {
    for (auto &[id, s] : state.surfaces)
        if ((s.primary && (which & script_primary)) || (!s.primary && (which & script_offscreen)))
            s.lost = true;
}

void script_fail(script_op op, HRESULT code, int skip, int times) {
    int first = script.calls[(size_t)op] + skip;
    script.failures[(size_t)op].push_back(failure_plan{first, first + times - 1, code});
}

int script_calls(script_op op) { return script.calls[(size_t)op]; }

const std::vector<script_box> &script_boxes() { return script.boxes; }
const std::vector<script_caption> &script_captions() { return script.captions; }
const std::deque<script_frame> &script_frames() { return script.frames; }
int script_frame_count() { return script.frame_count; }

std::vector<uint8_t> script_desktop_pixels() {
    const uint8_t *desktop = desktop_memory();
    return std::vector<uint8_t>(desktop, desktop + (size_t)state.desktop_pitch * state.machine.desktop_height);
}

std::array<PALETTEENTRY, 256> script_system_palette() { return state.system_palette; }

HWND script_main_window() { return newest_window(); }

std::string script_window_caption(HWND hwnd) {
    window *w = find_window(hwnd);
    return w ? w->caption : std::string();
}

bool script_window_visible(HWND hwnd) {
    window *w = find_window(hwnd);
    return w && w->visible;
}

bool script_window_minimised(HWND hwnd) {
    window *w = find_window(hwnd);
    return w && w->minimised;
}

int script_live_direct_draw_objects() {
    return (int)(state.displays.size() + state.surfaces.size() + state.clippers.size());
}

int script_live_gdi_objects() { return (int)(state.dcs.size() + state.palettes.size()); }
