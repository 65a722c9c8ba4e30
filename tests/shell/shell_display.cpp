// shell_display.cpp - display failures and recoveries as the running demo
// meets them: failed initialisation steps, a failed lock, lost surfaces and
// display mode changes.
#include "tests/shell/demo_session.h"
#include "voxel/display/display.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/terrain.h"

using namespace shell_test;

namespace {

struct demo_display : demo_session {
    // Every idle pass moves the clock on by `step` ms, so that the phases
    // come even when no frame is ever presented.
    void step_clock_per_pass(uint32_t step) {
        settings.on_idle = [step] { script_advance(step); };
    }
    // Escape once `frames` frames were presented.
    void escape_after_frames(int frames, std::function<void(const script_frame &)> also = {}) {
        settings.on_present = [frames, also](const script_frame &f) {
            if (also)
                also(f);
            if (f.index + 1 == frames)
                script_queue(script_input::escape);
        };
    }
};

struct failing_step {
    script_op op;
    int skip;
    HRESULT code;
    const char *label;
    const char *name;
};

const failing_step init_steps[] = {
    {script_op::direct_draw_create, 0, DDERR_UNSUPPORTED, "DirectDrawCreate", "DDERR_UNSUPPORTED "},
    {script_op::set_cooperative_level, 0, DDERR_HWNDALREADYSET, "SetCooperativeLevel", "DDERR_HWNDALREADYSET "},
    {script_op::create_surface, 0, DDERR_PRIMARYSURFACEALREADYEXISTS, "CreateSurface Primary",
     "DDERR_PRIMARYSURFACEALREADYEXISTS "},
    {script_op::create_surface, 1, DDERR_OUTOFMEMORY, "CreateSurface Offscreen", "DDERR_OUTOFMEMORY "},
    {script_op::create_clipper, 0, DDERR_INVALIDPARAMS, "IDirectDraw_CreateClipper", "DDERR_INVALIDPARAMS "},
    {script_op::clipper_set_hwnd, 0, DDERR_CLIPPERISUSINGHWND, "IDirectDrawClipper_SetHWnd",
     "DDERR_CLIPPERISUSINGHWND "},
    {script_op::set_clipper, 0, DDERR_NOCLIPPERATTACHED, "SetClipper", "DDERR_NOCLIPPERATTACHED "},
    {script_op::get_surface_desc, 0, DDERR_INVALIDOBJECT, "GetSurfaceDesc", "DDERR_INVALIDOBJECT "},
};

class failed_initialisation : public demo_display, public ::testing::WithParamInterface<failing_step> {};

} // namespace

TEST_P(failed_initialisation, shows_label_and_code_releases_all_and_runs_on_without_pictures) {
    const failing_step step = GetParam();
    before_run = [step] { script_fail(step.op, step.code, step.skip); };
    step_clock_per_pass(500);
    int live_objects_at_switch = -1;
    std::string caption_at_switch;
    settings.on_message_box = [&](const script_box &b) {
        if (b.text == english(4)) {
            live_objects_at_switch = script_live_direct_draw_objects();
            caption_at_switch = script_window_caption(script_main_window());
        }
    };
    EXPECT_EQ(0, run());

    ASSERT_EQ(4u, script_boxes().size());
    EXPECT_EQ(step.label, box(1).caption);
    EXPECT_EQ(step.name, box(1).text);
    EXPECT_EQ(UINT(MB_TASKMODAL | MB_ICONEXCLAMATION), box(1).type);
    EXPECT_EQ(nullptr, box(1).owner);
    // the phases still come, over an empty window with its title
    EXPECT_EQ(english(4), box(2).text);
    EXPECT_EQ(english(6), box(3).text);
    EXPECT_EQ(0, live_objects_at_switch);
    EXPECT_EQ("Voxel Demo", caption_at_switch);
    EXPECT_EQ(0, script_frame_count());
    EXPECT_EQ(0u, surface_width);
    EXPECT_EQ(0u, surface_height);
}

INSTANTIATE_TEST_SUITE_P(each_step, failed_initialisation, ::testing::ValuesIn(init_steps));

TEST_F(demo_display, failed_lock_is_shown_and_its_frame_skipped_with_the_caption_kept) {
    before_run = [] { script_fail(script_op::lock, DDERR_SURFACEBUSY, 1); };
    size_t captions_at_box = 0;
    int frames_at_box = -1;
    settings.on_message_box = [&](const script_box &b) {
        if (b.caption == "IDirectDrawSurface_Lock") {
            captions_at_box = script_captions().size();
            frames_at_box = script_frame_count();
        }
    };
    escape_after_frames(3);
    EXPECT_EQ(0, run());

    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("IDirectDrawSurface_Lock", box(1).caption);
    EXPECT_EQ("DDERR_SURFACEBUSY ", box(1).text);
    EXPECT_EQ(UINT(MB_TASKMODAL | MB_ICONEXCLAMATION), box(1).type);
    EXPECT_EQ(1, frames_at_box);
    EXPECT_EQ(1u, captions_at_box);
    // only drawn frames moved the camera; the caption, set by the first,
    // stayed (the clock stands still, so no frame had a new text)
    const int frames = script_frame_count();
    EXPECT_EQ(1u, script_captions().size());
    EXPECT_EQ(256 + 8 * frames, camera.y);
}

TEST_F(demo_display, lost_primary_surface_is_restored_and_the_copy_made_again) {
    escape_after_frames(3, [](const script_frame &f) {
        if (f.index == 0)
            script_lose_surfaces(script_primary);
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    EXPECT_GE(script_frame_count(), 3);
    // primary and frame surface restored once; one copy more than frames shown
    EXPECT_EQ(2, script_calls(script_op::restore));
    EXPECT_EQ(script_frame_count() + 1, script_calls(script_op::blt));
}

TEST_F(demo_display, lost_frame_surface_is_restored_at_the_lock_without_a_box) {
    escape_after_frames(3, [](const script_frame &f) {
        if (f.index == 0)
            script_lose_surfaces(script_primary | script_offscreen);
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    EXPECT_GE(script_frame_count(), 3);
    // every lock succeeded: every frame was drawn
    EXPECT_EQ(256 + 8 * script_frame_count(), camera.y);
}

TEST_F(demo_display, copy_lost_again_after_restoring_drops_the_frame_silently) {
    before_run = [] { script_fail(script_op::blt, DDERR_SURFACELOST, 1, 2); };
    escape_after_frames(2);
    EXPECT_EQ(0, run());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    // the frame of the two lost copies was presented no more than once
    EXPECT_EQ(script_frame_count() + 2, script_calls(script_op::blt));
    // one restoration (primary and frame surface), no second retry, and the
    // dropped frame was still drawn
    EXPECT_EQ(2, script_calls(script_op::restore));
    EXPECT_EQ(256 + 8 * (script_frame_count() + 1), camera.y);
}

TEST_F(demo_display, failed_copy_is_shown_once_under_blt_and_not_retried) {
    before_run = [] { script_fail(script_op::blt, DDERR_INVALIDRECT, 1); };
    escape_after_frames(2);
    EXPECT_EQ(0, run());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("IDirectDrawSurface_Blt", box(1).caption);
    EXPECT_EQ("DDERR_INVALIDRECT ", box(1).text);
    EXPECT_EQ(script_frame_count() + 1, script_calls(script_op::blt));
    EXPECT_EQ(0, script_calls(script_op::restore));
    // the failed frame was dropped, not copied again: it was drawn but
    // never presented
    EXPECT_EQ(256 + 8 * (script_frame_count() + 1), camera.y);
}

TEST_F(demo_display, display_mode_change_re_initialises_at_the_new_depth) {
    escape_after_frames(3, [](const script_frame &f) {
        if (f.index == 0)
            script_change_display_mode(16, true);
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    EXPECT_EQ(1, pixel_depth);
    EXPECT_EQ(1, pixel_format_555);
    ASSERT_FALSE(script_frames().empty());
    EXPECT_EQ(16, script_frames().back().bits_per_pixel);
    EXPECT_TRUE(script_frames().back().is_555);
    EXPECT_EQ(32, script_frames().front().bits_per_pixel);
    EXPECT_EQ(0, script_live_direct_draw_objects());
}

TEST_F(demo_display, display_mode_change_to_an_unsupported_depth_ends_with_status_1) {
    settings.on_present = [](const script_frame &f) {
        if (f.index == 0)
            script_change_display_mode(15);
    };
    EXPECT_EQ(1, run());
    EXPECT_TRUE(script_exited());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(8), box(1).text);
    EXPECT_EQ(UINT(MB_ICONERROR), box(1).type);
}

TEST_F(demo_display, red_mask_7c00_selects_the_555_layout) {
    settings.display_bits = 16;
    settings.display_555 = true;
    escape_after_frames(1);
    EXPECT_EQ(0, run());
    EXPECT_EQ(0x7C00u, primary_description.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(1, pixel_format_555);
}

TEST_F(demo_display, red_mask_f800_selects_the_565_layout) {
    settings.display_bits = 16;
    escape_after_frames(1);
    pixel_format_555 = 1;   // run_demo starts from 5-6-5 whatever was before
    EXPECT_EQ(0, run());
    EXPECT_EQ(0xF800u, primary_description.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0, pixel_format_555);
}

TEST_F(demo_display, any_other_red_mask_keeps_the_layout_as_it_was) {
    // A 5-5-5 display whose description cannot be read leaves a red mask of
    // 0: the first initialisation keeps 5-6-5 ...
    settings.display_bits = 16;
    settings.display_555 = true;
    before_run = [] { script_fail(script_op::get_surface_desc, DDERR_INVALIDOBJECT); };
    step_clock_per_pass(2000);
    EXPECT_EQ(0, run());
    EXPECT_EQ(0u, primary_description.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0, pixel_format_555);
    script_stop();

    // ... and after a change from 5-5-5, the re-initialisation keeps 5-5-5
    before_run = {};
    escape_after_frames(3, [](const script_frame &f) {
        if (f.index == 0) {
            script_fail(script_op::get_surface_desc, DDERR_INVALIDOBJECT);
            script_change_display_mode(16, false);
        }
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ(1, pixel_format_555);
}

namespace {

// A late step of the re-initialisation fails after a mode change from 8 bits;
// a paint arrives while its box is open.
struct late_step_after_mode_change {
    failing_step step;
    int bits;
};

std::vector<late_step_after_mode_change> late_steps_after_mode_changes() {
    std::vector<late_step_after_mode_change> cases;
    for (const failing_step &step : init_steps)
        if (step.op == script_op::create_clipper || step.op == script_op::clipper_set_hwnd ||
            step.op == script_op::set_clipper || step.op == script_op::get_surface_desc)
            for (int bits : {16, 24, 32})
                cases.push_back({step, bits});
    return cases;
}

class failed_re_initialisation : public demo_display,
                                 public ::testing::WithParamInterface<late_step_after_mode_change> {};

} // namespace

TEST_P(failed_re_initialisation, paint_under_its_box_draws_nothing_and_the_demo_runs_on_without_pictures) {
    const late_step_after_mode_change c = GetParam();
    settings.display_bits = 8;
    settings.on_present = [c](const script_frame &f) {
        if (f.index == 0) {
            script_change_display_mode(c.bits);
            script_fail(c.step.op, c.step.code);
        }
    };
    // frames and captions while the step's box is open; the box is closed
    // by the time the message loop looks for messages again
    bool box_open = false;
    int frames_under_box = 0;
    size_t captions_before_box = 0, captions_under_box = 0;
    settings.on_message_box = [&](const script_box &b) {
        if (b.caption == c.step.label) {
            box_open = true;
            captions_before_box = script_captions().size();
            InvalidateRect(script_main_window(), NULL, FALSE);
        }
    };
    int passes = 0;
    settings.on_idle = [&] {
        if (box_open) {
            captions_under_box = script_captions().size() - captions_before_box;
            box_open = false;
        }
        if (++passes == 20)
            script_queue(script_input::escape);
    };
    const auto presented = settings.on_present;
    settings.on_present = [&, presented](const script_frame &f) {
        presented(f);
        frames_under_box += box_open;
    };
    EXPECT_EQ(0, run());

    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(2), box(0).text);
    EXPECT_EQ(c.step.label, box(1).caption);
    EXPECT_EQ(c.step.name, box(1).text);
    EXPECT_EQ(0, frames_under_box);
    EXPECT_EQ(0u, captions_under_box);
    // the new depth with its terrain; no pictures after the failure
    EXPECT_EQ(c.bits / 8 - 1, pixel_depth);
    EXPECT_EQ(1, script_frame_count());
    EXPECT_EQ(0, script_live_direct_draw_objects());
}

INSTANTIATE_TEST_SUITE_P(each_step_and_depth, failed_re_initialisation,
                         ::testing::ValuesIn(late_steps_after_mode_changes()));

TEST_F(demo_display, lock_that_keeps_failing_under_a_pending_paint_shows_one_box_per_frame) {
    // an unlock that fails leaves the surface locked: every later lock is busy
    before_run = [] { script_fail(script_op::unlock, DDERR_GENERIC, 1); };
    int deepest = 0, open_boxes = 0;
    settings.on_message_box = [&](const script_box &b) {
        if (b.caption != "IDirectDrawSurface_Lock")
            return;
        deepest = std::max(deepest, ++open_boxes);
        InvalidateRect(script_main_window(), NULL, FALSE);
        if (b.index == 6)
            script_queue(script_input::escape);
    };
    settings.on_idle = [&] { open_boxes = 0; };
    EXPECT_EQ(0, run());

    // the copy of the frame whose unlock failed finds its source busy; every
    // later frame stops at the lock, one box each, none inside another
    ASSERT_EQ(7u, script_boxes().size());
    EXPECT_EQ("IDirectDrawSurface_Blt", box(1).caption);
    for (size_t i = 2; i < 7; ++i)
        EXPECT_EQ("DDERR_SURFACEBUSY ", box(i).text);
    EXPECT_EQ(1, deepest);
    EXPECT_EQ(1, script_frame_count());
}
