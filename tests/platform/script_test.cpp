// The scriptable backend itself: its clock, planned input, records, hooks,
// injected failures and the end of a run.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include "platform/script/script.h"

namespace {

int paints = 0;

LRESULT CALLBACK painting_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) paints++;
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

HWND make_window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = painting_proc;
    wc.lpszClassName = "SCRIPTED";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "SCRIPTED", "Scripted", 0x00CB0000, 0, 0, 100, 100, NULL,
                                NULL, NULL, NULL);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    return hwnd;
}

struct scripted : ::testing::Test {
    void SetUp() override { paints = 0; }
    void TearDown() override { script_stop(); }
};

TEST_F(scripted, clock_starts_where_asked_and_steps_per_read) {
    script_settings settings;
    settings.start_time = 1000;
    settings.clock_step = 5;
    script_start(settings);
    EXPECT_EQ(GetTickCount(), 1000u);
    EXPECT_EQ(timeGetTime(), 1005u);
    EXPECT_EQ(script_time(), 1010u);
    script_set_clock_step(0);
    EXPECT_EQ(GetTickCount(), 1010u);
    EXPECT_EQ(GetTickCount(), 1010u);
}

TEST_F(scripted, sleep_advances_the_clock_at_once) {
    script_start();
    Sleep(8000);
    EXPECT_EQ(GetTickCount(), 8000u);
    script_advance(2);
    script_set_time(script_time() + 1);
    EXPECT_EQ(timeGetTime(), 8003u);
}

TEST_F(scripted, clock_wraps_at_two_to_the_32) {
    script_settings settings;
    settings.start_time = 0xFFFFFFF0u;
    script_start(settings);
    Sleep(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST_F(scripted, performance_counter_counts_microseconds_with_the_clock) {
    script_settings settings;
    settings.start_time = 1000;
    settings.counter_step = 300;
    script_start(settings);
    LARGE_INTEGER count, rate;
    ASSERT_TRUE(QueryPerformanceFrequency(&rate));
    EXPECT_EQ(rate.QuadPart, 1000000);
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(count.QuadPart, 1000000);
    script_advance_counter(500);   // 300 + 500: the clock is at 1000.8 ms
    EXPECT_EQ(GetTickCount(), 1000u);
    script_advance(2);
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(count.QuadPart, 1002800);
    EXPECT_EQ(GetTickCount(), 1003u);   // the read's 300 completed a millisecond
    script_set_time(5000);
    EXPECT_EQ(script_counter(), 5000000u);
    Sleep(0xFFFFFFFFu - 5000u);   // up to the wrap of the clock, then past it
    EXPECT_EQ(script_counter(), 5000000u + (0xFFFFFFFFull - 5000u) * 1000u);
    Sleep(2);
    EXPECT_EQ(GetTickCount(), 1u);
    EXPECT_EQ(script_counter(), 5000000u + (0xFFFFFFFFull - 4998u) * 1000u);
    EXPECT_FALSE(QueryPerformanceCounter(NULL));
}

TEST_F(scripted, boxes_are_recorded_with_type_time_and_utf8) {
    script_settings settings;
    settings.locale_id = 0x040C;
    settings.start_time = 42;
    script_start(settings);
    EXPECT_EQ(MessageBoxA(NULL, "D\xE9mo\nligne 2", "Erreur 251", MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(NULL, "b", NULL, MB_TASKMODAL | MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(script_boxes().size(), 2u);
    const script_box &first = script_boxes()[0];
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(first.text, "D\xE9mo\nligne 2");
    EXPECT_EQ(first.text_utf8, "Démo\nligne 2");
    EXPECT_EQ(first.caption, "Erreur 251");
    EXPECT_EQ(first.type, (UINT)MB_ICONERROR);
    EXPECT_EQ(first.owner, nullptr);
    EXPECT_EQ(first.time, 42u);
    EXPECT_EQ(script_boxes()[1].caption, "Error");
    EXPECT_EQ(script_boxes()[1].type, 0x2030u);
}

TEST_F(scripted, hook_sees_the_box_while_open_and_can_move_the_clock) {
    script_settings settings;
    std::vector<std::string> seen;
    settings.on_message_box = [&seen](const script_box &box) {
        seen.push_back(box.text);
        script_advance(1500);
    };
    script_start(settings);
    MessageBoxA(NULL, "one", "c", 0);
    EXPECT_EQ(GetTickCount(), 1500u);
    MessageBoxA(NULL, "two", "c", 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(GetTickCount(), 3000u);
}

TEST_F(scripted, paint_queued_while_a_box_is_open_is_dispatched_inside_it) {
    script_settings settings;
    settings.on_message_box = [](const script_box &) { script_queue(script_input::paint); };
    script_start(settings);
    HWND hwnd = make_window();
    ASSERT_EQ(paints, 1);
    InvalidateRect(hwnd, NULL, TRUE);  // as a box covering the window would
    MessageBoxA(NULL, "covering", "c", 0);
    EXPECT_EQ(paints, 2);
}

TEST_F(scripted, escape_queued_during_a_box_reaches_the_window_afterwards) {
    script_settings settings;
    settings.on_message_box = [](const script_box &) { script_queue(script_input::escape); };
    script_start(settings);
    HWND hwnd = make_window();
    MessageBoxA(NULL, "x", "c", 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)VK_ESCAPE);
}

TEST_F(scripted, planned_input_waits_for_its_time) {
    script_start();
    make_window();
    script_at(5000, script_input::close);
    MSG msg;
    script_set_time(4999);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    script_set_time(5000);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
}

TEST_F(scripted, planned_actions_run_in_time_order) {
    script_start();
    std::vector<int> order;
    script_at(30, [&order] { order.push_back(30); });
    script_at(10, [&order] { order.push_back(10); });
    script_at(20, [&order] { order.push_back(20); });
    script_set_time(25);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    EXPECT_EQ(order, (std::vector<int>{10, 20}));
}

TEST_F(scripted, wait_message_jumps_the_clock_to_the_next_planned_input) {
    script_start();
    HWND hwnd = make_window();
    script_queue(script_input::minimise);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    script_at(7000, script_input::restore);
    WaitMessage();
    EXPECT_EQ(script_time(), 7000u);
    EXPECT_FALSE(IsIconic(hwnd));
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
}

TEST_F(scripted, waiting_for_input_that_never_comes_ends_the_run) {
    script_start();
    int status = script_run([] {
        WaitMessage();
        return 99;
    });
    EXPECT_EQ(status, script_stall_status);
    EXPECT_TRUE(script_stalled());
    EXPECT_TRUE(script_exited());
}

TEST_F(scripted, exit_process_returns_its_status_to_the_test) {
    script_start();
    bool after = false;
    int status = script_run([&after] {
        MessageBoxA(NULL, "bye", "c", 0);
        ExitProcess(1);
        after = true;
        return 0;
    });
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(after);
    EXPECT_TRUE(script_exited());
    EXPECT_FALSE(script_stalled());
    EXPECT_EQ(script_run([] { return 5; }), 5);
    EXPECT_FALSE(script_exited());
}

TEST_F(scripted, injected_failures_hit_the_chosen_calls_only) {
    script_start();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = painting_proc;
    wc.lpszClassName = "A";
    script_fail(script_op::register_class, E_FAIL, 1, 2);
    EXPECT_NE(RegisterClassA(&wc), 0);
    wc.lpszClassName = "B";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(script_calls(script_op::register_class), 4);
}

TEST_F(scripted, start_forgets_everything_of_the_session_before) {
    script_start();
    HWND hwnd = make_window();
    MessageBoxA(NULL, "x", "y", 0);
    PostQuitMessage(0);
    script_start();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(script_boxes().empty());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(script_main_window(), nullptr);
}

TEST_F(scripted, idle_hook_runs_when_the_queue_is_empty) {
    script_settings settings;
    int idle = 0;
    settings.on_idle = [&idle] { idle++; };
    script_start(settings);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    PostQuitMessage(0);
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    EXPECT_EQ(idle, 1);
}

TEST_F(scripted, locale_and_version_come_from_the_settings) {
    script_settings settings;
    settings.locale_id = 0x0411;
    settings.version.dwMajorVersion = 5;
    script_start(settings);
    EXPECT_EQ(GetSystemDefaultLCID(), 0x0411u);
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_EQ(v.dwMajorVersion, 5u);
    v.dwOSVersionInfoSize = 156;
    EXPECT_FALSE(GetVersionExA(&v));
}

}  // namespace
