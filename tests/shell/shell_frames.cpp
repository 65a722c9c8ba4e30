// shell_frames.cpp - what a frame shows: the caption's number, the pixels
// against voxel-render's picture, the palette at 8 bits, paints during a box
// and a maximised window.
#include "tests/shell/demo_session.h"
#include "platform/pixel_decode.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/display.h"
#include "voxel/display/bitmap.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/frame_rate.h"

using namespace shell_test;

namespace {

struct demo_frames : demo_session {
    // Each presented frame takes `ms[i]` milliseconds; then Escape.
    void frame_times(std::vector<uint32_t> ms) {
        settings.on_present = [ms](const script_frame &f) {
            if (size_t(f.index) < ms.size())
                script_advance(ms[f.index]);
            if (size_t(f.index) + 1 == ms.size())
                script_queue(script_input::escape);
        };
    }
};

rgb_palette palette_of(const std::array<PALETTEENTRY, 256> &entries) {
    rgb_palette palette;
    for (int i = 0; i < 256; ++i)
        palette[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue};
    return palette;
}

std::vector<uint8_t> decode_frame(const script_frame &f) {
    std::vector<uint8_t> rgb(size_t(f.width) * f.height * 3);
    const size_t row = size_t(f.width) * (f.bits_per_pixel / 8);
    for (int y = 0; y < f.height; ++y)
        decode_row(f.pixels.data() + y * row, f.width, f.bits_per_pixel, f.is_555,
                   palette_of(f.system_palette), rgb.data() + size_t(y) * f.width * 3);
    return rgb;
}

struct depth_case {
    int bits;
    bool is_555;
    int depth;
};

class presented_pixels : public demo_frames, public ::testing::WithParamInterface<depth_case> {};

} // namespace

TEST_F(demo_frames, caption_shows_the_counter_rate_over_the_frame_counts_truncated) {
    // frames of these many microseconds, a quarter second and more apart
    const std::vector<uint64_t> us = {700, 32000, 1000000, 1001000, 0, 3};
    settings.on_idle = [] { script_advance(caption_interval_ms); };
    settings.on_present = [us](const script_frame &f) {
        if (size_t(f.index) < us.size())
            script_advance_counter(us[f.index]);
        if (size_t(f.index) + 1 == us.size())
            script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{standard_caption(1428), standard_caption(31), standard_caption(1),
                                        standard_caption(0), standard_caption(1000000),
                                        standard_caption(333333)}),
              caption_texts());
}

TEST_F(demo_frames, frames_per_second_never_divide_by_zero_overflow_or_pass_the_largest_int) {
    EXPECT_EQ(1428, frames_per_second({1, 700}, 1000000));
    EXPECT_EQ(1000000000, frames_per_second({1, 0}, 1000000000));
    EXPECT_EQ(0, frames_per_second({1, UINT64_MAX}, 1000000000));
    EXPECT_EQ(INT_MAX, frames_per_second({1, 1}, UINT64_MAX));
    EXPECT_EQ(0, frames_per_second({5, 5}, 0));
    EXPECT_EQ(0, frames_per_second({0, 0}, 1000000));
    // a million frames of a millisecond on a femtosecond counter: the
    // product of frames and frequency needs more than 64 bits
    EXPECT_EQ(1000, frames_per_second({1000000, 1000000000000000000u}, 1000000000000000u));
}

TEST_F(demo_frames, caption_text_is_never_set_twice) {
    // every frame takes 0.7 ms, a third of a second apart
    settings.on_idle = [] { script_advance(333); };
    settings.on_present = [](const script_frame &f) {
        script_advance_counter(700);
        if (f.index == 9)
            script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ(10, script_frame_count());
    EXPECT_EQ(std::vector<std::string>{standard_caption(1428)}, caption_texts());
}

TEST_F(demo_frames, caption_shows_the_rate_over_every_frame_since_the_last_title) {
    // frames back to back: 251 of a millisecond, then one of 50 ms. The
    // first frame's title comes at once; the 250 ms to the next one are up
    // after frame 250, whose text (1000) is the title's already, so the
    // next title comes with the slow frame: 251 frames in 300 ms
    settings.on_present = [](const script_frame &f) {
        script_advance_counter(f.index == 251 ? 50000 : 1000);
        if (f.index == 251)
            script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{standard_caption(1000), standard_caption(836)}), caption_texts());
    EXPECT_EQ(300u, script_captions()[1].time - script_captions()[0].time);
}

TEST_F(demo_frames, caption_name_follows_the_locale) {
    settings.locale_id = 0x040C;
    frame_times({40});
    EXPECT_EQ(0, run());
    ASSERT_FALSE(script_captions().empty());
    EXPECT_EQ(std::string(voxel_messages[1][10]) + " 25", script_captions()[0].text);
    EXPECT_EQ(voxel_messages[1][2], box(0).text);
}

TEST_F(demo_frames, paint_during_the_switch_box_renders_with_the_standard_phase_flag) {
    // the clock stands still but for the frame painted under the box (0.7
    // ms), so only a change of the phase name can set the caption after it
    size_t captions_at_box = 0;
    int frames_at_box = 0;
    bool under_box = false;
    settings.on_message_box = [&](const script_box &b) {
        if (b.text == english(4)) {
            captions_at_box = script_captions().size();
            frames_at_box = script_frame_count();
            under_box = true;
            // something uncovers the window while the box is up
            InvalidateRect(script_main_window(), NULL, FALSE);
        }
    };
    settings.on_present = [&](const script_frame &) {
        if (under_box)
            script_advance_counter(700);
        under_box = false;
    };
    settings.on_idle = [pass = 0]() mutable {
        if (pass == 0)
            script_set_time(start_time + 5001);
        if (pass == 1)
            script_queue(script_input::escape);
        ++pass;
    };
    EXPECT_EQ(0, run());
    // the frame under the box in the standard phase, then the first vector
    // frame at once with the new name; the second vector frame (of the pass
    // that presses Escape) has the same text and sets nothing
    const std::vector<std::string> captions = caption_texts();
    ASSERT_EQ(captions_at_box + 2, captions.size());
    EXPECT_EQ(standard_caption(1428), captions[captions_at_box]);
    EXPECT_EQ(vector_caption(1000000), captions.back());
    EXPECT_EQ(script_boxes()[1].time, script_captions()[captions_at_box].time);
    EXPECT_EQ(script_boxes()[1].time, script_captions().back().time);
    EXPECT_EQ(script_frame_count(), frames_at_box + 3);
}

TEST_F(demo_frames, maximised_window_shows_the_frame_stretched_over_its_client_area) {
    RECT client = {};
    settings.on_present = [&](const script_frame &f) {
        if (f.index == 0)
            script_queue(script_input::maximise);
        if (f.index == 3) {
            GetClientRect(script_main_window(), &client);
            script_queue(script_input::escape);
        }
    };
    EXPECT_EQ(0, run());
    const script_frame &last = script_frames().back();
    EXPECT_GT(client.right, 512);
    EXPECT_GT(client.bottom, 512);
    EXPECT_EQ(client.right, last.width);
    EXPECT_EQ(client.bottom, last.height);
    // the bottom-right pixel is the frame's bottom-right pixel, not black
    const size_t bpp = size_t(last.bits_per_pixel / 8);
    const uint8_t *corner = last.pixels.data() + (size_t(last.height) * last.width - 1) * bpp;
    EXPECT_NE(0u, uint32_t(corner[0]) | corner[1] | corner[2]);
}

TEST_F(demo_frames, surface_rows_keep_their_first_two_bytes_from_before_the_copy) {
    settings.on_present = [](const script_frame &f) {
        if (f.index == 0) {
            // something else writes the first two bytes of every surface row
            DDSURFACEDESC desc = {};
            desc.dwSize = sizeof desc;
            ASSERT_EQ(DD_OK, IDirectDrawSurface_Lock(frame_surface, NULL, &desc, DDLOCK_WAIT, NULL));
            for (DWORD y = 0; y < desc.dwHeight; ++y) {
                uint8_t *row = static_cast<uint8_t *>(desc.lpSurface) + size_t(y) * size_t(desc.lPitch);
                row[0] = 0xA5;
                row[1] = 0x5A;
            }
            IDirectDrawSurface_Unlock(frame_surface, desc.lpSurface);
        }
        if (f.index == 1)
            script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    const script_frame &next = script_frames().back();
    ASSERT_EQ(1, next.index);
    const size_t row_bytes = size_t(next.width) * size_t(next.bits_per_pixel / 8);
    for (int y = 0; y < next.height; ++y) {
        SCOPED_TRACE(y);
        ASSERT_EQ(0xA5, next.pixels[size_t(y) * row_bytes]);
        ASSERT_EQ(0x5A, next.pixels[size_t(y) * row_bytes + 1]);
    }
}

TEST_P(presented_pixels, equal_voxel_render_after_the_same_frames) {
    const depth_case c = GetParam();
    settings.display_bits = c.bits;
    settings.display_555 = c.is_555;
    settings.on_present = [](const script_frame &f) {
        if (f.index == 2)
            script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    const script_frame shown = script_frames().back();
    const int frames = shown.index + 1;
    ASSERT_EQ(c.bits, shown.bits_per_pixel);

    // the same frames drawn offline from the same files
    render_options options;
    options.depth = c.depth;
    options.format_555 = c.is_555;
    std::string error;
    pixel_depth = c.depth;
    ASSERT_TRUE(load_landscape(options, &error)) << error;
    fly_frames(*find_render_path("standard"), c.depth, 1, frames, 1);
    const std::vector<uint8_t> surface = present_to_surface(c.depth);
    EXPECT_EQ(surface, shown.pixels);
    EXPECT_EQ(decode_surface(surface, c.depth, c.is_555, display_palette("heightc2.bmp")), decode_frame(shown));
    release_terrain();
}

INSTANTIATE_TEST_SUITE_P(depths, presented_pixels,
                         ::testing::Values(depth_case{8, false, 0}, depth_case{16, false, 1},
                                           depth_case{16, true, 1}, depth_case{24, false, 2},
                                           depth_case{32, false, 3}));

TEST_F(demo_frames, palette_at_8_bits_keeps_static_colours_and_shows_the_colour_table) {
    settings.display_bits = 8;
    frame_times({1, 1});
    EXPECT_EQ(0, run());
    const std::array<PALETTEENTRY, 256> shown = script_frames().back().system_palette;
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        if (i < 10 || i >= 246) {
            const system_colour s = static_colour_of(i);
            EXPECT_EQ(s.red, shown[i].peRed);
            EXPECT_EQ(s.green, shown[i].peGreen);
            EXPECT_EQ(s.blue, shown[i].peBlue);
        } else {
            // the written colour table: (i, 255 - i, 7i)
            EXPECT_EQ(uint8_t(i), shown[i].peRed);
            EXPECT_EQ(uint8_t(255 - i), shown[i].peGreen);
            EXPECT_EQ(uint8_t(i * 7), shown[i].peBlue);
        }
    }
    // every palette made for a frame was freed again
    EXPECT_EQ(0, script_live_gdi_objects());
}

TEST_F(demo_frames, no_palette_work_above_8_bits) {
    settings.display_bits = 24;
    frame_times({1, 1});
    EXPECT_EQ(0, run());
    EXPECT_EQ(0, script_calls(script_op::create_palette));
}
