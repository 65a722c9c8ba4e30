// The message box's layout without a display: a fake font in which a Latin
// character is 8 pixels wide and a CJK one 16.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/sdl/box/box_layout.h"

using namespace plat::box;

static int fake_width(std::string_view text) {
    int w = 0;
    for (size_t at = 0; at < text.size();) w += next_code_point(text, &at) >= 0x2E80 ? 16 : 8;
    return w;
}

static std::vector<std::string> words_of(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

TEST(box_layout, keeps_line_breaks_and_wraps_long_lines_at_spaces_greedily) {
    const std::string first = "SUCCESS: Kelvane support has been enabled. ";
    const std::string second =
        "Starting a comparative computation of a Finite Impulse Response (FIR) filter using "
        "Kelvane and Floating Point instructions.";
    const auto lines = break_lines(first + "\n" + second, 400, fake_width);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "SUCCESS: Kelvane support has been enabled.");  // no trailing space
    std::string rest;
    for (size_t i = 1; i < lines.size(); i++) {
        EXPECT_LE(fake_width(lines[i]), 400) << lines[i];
        EXPECT_NE(lines[i].back(), ' ');
        // greedy: the next line's first word would not have fitted
        if (i + 1 < lines.size()) {
            EXPECT_GT(fake_width(lines[i] + " " + words_of(lines[i + 1])[0]), 400) << lines[i];
        }
        rest += lines[i] + " ";
    }
    EXPECT_EQ(words_of(rest), words_of(second));  // nothing lost, nothing cut
}

TEST(box_layout, wraps_text_without_spaces_between_characters_but_not_before_closing_marks) {
    // ten characters of 16 pixels fit in 160; the eleventh is a mark that
    // must not begin a line, so its neighbour goes down with it
    auto lines = break_lines("あいうえおかきくけこ。さしすせそ", 160, fake_width);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "あいうえおかきくけ");
    EXPECT_EQ(lines[1], "こ。さしすせそ");
    // the same for the half-width sound mark of half-width katakana
    lines = break_lines("ｱｲｳｴｵｶｷｸｹﾃﾞｺ", 160, fake_width);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ｱｲｳｴｵｶｷｸｹ");
    EXPECT_EQ(lines[1], "ﾃﾞｺ");
}

TEST(box_layout, icon_left_text_beside_it_button_centred_below) {
    layout_input in;
    in.text = "Standard Voxel Demo Completed. \nStarting the Kelvane-enabled Voxel Demo.";
    in.line_height = 18;
    in.button_label_width = 20;
    const layout l = lay_out(in, fake_width);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.icon.x, margin);
    EXPECT_EQ(l.icon.w, icon_size);
    EXPECT_GE(l.text.x, l.icon.x + l.icon.w + 8);
    EXPECT_EQ(l.text.w, fake_width("Starting the Kelvane-enabled Voxel Demo."));
    EXPECT_LE(l.text.x + l.text.w + margin, l.width);
    EXPECT_EQ(l.text.h, 36);
    // the button centred in the band below the text and the icon
    EXPECT_GE(l.button.y, std::max(l.text.y + l.text.h, l.icon.y + l.icon.h) + margin);
    EXPECT_LE(std::abs(2 * l.button.x + l.button.w - l.width), 1);
    EXPECT_GE(l.button.w, min_button_width);
    EXPECT_EQ(l.height, l.button.y + l.button.h + 11);

    // a long line keeps the box within the width suited to the screen
    std::string long_text(300, 'x');
    for (size_t i = 7; i < long_text.size(); i += 8) long_text[i] = ' ';
    // (five eighths of an 800-pixel screen is 500: less the margins, the
    // icon and its gap, 432 for the text; six words of 56 pixels and their
    // spaces take 376, a seventh would make 440)
    in.text = long_text;
    in.screen_width = 800;
    const layout wide = lay_out(in, fake_width);
    EXPECT_EQ(wide.text.w, 376);
    EXPECT_EQ(wide.width, wide.text.x + 376 + margin + 6);

    // no icon: the text starts at the margin; one short line is centred on
    // the icon's height when there is one
    in.text = "OK";
    in.icon = false;
    EXPECT_EQ(lay_out(in, fake_width).text.x, margin);
    in.icon = true;
    const layout one = lay_out(in, fake_width);
    EXPECT_EQ(one.text.y + one.text.h / 2, one.icon.y + one.icon.h / 2);
}
