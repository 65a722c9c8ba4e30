// demo_session.h - running the whole voxel program against the scriptable
// platform, in a scratch directory that holds a small written landscape.
//
//   struct my_tests : shell_test::demo_session {};
//   TEST_F(my_tests, ...) {
//       settings.on_idle = [&] { ... move the clock before an idle pass ... };
//       const int status = run();              // run_demo through script_run
//       EXPECT_EQ(texts(1), ...);              // the boxes as shown
//   }
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "platform/script/script.h"

#include "common/messages.h"
#include "tests/support/scratch_directory.h"
#include "tools/landscape/bitmap_write.h"
#include "voxel/shell/shell.h"

namespace shell_test {

constexpr uint32_t start_time = 1000;   // the scripted clock at start; the phase clock's zero

// English catalogue texts.
inline std::string english(int slot) { return voxel_messages[0][slot]; }

// An 8-bit bitmap whose pixel at (x, y) is pixel(x, y) and whose colour
// table entry i is (i, 255 - i, (i * 7) & 255).
inline void write_pattern(const char *name, int width, int height,
                          const std::function<uint8_t(int, int)> &pixel) {
    bitmap_image image = make_bitmap(width, height, 8);
    for (int i = 0; i < 256; ++i)
        set_table_colour(image, i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[size_t(y) * image.row_bytes() + size_t(x)] = pixel(x, y);
    ASSERT_TRUE(write_bitmap_file(name, image));
}

// Hills of many heights, colours in bands, a sky with a gradient.
inline void write_landscape() {
    write_pattern("heightd2.bmp", 512, 512, [](int x, int y) { return uint8_t(((x * 3) ^ (y * 5)) & 255); });
    write_pattern("heightc2.bmp", 512, 512, [](int x, int y) { return uint8_t((x + 2 * y) & 255); });
    write_pattern("clouds.bmp", 512, 512, [](int x, int y) { return uint8_t(20 + ((x / 8 + y) % 200)); });
}

struct demo_session : ::testing::Test {
    test_support::scratch_directory directory;
    script_settings settings;
    std::function<void()> before_run;   // after script_start, before the program runs

    demo_session() {
        write_landscape();
        settings.start_time = start_time;
        settings.frames_kept = 4;
    }
    ~demo_session() override { script_stop(); }

    // A faulty program could show boxes or frames without end; the scripted
    // user then presses Escape so that the test fails instead of hanging.
    static constexpr size_t box_limit = 50;
    static constexpr int frame_limit = 2000;
    static constexpr int idle_limit = 100000;

    int run() {
        script_settings bounded = settings;
        bounded.on_present = [hook = settings.on_present](const script_frame &f) {
            if (hook)
                hook(f);
            if (f.index > frame_limit)
                script_queue(script_input::escape);
        };
        bounded.on_idle = [hook = settings.on_idle, passes = 0]() mutable {
            if (hook)
                hook();
            // outside any box, so that the window takes the key
            if (++passes == idle_limit || script_boxes().size() == box_limit)
                script_queue(script_input::escape);
        };
        script_start(bounded);
        if (before_run)
            before_run();
        return script_run([] { return run_demo(GetModuleHandleA(NULL), SW_SHOWNORMAL); });
    }

    static const script_box &box(size_t i) { return script_boxes().at(i); }
    // The text slots of the boxes shown, in order, as English texts.
    static std::vector<std::string> box_texts() {
        std::vector<std::string> texts;
        for (const script_box &b : script_boxes())
            texts.push_back(b.text);
        return texts;
    }
    static std::vector<std::string> caption_texts() {
        std::vector<std::string> texts;
        for (const script_caption &c : script_captions())
            texts.push_back(c.text);
        return texts;
    }
};

// Frames per second as the caption shows them, in the English standard phase.
inline std::string standard_caption(int fps) { return english(10) + " " + std::to_string(fps); }
inline std::string vector_caption(int fps) { return english(12) + " " + std::to_string(fps); }

} // namespace shell_test
