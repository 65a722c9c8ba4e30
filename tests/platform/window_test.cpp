// Windows, classes, frames, the message queue and the default procedure,
// driven through the scriptable backend.
#include <gtest/gtest.h>

#include <vector>

#include "platform/script/script.h"

namespace {

struct seen_message {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<seen_message> seen;

LRESULT CALLBACK recording_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    seen.push_back({hwnd, message, wparam, lparam});
    if (message == WM_DESTROY) {
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

int count_of(UINT message) {
    int n = 0;
    for (const seen_message &m : seen) n += m.message == message;
    return n;
}

struct window_session : ::testing::Test {
    void SetUp() override {
        seen.clear();
        script_start();
    }
    void TearDown() override { script_stop(); }

    HWND make_window(int width = 320, int height = 200) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = recording_proc;
        wc.lpszClassName = "TEST";
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        RegisterClassA(&wc);
        RECT r = {0, 0, width, height};
        AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU, FALSE);
        return CreateWindowExA(0, "TEST", "Title", 0x00CB0000, 0, 0, r.right - r.left,
                               r.bottom - r.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
};

TEST_F(window_session, adjust_window_rect_adds_the_fixed_frame_and_caption) {
    RECT r = {0, 0, 512, 256};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU, FALSE));
    EXPECT_EQ(r.left, -3);
    EXPECT_EQ(r.top, -22);
    EXPECT_EQ(r.right, 515);
    EXPECT_EQ(r.bottom, 259);
}

TEST_F(window_session, created_window_has_exactly_the_adjusted_client_size) {
    HWND hwnd = make_window(320, 200);
    ASSERT_NE(hwnd, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    POINT p = {0, 0};
    ClientToScreen(hwnd, &p);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 22);
    EXPECT_EQ(script_window_caption(hwnd), "Title");
    EXPECT_EQ(count_of(WM_CREATE), 1);
}

TEST_F(window_session, class_registration_rules) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = recording_proc;
    wc.lpszClassName = "BLURME";
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);  // a second time
    wc.lpszClassName = "OTHER";
    script_fail(script_op::register_class, E_FAIL);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(CreateWindowExA(0, "MISSING", "x", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL),
              nullptr);
}

TEST_F(window_session, icons_of_the_program_do_not_exist_stock_ones_do) {
    EXPECT_EQ(LoadIconA(GetModuleHandleA(NULL), "BLURME"), nullptr);
    EXPECT_NE(LoadIconA(NULL, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(NULL), IDC_ARROW), nullptr);
}

TEST_F(window_session, show_and_update_send_size_and_paint) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    ASSERT_EQ(count_of(WM_SIZE), 1);
    EXPECT_EQ(seen.back().message, WM_SIZE);
    EXPECT_EQ(seen.back().wparam, (WPARAM)SIZE_RESTORED);
    EXPECT_EQ(seen.back().lparam, MAKELPARAM(320, 200));
    UpdateWindow(hwnd);
    EXPECT_EQ(count_of(WM_PAINT), 1);
    // validated by the default procedure: no more paint
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(window_session, posted_messages_come_before_quit_and_quit_before_paint) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOW);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
}

TEST_F(window_session, paint_stays_until_validated) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(window_session, peek_without_removal_leaves_the_message) {
    HWND hwnd = make_window();
    PostMessageA(hwnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_USER);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(window_session, close_destroys_the_window_and_destroy_posts_quit) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOW);
    script_queue(script_input::escape);
    script_queue(script_input::close);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)VK_ESCAPE);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_KEYUP);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
    DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(count_of(WM_DESTROY), 1);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(window_session, minimise_and_restore_send_size_and_stop_paint) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    seen.clear();
    script_queue(script_input::minimise);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, (UINT)WM_SIZE);
    EXPECT_EQ(seen[0].wparam, (WPARAM)SIZE_MINIMIZED);
    EXPECT_TRUE(IsIconic(hwnd));
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 0);
    // invalid while minimised: still no paint
    InvalidateRect(hwnd, NULL, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    script_queue(script_input::restore);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    EXPECT_EQ(seen.back().message, (UINT)WM_SIZE);
    EXPECT_EQ(seen.back().wparam, (WPARAM)SIZE_RESTORED);
    EXPECT_EQ(seen.back().lparam, MAKELPARAM(320, 200));
}

TEST_F(window_session, maximise_gives_the_desktop_work_area) {
    HWND hwnd = make_window();
    ShowWindow(hwnd, SW_SHOW);
    script_queue(script_input::maximise);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    EXPECT_EQ(seen.back().wparam, (WPARAM)SIZE_MAXIMIZED);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768 - 19);
    script_queue(script_input::restore);
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
}

TEST_F(window_session, captions_are_set_read_and_recorded) {
    HWND hwnd = make_window();
    ASSERT_TRUE(SetWindowTextA(hwnd, "Standard Voxel Demo FPS: 31"));
    char text[64];
    EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 27);
    EXPECT_STREQ(text, "Standard Voxel Demo FPS: 31");
    EXPECT_EQ(GetWindowTextA(hwnd, text, 9), 8);
    EXPECT_STREQ(text, "Standard");
    ASSERT_EQ(script_captions().size(), 1u);
    EXPECT_EQ(script_captions()[0].text, "Standard Voxel Demo FPS: 31");
}

TEST_F(window_session, messages_to_a_destroyed_window_are_dropped) {
    HWND hwnd = make_window();
    PostMessageA(hwnd, WM_USER, 0, 0);
    DestroyWindow(hwnd);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

}  // namespace
