// What the sdl backend decides about keys and titles without a window
// system: which key strokes answer a message box, the lParam of the key
// messages, and the shorter title of a caption too wide for its title bar.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/sdl/box/box_keys.h"
#include "platform/sdl/key_message.h"
#include "platform/sdl/title_fit.h"

namespace {

using plat::box::answer_key;
using plat::box::key_effect;
using plat::box::on_key;

TEST(box_keys, a_key_pressed_in_the_box_answers_it_when_let_go) {
    for (answer_key key : {answer_key::enter, answer_key::escape, answer_key::space}) {
        plat::box::key_state keys;
        // Enter and Space push the button in while held; Escape does not
        EXPECT_EQ(on_key(keys, key, true, false), key == answer_key::escape ? key_effect::none : key_effect::press);
        EXPECT_EQ(on_key(keys, key, true, true), key_effect::none);
        EXPECT_EQ(on_key(keys, key, false, false), key_effect::close);
    }
}

TEST(box_keys, a_key_held_before_the_box_and_its_repeats_never_answer_it) {
    plat::box::key_state keys;
    // Enter went down in the window before (or closed the box before) and
    // is repeating: its repeats and its release reach the new box
    for (int n = 0; n < 20; n++) EXPECT_EQ(on_key(keys, answer_key::enter, true, true), key_effect::none);
    EXPECT_EQ(on_key(keys, answer_key::enter, false, false), key_effect::none);
    // the next press, made in the box, does
    EXPECT_EQ(on_key(keys, answer_key::enter, true, false), key_effect::press);
    EXPECT_EQ(on_key(keys, answer_key::enter, false, false), key_effect::close);
    // once let go, a second release is nothing
    EXPECT_EQ(on_key(keys, answer_key::enter, false, false), key_effect::none);
}

TEST(box_keys, only_the_key_pressed_in_the_box_counts_and_other_keys_never) {
    plat::box::key_state keys;
    EXPECT_EQ(on_key(keys, answer_key::escape, true, false), key_effect::none);
    EXPECT_EQ(on_key(keys, answer_key::enter, false, false), key_effect::none);
    EXPECT_EQ(on_key(keys, answer_key::other, true, false), key_effect::none);
    EXPECT_EQ(on_key(keys, answer_key::other, false, false), key_effect::none);
    EXPECT_EQ(on_key(keys, answer_key::escape, false, false), key_effect::close);
}

TEST(key_messages, a_repeat_has_the_previous_state_bit_and_a_release_both_high_bits) {
    EXPECT_EQ(plat::key_message_lparam(true, false), 0x00000001u);
    EXPECT_EQ(plat::key_message_lparam(true, true), 0x40000001u);
    EXPECT_EQ(plat::key_message_lparam(false, false), 0xC0000001u);
    EXPECT_EQ(plat::key_message_lparam(false, true), 0xC0000001u);
}

// 8 pixels a character (UTF-8 continuation bytes take none)
int eight_per_character(std::string_view text) {
    int width = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) width += 8;
    return width;
}

std::string fitted(std::string_view caption, int characters) {
    return plat::fitted_title(caption, characters * 8, eight_per_character);
}

TEST(title_fit, a_caption_that_fits_or_has_no_number_is_given_as_it_is) {
    EXPECT_EQ(fitted("Kelvane-enabled Voxel Demo FPS: 3620", 36), "Kelvane-enabled Voxel Demo FPS: 3620");
    EXPECT_EQ(fitted("Voxel Demo", 4), "Voxel Demo");
    EXPECT_EQ(fitted("Voxel Demo 3D", 4), "Voxel Demo 3D");  // "3D" is no number
}

TEST(title_fit, a_narrow_title_bar_gets_the_number_first_and_as_much_of_the_name_as_fits) {
    EXPECT_EQ(fitted("Kelvane-enabled Voxel Demo FPS: 3620", 35), "FPS: 3620 \u2013 Kelvane-enabled Voxel\u2026");
    EXPECT_EQ(fitted("Kelvane-enabled Voxel Demo FPS: 3620", 16), "FPS: 3620 \u2013 Kel\u2026");
    // narrower still: the number and the name's first letter, never less
    EXPECT_EQ(fitted("Standard Voxel Demo FPS: 951", 3), "FPS: 951 \u2013 S\u2026");
    // without a label before it the number alone goes first
    EXPECT_EQ(fitted("Standard Voxel Demo 951", 12), "951 \u2013 Stand\u2026");
}

TEST(title_fit, a_name_is_cut_between_characters_never_inside_one) {
    // "é" is two bytes: a cut after "Démo acc" keeps it whole
    EXPECT_EQ(fitted("D\u00e9mo acc\u00e9l\u00e9r\u00e9e IPS : 812", 22), "IPS : 812 \u2013 D\u00e9mo acc\u00e9\u2026");
}

}  // namespace
