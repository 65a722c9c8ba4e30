// The frame trace's lines: a frame shown in a window, a caption, a box
// opened and closed, in the order they happened, with the window's handle,
// texts in UTF-8 on one line, and appended after what the file held.
#include <gtest/gtest.h>
#include <ddraw.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/frame_trace.h"
#include "platform/script/script.h"
#include "tests/support/scratch_directory.h"

namespace {

LRESULT CALLBACK plain_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

std::vector<std::string> lines_of(const char *path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Draws on the whole desktop through the primary surface: every visible
// window shows a frame.
void draw_on_desktop(HWND hwnd) {
    LPDIRECTDRAW dd;
    LPDIRECTDRAWSURFACE primary;
    ASSERT_EQ(DirectDrawCreate(NULL, &dd, NULL), DD_OK);
    ASSERT_EQ(IDirectDraw_SetCooperativeLevel(dd, hwnd, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(IDirectDraw_CreateSurface(dd, &desc, &primary, NULL), DD_OK);
    ASSERT_EQ(IDirectDrawSurface_Lock(primary, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    ASSERT_EQ(IDirectDrawSurface_Unlock(primary, desc.lpSurface), DD_OK);
    IDirectDrawSurface_Release(primary);
    IDirectDraw_Release(dd);
}

// A 100 x 100 window of the class TRACED (registered on first use), captioned
// `caption`, not yet shown.
HWND traced_window(const char *caption) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = plain_proc;
    wc.lpszClassName = "TRACED";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TRACED", caption, 0x00CB0000, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
}

struct traced : ::testing::Test {
    test_support::scratch_directory directory;
    void TearDown() override {
        plat::frame_trace_open(nullptr, "", 0);
        script_stop();
    }
};

TEST_F(traced, one_line_per_frame_caption_and_box_in_order) {
    script_settings settings;
    settings.locale_id = 0x0419;  // Russian: captions in code page 1251
    script_start(settings);
    { std::ofstream("trace") << "earlier run\n"; }
    ASSERT_TRUE(plat::frame_trace_open("trace", "script", 16));

    HWND shown = traced_window("a");
    // a window never shown shows no frame, though the desktop under it is drawn on
    ASSERT_TRUE(traced_window("b"));
    ShowWindow(shown, SW_SHOW);
    SetWindowTextA(shown, "\xD0\xE0\xE7 FPS: 42\nx");
    draw_on_desktop(shown);
    MessageBoxA(NULL, "text", "\xC1\xEE\xEA\r\ns", MB_ICONINFORMATION);
    draw_on_desktop(shown);
    ASSERT_TRUE(plat::frame_trace_open(nullptr, "", 0));

    char handle[32];
    std::snprintf(handle, sizeof handle, "%#lx", (unsigned long)(uintptr_t)shown);
    const std::vector<std::string> expected = {
        "start backend=script depth=16 pid=[0-9]+",
        std::string("caption ") + handle + " Раз FPS: 42 x",
        std::string("frame ") + handle,
        "box-open Бок  s",
        "box-closed Бок  s",
        std::string("frame ") + handle,
    };
    const std::vector<std::string> lines = lines_of("trace");
    ASSERT_EQ(lines.size(), expected.size() + 1);
    EXPECT_EQ(lines[0], "earlier run");
    unsigned long long previous = 0;
    for (size_t i = 0; i < expected.size(); i++) {
        std::smatch m;
        const std::string &line = lines[i + 1];
        ASSERT_TRUE(std::regex_match(line, m, std::regex("([0-9]+) (.*)"))) << line;
        EXPECT_TRUE(std::regex_match(m[2].str(), std::regex(expected[i]))) << line;
        const unsigned long long time = std::stoull(m[1].str());
        EXPECT_GE(time, previous) << line;
        previous = time;
    }
}

// A frame the window system never got (no surface to draw on) is no frame
// a person saw: the trace keeps captions and boxes but no frame line.
TEST_F(traced, frames_that_reach_no_screen_are_not_traced) {
    script_settings settings;
    settings.window_system_shows = false;
    script_start(settings);
    ASSERT_TRUE(plat::frame_trace_open("trace", "script", 32));
    HWND hwnd = traced_window("a");
    ShowWindow(hwnd, SW_SHOW);
    draw_on_desktop(hwnd);
    SetWindowTextA(hwnd, "b FPS: 1");
    draw_on_desktop(hwnd);
    ASSERT_TRUE(plat::frame_trace_open(nullptr, "", 0));
    EXPECT_EQ(script_frame_count(), 2);
    const std::vector<std::string> lines = lines_of("trace");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(" start backend=script"), std::string::npos);
    EXPECT_NE(lines[1].find(" caption "), std::string::npos);
}

}  // namespace
