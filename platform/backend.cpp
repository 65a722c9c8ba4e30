// backend.cpp - choosing the backend: sdl when the build has SDL2 and SDL
// opens a video device that is not its dummy or offscreen driver (so
// SDL_VIDEODRIVER=dummy means headless), otherwise headless. The machine's
// settings are read from the environment at the same moment. A build for
// the web page has the web backend, and the browser's languages as locale.
#include "platform/backend.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/frame_trace.h"
#include "platform/settings.h"

namespace plat {

static const platform_backend *current_backend = nullptr;

// The machine as the environment describes it.
static machine_settings machine_from_environment() {
    machine_settings machine;
    machine.locale_id = locale_id_from_environment();
    const char *depth = getenv("PLATFORM_DISPLAY_DEPTH");
    if (depth && *depth && !parse_display_depth(depth, &machine.display_bits, &machine.display_555))
        fprintf(stderr, "platform: PLATFORM_DISPLAY_DEPTH=%s is not understood; using 32\n", depth);
    std::error_code ec;
    machine.module_path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    return machine;
}

static void choose_backend() {
    machine_settings machine = machine_from_environment();
    const platform_backend *chosen = &headless_backend;
#ifdef PLATFORM_HAVE_SDL
    if (sdl_backend_open(machine)) chosen = &sdl_backend;
#endif
#ifdef __EMSCRIPTEN__
    machine.locale_id = web_locale_id();
    chosen = &web_backend;
#endif
    reset_state(machine);
    current_backend = chosen;
    frame_trace_from_environment(chosen->name, machine.display_bits);
}

const platform_backend &backend() {
    if (!current_backend) choose_backend();
    return *current_backend;
}

void backend_use(const platform_backend *chosen) { current_backend = chosen; }

bool call_fails(script_op op, HRESULT *code) {
    const platform_backend &b = backend();
    return b.call_fails && b.call_fails(op, code);
}

uint32_t real_milliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)((uint64_t)now.tv_sec * 1000u + (uint64_t)now.tv_nsec / 1000000u);
}

uint64_t real_nanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
}

void real_sleep(uint32_t ms) {
    timespec rest = {(time_t)(ms / 1000), (long)(ms % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0) {
    }
}

}  // namespace plat
