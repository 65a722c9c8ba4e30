// state.cpp - the platform's records and their reset.
#include "platform/state.h"

namespace plat {

platform_state state;

void reset_state(const machine_settings &machine) {
    state = platform_state{};
    state.machine = machine;
    reset_system_palette();
}

uintptr_t new_handle() { return state.next_handle += 4; }

window *find_window(HWND hwnd) {
    auto it = state.windows.find(key(hwnd));
    return it == state.windows.end() ? nullptr : &it->second;
}

HWND newest_window() {
    if (state.windows.empty()) return nullptr;
    return handle_of<HWND>(state.windows.rbegin()->first);
}

}  // namespace plat
