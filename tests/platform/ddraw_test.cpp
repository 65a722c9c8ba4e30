// The DirectDraw subset: surfaces in the display format with a wide pitch,
// the stretching and clipping copy onto the desktop, lost surfaces and
// their restoration, display mode changes, injected failures and release.
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include <ddraw.h>

#include "platform/script/script.h"

namespace {

LRESULT CALLBACK plain_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

struct display_session : ::testing::Test {
    HWND hwnd = nullptr;
    LPDIRECTDRAW dd = nullptr;
    LPDIRECTDRAWSURFACE primary = nullptr, frame = nullptr;
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    script_settings settings;  // open() sets the display and the desktop

    void TearDown() override { script_stop(); }

    // A window whose client area is width x height at (3, 22) on a small
    // desktop, the display objects of a windowed program, and a frame surface.
    void open(int bits, int width, int height, int frame_width, int frame_height,
              bool is_555 = false) {
        settings.display_bits = bits;
        settings.display_555 = is_555;
        settings.desktop_width = 64;
        settings.desktop_height = 48;
        script_start(settings);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = plain_proc;
        wc.lpszClassName = "DD";
        RegisterClassA(&wc);
        RECT r = {0, 0, width, height};
        AdjustWindowRect(&r, WS_CAPTION | WS_SYSMENU, FALSE);
        hwnd = CreateWindowExA(0, "DD", "dd", 0x00CB0000, 0, 0, r.right - r.left,
                               r.bottom - r.top, NULL, NULL, NULL, NULL);
        ShowWindow(hwnd, SW_SHOW);
        ASSERT_EQ(DirectDrawCreate(NULL, &dd, NULL), DD_OK);
        ASSERT_EQ(IDirectDraw_SetCooperativeLevel(dd, hwnd, DDSCL_NORMAL), DD_OK);
        ASSERT_EQ(create_primary(&primary), DD_OK);
        ASSERT_EQ(create_frame(frame_width, frame_height, &frame), DD_OK);
        ASSERT_EQ(IDirectDraw_CreateClipper(dd, 0, &clipper, NULL), DD_OK);
        ASSERT_EQ(IDirectDrawClipper_SetHWnd(clipper, 0, hwnd), DD_OK);
        ASSERT_EQ(IDirectDrawSurface_SetClipper(primary, clipper), DD_OK);
    }

    HRESULT create_primary(LPDIRECTDRAWSURFACE *surface) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        return IDirectDraw_CreateSurface(dd, &desc, surface, NULL);
    }

    HRESULT create_frame(int width, int height, LPDIRECTDRAWSURFACE *surface) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        return IDirectDraw_CreateSurface(dd, &desc, surface, NULL);
    }

    // Fills the frame surface: pixel (x, y) gets bytes (x, y, 0x80 + x, 0xC0 + y) as
    // far as the pixel is wide.
    void fill_frame(int bpp) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
        uint8_t *base = (uint8_t *)desc.lpSurface;
        for (DWORD y = 0; y < desc.dwHeight; y++)
            for (DWORD x = 0; x < desc.dwWidth; x++) {
                const uint8_t pixel[4] = {(uint8_t)x, (uint8_t)y, (uint8_t)(0x80 + x),
                                          (uint8_t)(0xC0 + y)};
                memcpy(base + y * desc.lPitch + x * bpp, pixel, bpp);
            }
        ASSERT_EQ(IDirectDrawSurface_Unlock(frame, desc.lpSurface), DD_OK);
    }

    HRESULT present() {
        RECT client;
        GetClientRect(hwnd, &client);
        POINT tl = {0, 0}, br = {client.right, client.bottom};
        ClientToScreen(hwnd, &tl);
        ClientToScreen(hwnd, &br);
        RECT dst = {tl.x, tl.y, br.x, br.y};
        return IDirectDrawSurface_Blt(primary, &dst, frame, NULL, DDBLT_WAIT, NULL);
    }
};

// A backend that shows windows straight from the desktop memory is told
// before every write of it, and only then: a Blt onto the primary surface,
// a Lock of it; not a Blt from it, nor one clipped to nothing.
TEST_F(display_session, writes_of_a_shared_desktop_are_announced) {
    int writes = 0;
    std::vector<uint8_t> at_write;
    settings.shared_desktop = true;
    settings.on_desktop_write = [&] {
        writes++;
        at_write = script_desktop_pixels();
    };
    open(32, 16, 8, 16, 8);
    fill_frame(4);
    ASSERT_EQ(present(), DD_OK);
    EXPECT_EQ(writes, 1);
    ASSERT_EQ(at_write.size(), 64u * 48 * 4);
    EXPECT_EQ(std::count(at_write.begin(), at_write.end(), 0), (long)at_write.size());  // not yet written
    EXPECT_NE(script_desktop_pixels(), at_write);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(IDirectDrawSurface_Lock(primary, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(writes, 2);
    ASSERT_EQ(IDirectDrawSurface_Unlock(primary, desc.lpSurface), DD_OK);
    RECT part = {0, 0, 16, 8};
    ASSERT_EQ(IDirectDrawSurface_Blt(frame, &part, primary, &part, DDBLT_WAIT, NULL), DD_OK);
    EXPECT_EQ(writes, 2);
    RECT client = {3, 22, 19, 30};
    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_EQ(IDirectDrawSurface_Blt(primary, &client, frame, NULL, DDBLT_WAIT, NULL), DD_OK);
    EXPECT_EQ(writes, 2);
}

TEST_F(display_session, lock_gives_a_pitch_wider_than_the_row) {
    for (int bits : {8, 16, 24, 32}) {
        open(bits, 5, 3, 5, 3);
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
        EXPECT_EQ(desc.dwWidth, 5u);
        EXPECT_EQ(desc.dwHeight, 3u);
        EXPECT_GT(desc.lPitch, 5 * bits / 8) << bits;
        EXPECT_EQ(desc.lPitch % 16, 0) << bits;
        EXPECT_NE(desc.lpSurface, nullptr);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, (DWORD)bits);
        // a second lock while locked is refused
        DDSURFACEDESC again = {};
        again.dwSize = sizeof again;
        EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &again, DDLOCK_WAIT, NULL),
                  DDERR_SURFACEBUSY);
        EXPECT_EQ(IDirectDrawSurface_Unlock(frame, desc.lpSurface), DD_OK);
        EXPECT_EQ(IDirectDrawSurface_Unlock(frame, NULL), DDERR_NOTLOCKED);
    }
}

TEST_F(display_session, a_description_of_another_size_is_refused) {
    open(32, 4, 4, 4, 4);
    DDSURFACEDESC desc = {};
    desc.dwSize = 108;
    EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DDERR_INVALIDPARAMS);
    EXPECT_EQ(IDirectDrawSurface_GetSurfaceDesc(primary, &desc), DDERR_INVALIDPARAMS);
}

TEST_F(display_session, primary_description_has_the_display_masks) {
    struct expected_masks {
        int bits;
        bool is_555;
        DWORD red, green, blue;
    };
    for (expected_masks e : {expected_masks{16, false, 0xF800, 0x07E0, 0x001F},
                             expected_masks{16, true, 0x7C00, 0x03E0, 0x001F},
                             expected_masks{24, false, 0xFF0000, 0xFF00, 0xFF},
                             expected_masks{32, false, 0xFF0000, 0xFF00, 0xFF},
                             expected_masks{8, false, 0, 0, 0}}) {
        open(e.bits, 4, 4, 4, 4, e.is_555);
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(IDirectDrawSurface_GetSurfaceDesc(primary, &desc), DD_OK);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, (DWORD)e.bits);
        EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, e.red) << e.bits;
        EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, e.green) << e.bits;
        EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, e.blue) << e.bits;
        EXPECT_EQ(desc.dwWidth, 64u);
        EXPECT_EQ(desc.dwHeight, 48u);
        EXPECT_EQ(desc.ddsCaps.dwCaps, (DWORD)DDSCAPS_PRIMARYSURFACE);
    }
}

TEST_F(display_session, copy_of_equal_size_lands_in_the_client_area) {
    open(24, 4, 3, 4, 3);
    fill_frame(3);
    ASSERT_EQ(present(), DD_OK);
    ASSERT_EQ(script_frame_count(), 1);
    const script_frame &shown = script_frames().back();
    EXPECT_EQ(shown.width, 4);
    EXPECT_EQ(shown.height, 3);
    EXPECT_EQ(shown.bits_per_pixel, 24);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 4; x++) {
            const uint8_t *p = &shown.pixels[(y * 4 + x) * 3];
            EXPECT_EQ(p[0], x);
            EXPECT_EQ(p[1], y);
            EXPECT_EQ(p[2], 0x80 + x);
        }
    // and on the desktop at the client area's screen position
    std::vector<uint8_t> desktop = script_desktop_pixels();
    EXPECT_EQ(desktop[(22 * 64 + 3) * 3 + 2], 0x80);
    EXPECT_EQ(desktop[(22 * 64 + 2) * 3 + 2], 0);
}

TEST_F(display_session, larger_client_area_stretches_by_nearest_pixel) {
    open(32, 4, 6, 2, 3);
    fill_frame(4);
    ASSERT_EQ(present(), DD_OK);
    const script_frame &shown = script_frames().back();
    ASSERT_EQ(shown.width, 4);
    ASSERT_EQ(shown.height, 6);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 4; x++) {
            const uint8_t *p = &shown.pixels[(y * 4 + x) * 4];
            EXPECT_EQ(p[0], x / 2) << x << "," << y;
            EXPECT_EQ(p[1], y / 2) << x << "," << y;
            EXPECT_EQ(p[3], 0xC0 + y / 2);
        }
}

TEST_F(display_session, smaller_destination_shrinks) {
    open(16, 4, 4, 8, 8);
    fill_frame(2);
    RECT dst = {3, 22, 5, 24};  // 2 x 2 pixels
    ASSERT_EQ(IDirectDrawSurface_Blt(primary, &dst, frame, NULL, DDBLT_WAIT, NULL), DD_OK);
    const script_frame &shown = script_frames().back();
    const uint8_t *second = &shown.pixels[(1 * 4 + 1) * 2];
    EXPECT_EQ(second[0], 4);
    EXPECT_EQ(second[1], 4);
}

TEST_F(display_session, copy_is_clipped_to_the_window_and_desktop) {
    open(8, 4, 4, 4, 4);
    fill_frame(1);
    // a destination that reaches past the client area on every side
    RECT dst = {1, 20, 9, 28};
    ASSERT_EQ(IDirectDrawSurface_Blt(primary, &dst, frame, NULL, DDBLT_WAIT, NULL), DD_OK);
    std::vector<uint8_t> desktop = script_desktop_pixels();
    // outside the client area (3..7, 22..26) nothing was written
    EXPECT_EQ(desktop[21 * 64 + 4], 0);
    EXPECT_EQ(desktop[22 * 64 + 2], 0);
    EXPECT_EQ(desktop[26 * 64 + 4], 0);
    // inside, each pixel comes from its unclipped position: 8 over 4 is 2:1
    EXPECT_EQ(desktop[22 * 64 + 3], 1);  // dst x 3 -> src x (3-1)/2 = 1
    EXPECT_EQ(desktop[22 * 64 + 6], 2);
}

TEST_F(display_session, minimised_window_gets_nothing) {
    open(32, 4, 4, 4, 4);
    fill_frame(4);
    RECT where = {3, 22, 7, 26};
    script_queue(script_input::minimise);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    EXPECT_EQ(IDirectDrawSurface_Blt(primary, &where, frame, NULL, DDBLT_WAIT, NULL), DD_OK);
    EXPECT_EQ(script_frame_count(), 0);
    EXPECT_EQ(script_desktop_pixels()[(22 * 64 + 3) * 4 + 2], 0);
    // and its client area is empty: no destination to copy to
    EXPECT_EQ(present(), DDERR_INVALIDRECT);
}

TEST_F(display_session, maximised_window_shows_the_frame_stretched) {
    open(32, 4, 4, 4, 4);
    fill_frame(4);
    script_queue(script_input::maximise);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    ASSERT_EQ(present(), DD_OK);
    const script_frame &shown = script_frames().back();
    EXPECT_EQ(shown.width, 64);
    EXPECT_EQ(shown.height, 48 - 19);
    EXPECT_EQ(shown.pixels[(0 * 64 + 63) * 4], 3);
    EXPECT_EQ(shown.pixels[(0 * 64 + 16) * 4], 1);
}

TEST_F(display_session, bad_rectangles_are_refused) {
    open(32, 4, 4, 4, 4);
    RECT outside = {0, 0, 5, 4};
    EXPECT_EQ(IDirectDrawSurface_Blt(primary, NULL, frame, &outside, DDBLT_WAIT, NULL),
              DDERR_INVALIDRECT);
    RECT empty = {3, 22, 3, 30};
    EXPECT_EQ(IDirectDrawSurface_Blt(primary, &empty, frame, NULL, DDBLT_WAIT, NULL),
              DDERR_INVALIDRECT);
}

TEST_F(display_session, lost_surfaces_fail_until_restored) {
    open(32, 4, 4, 4, 4);
    script_lose_surfaces(script_primary);
    EXPECT_EQ(present(), DDERR_SURFACELOST);
    EXPECT_EQ(IDirectDrawSurface_IsLost(primary), DDERR_SURFACELOST);
    EXPECT_EQ(IDirectDrawSurface_IsLost(frame), DD_OK);
    EXPECT_EQ(IDirectDrawSurface_Restore(primary), DD_OK);
    EXPECT_EQ(present(), DD_OK);

    fill_frame(4);
    script_lose_surfaces(script_offscreen);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DDERR_SURFACELOST);
    EXPECT_EQ(present(), DDERR_SURFACELOST);
    EXPECT_EQ(IDirectDrawSurface_Restore(frame), DD_OK);
    // restored memory starts cleared
    ASSERT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    EXPECT_EQ(((uint8_t *)desc.lpSurface)[desc.lPitch + 4], 0);
    IDirectDrawSurface_Unlock(frame, NULL);
}

TEST_F(display_session, mode_change_makes_restore_answer_wrong_mode) {
    open(32, 4, 4, 4, 4);
    script_change_display_mode(16, true);
    EXPECT_EQ(present(), DDERR_SURFACELOST);
    EXPECT_EQ(IDirectDrawSurface_Restore(primary), DDERR_WRONGMODE);
    EXPECT_EQ(IDirectDrawSurface_Restore(frame), DDERR_WRONGMODE);
    // what is made now is in the new mode
    HDC ic = CreateICA("Display", NULL, NULL, NULL);
    EXPECT_EQ(GetDeviceCaps(ic, BITSPIXEL), 16);
    DeleteDC(ic);
    IDirectDrawSurface_Release(primary);
    IDirectDrawSurface_Release(frame);
    ASSERT_EQ(create_primary(&primary), DD_OK);
    ASSERT_EQ(create_frame(4, 4, &frame), DD_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    IDirectDrawSurface_GetSurfaceDesc(primary, &desc);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u);
    ASSERT_EQ(IDirectDrawSurface_SetClipper(primary, clipper), DD_OK);
    EXPECT_EQ(present(), DD_OK);
    EXPECT_EQ(script_frames().back().bits_per_pixel, 16);
}

TEST_F(display_session, injected_failures_answer_their_code_once) {
    open(32, 4, 4, 4, 4);
    const HRESULT code = (HRESULT)0x88760091;
    script_fail(script_op::lock, code);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), code);
    EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DD_OK);
    IDirectDrawSurface_Unlock(frame, NULL);
    script_fail(script_op::blt, E_FAIL);
    EXPECT_EQ(present(), E_FAIL);
    EXPECT_EQ(present(), DD_OK);
    script_fail(script_op::restore, DDERR_WRONGMODE);
    EXPECT_EQ(IDirectDrawSurface_Restore(primary), DDERR_WRONGMODE);
}

TEST_F(display_session, second_create_surface_can_be_failed_alone) {
    script_start();
    LPDIRECTDRAW dd2;
    ASSERT_EQ(DirectDrawCreate(NULL, &dd2, NULL), DD_OK);
    dd = dd2;
    IDirectDraw_SetCooperativeLevel(dd, NULL, DDSCL_NORMAL);
    script_fail(script_op::create_surface, E_OUTOFMEMORY, 1);
    ASSERT_EQ(create_primary(&primary), DD_OK);
    EXPECT_EQ(create_frame(4, 4, &frame), E_OUTOFMEMORY);
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(script_calls(script_op::create_surface), 2);
}

TEST_F(display_session, direct_draw_create_can_fail_and_leaves_null) {
    script_start();
    script_fail(script_op::direct_draw_create, E_FAIL);
    LPDIRECTDRAW made = (LPDIRECTDRAW)1;
    EXPECT_EQ(DirectDrawCreate(NULL, &made, NULL), E_FAIL);
    EXPECT_EQ(made, nullptr);
}

TEST_F(display_session, unsupported_depth_has_no_direct_draw) {
    script_settings settings;
    settings.display_bits = 15;
    script_start(settings);
    LPDIRECTDRAW made;
    EXPECT_EQ(DirectDrawCreate(NULL, &made, NULL), DDERR_UNSUPPORTEDMODE);
}

TEST_F(display_session, surfaces_need_the_cooperative_level_and_one_primary) {
    script_start();
    ASSERT_EQ(DirectDrawCreate(NULL, &dd, NULL), DD_OK);
    EXPECT_EQ(create_primary(&primary), DDERR_NOCOOPERATIVELEVELSET);
    IDirectDraw_SetCooperativeLevel(dd, NULL, DDSCL_NORMAL);
    ASSERT_EQ(create_primary(&primary), DD_OK);
    LPDIRECTDRAWSURFACE second;
    EXPECT_EQ(create_primary(&second), DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(IDirectDraw_SetCooperativeLevel(dd, NULL, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_UNSUPPORTED);
}

TEST_F(display_session, release_frees_everything_and_handles_go_stale) {
    open(32, 4, 4, 4, 4);
    EXPECT_EQ(script_live_direct_draw_objects(), 4);
    IDirectDrawSurface_Release(primary);
    IDirectDrawSurface_Release(frame);
    IDirectDrawClipper_Release(clipper);
    EXPECT_EQ(script_live_direct_draw_objects(), 1);
    IDirectDraw_Release(dd);
    EXPECT_EQ(script_live_direct_draw_objects(), 0);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(IDirectDrawSurface_Lock(frame, NULL, &desc, DDLOCK_WAIT, NULL), DDERR_INVALIDOBJECT);
}

TEST_F(display_session, clipper_lives_while_the_primary_holds_it) {
    open(32, 4, 4, 4, 4);
    EXPECT_EQ(IDirectDrawClipper_Release(clipper), 1u);
    fill_frame(4);
    EXPECT_EQ(present(), DD_OK);
    EXPECT_EQ(script_frame_count(), 1);
    IDirectDrawSurface_Release(primary);
    EXPECT_EQ(script_live_direct_draw_objects(), 2);  // display object and frame
}

TEST_F(display_session, releasing_the_display_object_takes_its_surfaces) {
    open(32, 4, 4, 4, 4);
    IDirectDraw_Release(dd);
    EXPECT_EQ(script_live_direct_draw_objects(), 0);
}

TEST_F(display_session, frames_kept_is_a_window_over_the_last_presented) {
    script_settings settings;
    settings.frames_kept = 2;
    script_start(settings);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = plain_proc;
    wc.lpszClassName = "K";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, "K", "k", 0x00CB0000, 0, 0, 20, 40, NULL, NULL, NULL, NULL);
    ShowWindow(hwnd, SW_SHOW);
    ASSERT_EQ(DirectDrawCreate(NULL, &dd, NULL), DD_OK);
    IDirectDraw_SetCooperativeLevel(dd, hwnd, DDSCL_NORMAL);
    ASSERT_EQ(create_primary(&primary), DD_OK);
    ASSERT_EQ(create_frame(4, 4, &frame), DD_OK);
    for (int i = 0; i < 5; i++)
        ASSERT_EQ(IDirectDrawSurface_Blt(primary, NULL, frame, NULL, 0, NULL), DD_OK);
    EXPECT_EQ(script_frame_count(), 5);
    ASSERT_EQ(script_frames().size(), 2u);
    EXPECT_EQ(script_frames()[0].index, 3);
    EXPECT_EQ(script_frames()[1].index, 4);
}

}  // namespace
