// shell_startup.cpp - start-up, the window, refused depths, missing and
// unreadable data files, where the data is found, and Escape or closing in
// each phase.
#include <filesystem>

#include "tests/shell/demo_session.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/display.h"
#include "voxel/render/terrain.h"

using namespace shell_test;

namespace {

struct demo_startup : demo_session {
    // presses `input` at the first frame presented after `after_box` boxes
    void press_at_frame(script_input input, size_t after_boxes) {
        settings.on_present = [input, after_boxes, pressed = false](const script_frame &) mutable {
            if (!pressed && script_boxes().size() >= after_boxes) {
                pressed = true;
                script_queue(input);
            }
        };
    }
    // the switch comes at the first idle pass
    void switch_at_once() {
        settings.on_idle = [first = true]() mutable {
            if (first)
                script_set_time(start_time + 5001);
            first = false;
        };
    }
};

} // namespace

TEST_F(demo_startup, window_has_the_height_map_size_as_client_area_and_the_fixed_title) {
    RECT client = {};
    bool visible = false;
    settings.on_present = [&](const script_frame &f) {
        if (f.index != 0)
            return;
        GetClientRect(script_main_window(), &client);
        visible = script_window_visible(script_main_window());
        script_queue(script_input::escape);
    };
    EXPECT_EQ(0, run());
    EXPECT_EQ(0, client.left);
    EXPECT_EQ(0, client.top);
    EXPECT_EQ(512, client.right);
    EXPECT_EQ(512, client.bottom);
    EXPECT_TRUE(visible);
    ASSERT_FALSE(script_frames().empty());
    EXPECT_EQ(512, script_frames().front().width);
    EXPECT_EQ(512, script_frames().front().height);
}

TEST_F(demo_startup, caption_stays_the_title_until_the_first_frame) {
    std::string caption;
    settings.on_present = [&](const script_frame &f) {
        if (f.index == 0) {
            caption = script_window_caption(script_main_window());
            script_queue(script_input::escape);
        }
    };
    EXPECT_EQ(0, run());
    // the caption is written after the presentation
    EXPECT_EQ("Voxel Demo", caption);
}

TEST_F(demo_startup, success_box_of_the_vector_unit_comes_first) {
    press_at_frame(script_input::escape, 0);
    EXPECT_EQ(0, run());
    ASSERT_EQ(1u, script_boxes().size());
    EXPECT_EQ(english(2), box(0).text);
    EXPECT_EQ(english(3), box(0).caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), box(0).type);
    EXPECT_EQ(nullptr, box(0).owner);
}

TEST_F(demo_startup, unsupported_operating_system_ends_with_status_1_after_its_box) {
    settings.version.dwMajorVersion = 5;
    EXPECT_EQ(1, run());
    EXPECT_TRUE(script_exited());
    ASSERT_EQ(1u, script_boxes().size());
    EXPECT_EQ(english(14), box(0).text);
    EXPECT_EQ(english(15), box(0).caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), box(0).type);
    EXPECT_EQ(nullptr, script_main_window());
}

TEST_F(demo_startup, escape_in_the_standard_phase_ends_with_0_and_no_phase_box) {
    press_at_frame(script_input::escape, 1);
    EXPECT_EQ(0, run());
    EXPECT_FALSE(script_exited());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    EXPECT_EQ(0, script_live_direct_draw_objects());
    EXPECT_EQ(nullptr, frame_buffer);
}

TEST_F(demo_startup, escape_in_the_vector_phase_ends_with_0_and_no_final_box) {
    switch_at_once();
    press_at_frame(script_input::escape, 2);
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{english(2), english(4)}), box_texts());
}

TEST_F(demo_startup, closing_the_window_in_either_phase_ends_with_0) {
    press_at_frame(script_input::close, 1);
    EXPECT_EQ(0, run());
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    script_stop();

    switch_at_once();
    press_at_frame(script_input::close, 2);
    EXPECT_EQ(0, run());
    EXPECT_EQ((std::vector<std::string>{english(2), english(4)}), box_texts());
}

class refused_depths : public demo_session, public ::testing::WithParamInterface<int> {};

TEST_P(refused_depths, depth_is_refused_with_slots_8_and_9_and_status_1) {
    settings.display_bits = GetParam();
    EXPECT_EQ(1, run());
    EXPECT_TRUE(script_exited());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ(english(8), box(1).text);
    EXPECT_EQ(english(9), box(1).caption);
    EXPECT_EQ(UINT(MB_ICONERROR), box(1).type);
    // the window was made but never shown
    ASSERT_NE(nullptr, script_main_window());
    EXPECT_FALSE(script_window_visible(script_main_window()));
}

INSTANTIATE_TEST_SUITE_P(bits_per_pixel, refused_depths, ::testing::Values(4, 15, 0));

// A missing file is named with the folders looked in (here only the current
// one: the scripted platform knows no program file).
class missing_data_files : public demo_session, public ::testing::WithParamInterface<const char *> {};

TEST_P(missing_data_files, end_with_status_1_after_an_error_box_naming_the_file_before_any_window) {
    std::filesystem::remove(GetParam());
    EXPECT_EQ(1, run());
    EXPECT_TRUE(script_exited());
    EXPECT_EQ(nullptr, script_main_window());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("Missing data file(s): " + std::string(GetParam()) +
                  "\nThe files heightd2.bmp, heightc2.bmp and clouds.bmp must all be in one of these folders:\n" +
                  std::filesystem::current_path().string(),
              box(1).text);
    EXPECT_EQ("Voxel Demo", box(1).caption);
    EXPECT_EQ(UINT(MB_ICONERROR), box(1).type);
}

INSTANTIATE_TEST_SUITE_P(files, missing_data_files,
                         ::testing::Values("heightd2.bmp", "heightc2.bmp", "clouds.bmp"));

TEST_F(demo_startup, missing_data_box_is_in_the_locales_language) {
    settings.locale_id = 0x0407;   // German
    std::filesystem::remove("clouds.bmp");
    EXPECT_EQ(1, run());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("Fehlende Datendatei(en): clouds.bmp\nDie Dateien heightd2.bmp, heightc2.bmp und clouds.bmp "
              "m\xFCssen alle in einem dieser Ordner liegen:\n" + std::filesystem::current_path().string(),
              box(1).text);
    EXPECT_EQ("Voxel-Demo", box(1).caption);
}

// A whole landscape installed in `installed`/share/kelvane-demos, found
// beside the program's bin folder there; returns that data folder.
std::filesystem::path install_landscape(demo_startup &t, const test_support::scratch_directory &installed) {
    const std::filesystem::path shared = installed.path / "share" / "kelvane-demos";
    std::filesystem::create_directories(shared);
    std::filesystem::current_path(shared);
    write_landscape();
    std::filesystem::current_path(t.directory.path);
    t.settings.module_path = (installed.path / "bin" / "voxel").string();
    return shared;
}

// The current folder comes before the installed one beside the program's
// bin folder, which is used when the current folder lacks a file.
TEST_F(demo_startup, current_folder_wins_over_the_installed_data_folder) {
    test_support::scratch_directory installed;   // now the current folder too
    const std::filesystem::path shared = install_landscape(*this, installed);
    press_at_frame(script_input::escape, 1);

    EXPECT_EQ(0, run());
    EXPECT_EQ("", data_folder);
    script_stop();

    std::filesystem::remove("heightc2.bmp");
    EXPECT_EQ(0, run());
    EXPECT_EQ((shared / "").string(), data_folder);
    EXPECT_EQ(std::vector<std::string>{english(2)}, box_texts());
    EXPECT_FALSE(script_frames().empty());
}

// Files that are there but cannot be used: the file and the reader's reason,
// status -1, everything released.
TEST_F(demo_startup, unreadable_data_file_ends_with_minus_1_after_a_box_naming_file_and_reason) {
    ASSERT_TRUE(write_bytes_file("clouds.bmp", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(-1, run());
    EXPECT_TRUE(script_exited());
    ASSERT_NE(nullptr, script_main_window());
    EXPECT_FALSE(script_window_visible(script_main_window()));
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("This data file cannot be read:\n" + (std::filesystem::current_path() / "clouds.bmp").string() +
                  "\nnot a bitmap (the file does not begin with \"BM\")",
              box(1).text);
    EXPECT_EQ(UINT(MB_ICONERROR), box(1).type);
    EXPECT_EQ(0, script_frame_count());
    EXPECT_EQ(0, script_live_direct_draw_objects());
    EXPECT_EQ(nullptr, height_map);
    EXPECT_EQ(nullptr, colour_map);
}

// A broken file in the current folder is taken before good installed
// data; the box names the current folder, which a bare name would hide.
TEST_F(demo_startup, unreadable_height_map_ends_with_minus_1_before_any_window_naming_its_folder) {
    test_support::scratch_directory installed;   // now the current folder too
    install_landscape(*this, installed);
    ASSERT_TRUE(write_bytes_file("heightd2.bmp", {'B', 'M', 0, 0}));
    EXPECT_EQ(-1, run());
    EXPECT_EQ(nullptr, script_main_window());
    ASSERT_EQ(2u, script_boxes().size());
    EXPECT_EQ("This data file cannot be read:\n" + (directory.path / "heightd2.bmp").string() +
                  "\nnot a bitmap (the file is shorter than a bitmap header)",
              box(1).text);
}
