// demo_startup.cpp - the program from its checks to the message loop.
#include "voxel/shell/shell.h"

#include "common/checks.h"
#include "voxel/display/bitmap.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/terrain.h"
#include "voxel/render/terrain_check.h"
#include "voxel/shell/demo_loop.h"
#include "voxel/shell/frame_rate.h"
#include "voxel/shell/shell_messages.h"

int window_active = 1;
HWND main_window;

constexpr DWORD window_style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
// The outer size is computed as for a caption and system menu alone.
constexpr DWORD frame_style = WS_CAPTION | WS_SYSMENU;
constexpr INT arrow_cursor = 0x7F00;

// The state a new process starts with, so that a second run in one process
// (as tests make) begins like the first.
static void reset_demo_state() {
    vector_phase = 0;
    window_active = 1;
    pixel_format_555 = 0;
    main_window = NULL;
    frame_under_way = false;
    camera = camera_start;
    reset_frame_rates();
}

static WNDCLASSA demo_window_class(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = demo_window_proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "BLURME");   // the program carries none: no icon
    wc.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(arrow_cursor));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_MENUTEXT + 1));
    wc.lpszMenuName = NULL;
    wc.lpszClassName = "BLURME";
    return wc;
}

// Operating system first, then the vector unit; a failure ends the process.
static void run_startup_checks(unsigned language) {
    if (check_operating_system() == 0) {
        show_catalogue_box(language, slot::system_unsupported, MB_ICONINFORMATION);
        ExitProcess(1);
    }
    if (check_vector_unit() != 1) {
        show_catalogue_box(language, slot::vector_unit_failed, MB_ICONERROR);
        ExitProcess(1);
    }
    show_catalogue_box(language, slot::vector_unit_enabled, MB_ICONINFORMATION);
}

// The window at (0, 0) whose client area is width x height; NULL on failure.
static HWND create_demo_window(HINSTANCE instance, int32_t width, int32_t height) {
    RECT rect = {0, 0, width, height};
    if (!AdjustWindowRect(&rect, frame_style, FALSE))
        return NULL;
    return CreateWindowExA(0, "BLURME", "Voxel Demo", window_style, 0, 0,
                           rect.right - rect.left, rect.bottom - rect.top, NULL, NULL,
                           instance, NULL);
}

int run_demo(HINSTANCE instance, int show_command) {
    reset_demo_state();
    const WNDCLASSA wc = demo_window_class(instance);

    // checks, in the language of the system's locale
    const unsigned language = select_language();
    current_messages = voxel_messages[language];
    run_startup_checks(language);

    // the data files, found before anything is made
    locate_data(language);

    // class and window; the height map's size is the client size
    if (!RegisterClassA(&wc))
        return 0;
    int32_t width = 0, height = 0;
    const int read = read_bitmap_size(data_file("heightd2.bmp").c_str(), &width, &height);
    if (read != 0) {
        show_unreadable_data_box(language, data_file("heightd2.bmp"), bitmap_failure_reason(read));
        ExitProcess(UINT(-1));
    }
    const HWND window = create_demo_window(instance, width, height);
    if (!window)
        return 0;
    main_window = window;

    // the standard phase's clock includes the loading of the terrain
    phase_clock clock = start_phase_clock(language);
    if (init_demo(window, width, height) != 0) {
        shutdown_demo();
        ExitProcess(UINT(-1));
    }

    ShowWindow(window, show_command);
    UpdateWindow(window);
    return run_message_loop(clock);
}
