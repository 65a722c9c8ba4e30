// select_language over the locale ids a scripted machine reports.
#include <gtest/gtest.h>

#include "common/checks.h"
#include "platform/script/script.h"

namespace {

unsigned language_for(uint32_t locale_id) {
    script_settings settings;
    settings.locale_id = locale_id;
    script_start(settings);
    unsigned index = select_language();
    script_stop();
    return index;
}

TEST(select_language, english_of_any_territory_is_record_0) {
    EXPECT_EQ(language_for(0x0409), 0u);
    EXPECT_EQ(language_for(0x0809), 0u);
    EXPECT_EQ(language_for(0x0C09), 0u);
}

TEST(select_language, territory_variants_find_their_language) {
    EXPECT_EQ(language_for(0x040C), 1u);
    EXPECT_EQ(language_for(0x0C0C), 1u);  // French, Canada
    EXPECT_EQ(language_for(0x0410), 2u);
    EXPECT_EQ(language_for(0x0810), 2u);  // Italian, Switzerland
    EXPECT_EQ(language_for(0x0C0A), 3u);  // Spanish, modern sort
    EXPECT_EQ(language_for(0x040A), 3u);
    EXPECT_EQ(language_for(0x0416), 4u);  // Portuguese, Brazil
    EXPECT_EQ(language_for(0x0816), 4u);
    EXPECT_EQ(language_for(0x0807), 5u);  // German, Switzerland
    EXPECT_EQ(language_for(0x0407), 5u);
}

TEST(select_language, russian_korean_japanese) {
    EXPECT_EQ(language_for(0x0419), 6u);
    EXPECT_EQ(language_for(0x0412), 7u);
    EXPECT_EQ(language_for(0x0411), 10u);
}

TEST(select_language, chinese_prc_and_taiwan_are_compared_whole) {
    EXPECT_EQ(language_for(0x0804), 8u);
    EXPECT_EQ(language_for(0x0404), 9u);
}

TEST(select_language, other_chinese_locales_fall_back_to_english) {
    EXPECT_EQ(language_for(0x0C04), 11u);   // Hong Kong
    EXPECT_EQ(language_for(0x1004), 11u);   // Singapore
    EXPECT_EQ(language_for(0x1404), 11u);   // Macao
    EXPECT_EQ(language_for(0x20804), 11u);  // PRC with stroke sort order
    EXPECT_EQ(language_for(0x0004), 11u);
}

TEST(select_language, unlisted_languages_fall_back_to_english) {
    EXPECT_EQ(language_for(0x0413), 11u);  // Dutch
    EXPECT_EQ(language_for(0x041D), 11u);  // Swedish
    EXPECT_EQ(language_for(0x0000), 11u);
    EXPECT_EQ(language_for(0xFFFFFFFF), 11u);
}

TEST(select_language, masks_away_sort_order_for_other_languages) {
    EXPECT_EQ(language_for(0x10407), 5u);  // German, phone book sort
    EXPECT_EQ(language_for(0x40411), 10u);
}

TEST(select_language, follows_a_locale_change_while_running) {
    script_start();
    EXPECT_EQ(select_language(), 0u);
    script_set_locale(0x0419);
    EXPECT_EQ(select_language(), 6u);
    script_stop();
}

TEST(select_language, language_ids_are_in_table_order) {
    const uint32_t expected[11] = {0x09, 0x0C, 0x10, 0x0A, 0x16, 0x07,
                                   0x19, 0x12, 0x804, 0x404, 0x11};
    for (int i = 0; i < 11; i++) EXPECT_EQ(language_ids[i], expected[i]) << i;
}

}  // namespace
