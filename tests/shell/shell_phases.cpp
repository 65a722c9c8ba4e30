// shell_phases.cpp - the timed phases of the message loop, with the clock in
// the test's hands: each idle pass is preceded by on_idle, where the test
// sets the time the pass will read.
#include <algorithm>

#include "tests/shell/demo_session.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using namespace shell_test;

namespace {

struct demo_phases : demo_session {
    // Times (relative to the phase clock's zero) for the coming idle passes;
    // once they are used up, Escape is pressed.
    std::vector<uint32_t> pass_times;
    size_t next_pass = 0;
    size_t captions_before_switch = 0;

    void plan_passes(std::vector<uint32_t> times) {
        pass_times = std::move(times);
        settings.on_idle = [this] {
            if (next_pass < pass_times.size())
                script_set_time(start_time + pass_times[next_pass++]);
            else if (next_pass++ == pass_times.size())
                script_queue(script_input::escape);
        };
    }
    void note_switch_box() {
        settings.on_message_box = [this](const script_box &b) {
            if (b.text == english(4))
                captions_before_switch = script_captions().size();
        };
    }
};

} // namespace

TEST_F(demo_phases, elapsed_5000_still_renders_standard_and_5001_switches_to_vector) {
    plan_passes({5000, 5001, 5002});
    note_switch_box();
    EXPECT_EQ(0, run());

    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(4), box(1).text);
    EXPECT_EQ(english(5), box(1).caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), box(1).type);
    EXPECT_EQ(start_time + 5001, box(1).time);

    // the frames take no time: the standard caption of the first frame, then
    // the vector one with the first frame after the box
    const auto &captions = script_captions();
    ASSERT_EQ(1u, captions_before_switch);
    ASSERT_EQ(2u, captions.size());
    EXPECT_EQ(standard_caption(1000000), captions[0].text);
    EXPECT_EQ(vector_caption(1000000), captions[1].text);
    EXPECT_EQ(start_time + 5001, captions[1].time);
    EXPECT_EQ(1, vector_phase);
}

TEST_F(demo_phases, ten_seconds_at_the_first_pass_end_with_the_final_box_alone) {
    plan_passes({10000});
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, run());
    // the window's first paint was the only frame: no vector rate to compare
    EXPECT_EQ(standard_caption(1000000) + "; " + vector_caption(0) + "\n",
              ::testing::internal::GetCapturedStdout());

    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(2), box(0).text);
    EXPECT_EQ(english(6), box(1).text);
    EXPECT_EQ(english(7), box(1).caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), box(1).type);
    EXPECT_EQ(0, vector_phase);
    EXPECT_FALSE(script_exited());
}

TEST_F(demo_phases, whole_run_shows_switch_box_once_then_final_box_and_ends_with_0) {
    plan_passes({1000, 6000, 6000 + 1000, 6000 + 5001, 6000 + 6000, 6000 + 9999, 6000 + 10000});
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{english(2), english(4), english(6)}), box_texts());
    EXPECT_EQ(start_time + 16000, box(2).time);
    EXPECT_EQ(0, script_live_direct_draw_objects());
}

TEST_F(demo_phases, normal_end_prints_each_phases_frames_over_its_summed_frame_times_and_their_ratio) {
    // the window's first paint and two passes draw standard frames of 1, 1
    // and 7 ms: 3 frames in 9 ms, 333 a second (one frame's rate would say
    // 142, the mean of the three rates 714); three vector frames of 0.5,
    // 0.5 and 2 ms: 1000 a second, 3.00 times as many
    const std::vector<uint64_t> us = {1000, 1000, 7000, 500, 500, 2000};
    std::vector<int> phase_of_frame;
    settings.on_present = [&](const script_frame &f) {
        phase_of_frame.push_back(vector_phase);
        if (size_t(f.index) < us.size())
            script_advance_counter(us[f.index]);
    };
    plan_passes({1000, 2000, 5001, 6001, 7001, 5001 + 10000});
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, run());
    const std::string printed = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ((std::vector<int>{0, 0, 0, 1, 1, 1}), phase_of_frame);
    EXPECT_EQ(3u, script_boxes().size());
    EXPECT_EQ(standard_caption(333) + "; " + vector_caption(1000) + " (3.00\u00D7)\n", printed);
}

TEST_F(demo_phases, vector_phase_counts_ten_seconds_from_the_dismissal_of_the_switch_box) {
    // the switch box stays open for three seconds
    settings.on_message_box = [](const script_box &b) {
        if (b.text == english(4))
            script_advance(3000);
    };
    plan_passes({5001, 8001 + 9999, 8001 + 10000});
    EXPECT_EQ(0, run());

    ASSERT_EQ(3u, script_boxes().size());
    EXPECT_EQ(start_time + 18001, box(2).time);
    // the first vector frame came when the box was closed
    const auto &captions = script_captions();
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(vector_caption(1000000), captions.back().text);
    EXPECT_EQ(start_time + 8001, captions.back().time);
}

TEST_F(demo_phases, phase_clock_survives_the_wrap_of_the_tick_counter) {
    settings.start_time = 0xFFFFF000u;
    int pass = 0;
    // 4999 ms, then 5001 ms after a start 4096 ms before the wrap
    settings.on_idle = [&pass] {
        const uint32_t times[] = {4999, 5001, 5001 + 10000};
        if (pass < 3)
            script_set_time(0xFFFFF000u + times[pass]);
        ++pass;
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{english(2), english(4), english(6)}), box_texts());
    EXPECT_EQ(0xFFFFF000u + 5001, box(1).time);
}

TEST_F(demo_phases, every_vector_frame_selects_the_vector_renderer_anew) {
    // before each vector pass the standard renderer is put back; the frame
    // must still be drawn by the vector one
    bool switched = false, all_vector = true;
    int vector_frames = 0;
    settings.on_message_box = [&](const script_box &b) { switched |= b.text == english(4); };
    settings.on_present = [&](const script_frame &) {
        if (!switched)
            return;
        all_vector &= current_renderer == render_vector_32;
        ++vector_frames;
    };
    plan_passes({5001, 5002, 5003, 5004});
    auto plan = settings.on_idle;
    settings.on_idle = [&, plan] {
        if (switched)
            select_renderer(5);
        plan();
    };
    EXPECT_EQ(0, run());
    EXPECT_GE(vector_frames, 3);
    EXPECT_TRUE(all_vector);
}

TEST_F(demo_phases, standard_frames_keep_the_renderer_that_init_terrain_chose) {
    bool all_standard = true;
    settings.on_present = [&](const script_frame &) { all_standard &= current_renderer == render_standard_32; };
    plan_passes({100, 200, 300});
    EXPECT_EQ(0, run());
    EXPECT_TRUE(all_standard);
    EXPECT_EQ(0, vector_phase);
}

TEST_F(demo_phases, minimised_window_neither_renders_nor_looks_at_the_clock) {
    int frames_while_minimised = 0;
    bool minimised = false;
    settings.on_present = [&](const script_frame &f) {
        if (minimised)
            ++frames_while_minimised;
        if (f.index == 0) {
            script_queue(script_input::minimise);
            minimised = true;
        }
    };
    before_run = [&minimised] {
        script_at(start_time + 20000, [&minimised] {
            minimised = false;
            script_queue(script_input::restore);
        });
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ(0, frames_while_minimised);
    // the first look at the clock after the restore already finds the end
    EXPECT_EQ((std::vector<std::string>{english(2), english(6)}), box_texts());
    EXPECT_EQ(start_time + 20000, box(1).time);
}

// The window closed while the switch box is open (its close box, which the
// box's loop dispatches): no frame is drawn into the destroyed window, so no
// failure box follows, and the demo ends with the quit its closing posted.
TEST_F(demo_phases, closing_the_window_during_the_switch_box_ends_the_demo_without_another_box) {
    plan_passes({5001, 5002, 5003});
    int frames_at_box = -1;
    settings.on_message_box = [&](const script_box &b) {
        if (b.text != english(4)) return;
        frames_at_box = script_frame_count();
        SendMessageA(main_window, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(0, run());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(4), box(1).text);
    EXPECT_EQ(frames_at_box, script_frame_count());
}
