// The machine's settings: locale names to locale ids and code pages, text
// conversion to UTF-8, and the display depth setting.
#include <gtest/gtest.h>

#include "platform/settings.h"

namespace {

TEST(locale_id_from_name, language_and_territory) {
    EXPECT_EQ(locale_id_from_name("fr_CA.UTF-8"), 0x0C0Cu);
    EXPECT_EQ(locale_id_from_name("de_CH.UTF-8"), 0x0807u);
    EXPECT_EQ(locale_id_from_name("pt_BR.UTF-8"), 0x0416u);
    EXPECT_EQ(locale_id_from_name("es_ES.UTF-8"), 0x0C0Au);
    EXPECT_EQ(locale_id_from_name("zh_CN.UTF-8"), 0x0804u);
    EXPECT_EQ(locale_id_from_name("zh_TW.UTF-8"), 0x0404u);
    EXPECT_EQ(locale_id_from_name("zh_HK.UTF-8"), 0x0C04u);
    EXPECT_EQ(locale_id_from_name("zh_SG.UTF-8"), 0x1004u);
    EXPECT_EQ(locale_id_from_name("ja_JP.UTF-8"), 0x0411u);
    EXPECT_EQ(locale_id_from_name("ko_KR.UTF-8"), 0x0412u);
    EXPECT_EQ(locale_id_from_name("ru_RU.UTF-8"), 0x0419u);
    EXPECT_EQ(locale_id_from_name("nl_NL.UTF-8"), 0x0413u);
    EXPECT_EQ(locale_id_from_name("en_GB.UTF-8"), 0x0809u);
    EXPECT_EQ(locale_id_from_name("en_US.UTF-8"), 0x0409u);
    EXPECT_EQ(locale_id_from_name("it_IT"), 0x0410u);
    EXPECT_EQ(locale_id_from_name("pt_PT"), 0x0816u);
}

TEST(locale_id_from_name, codeset_and_modifier_are_ignored) {
    EXPECT_EQ(locale_id_from_name("de_DE@euro"), 0x0407u);
    EXPECT_EQ(locale_id_from_name("ru_RU.KOI8-R"), 0x0419u);
    EXPECT_EQ(locale_id_from_name("fr_BE.ISO-8859-1@euro"), 0x080Cu);
}

TEST(locale_id_from_name, language_alone_gets_its_default) {
    EXPECT_EQ(locale_id_from_name("fr"), 0x040Cu);
    EXPECT_EQ(locale_id_from_name("de"), 0x0407u);
    EXPECT_EQ(locale_id_from_name("ja"), 0x0411u);
    EXPECT_EQ(locale_id_from_name("zh"), 0x0804u);
    EXPECT_EQ(locale_id_from_name("ru.UTF-8"), 0x0419u);
}

TEST(locale_id_from_name, unlisted_territory_gets_the_language_default) {
    EXPECT_EQ(locale_id_from_name("fr_SN.UTF-8"), 0x040Cu);
    EXPECT_EQ(locale_id_from_name("de_BE.UTF-8"), 0x0407u);
}

TEST(locale_id_from_name, c_posix_and_nothing_are_us_english) {
    bool understood = false;
    EXPECT_EQ(locale_id_from_name("C", &understood), 0x0409u);
    EXPECT_TRUE(understood);
    EXPECT_EQ(locale_id_from_name("POSIX"), 0x0409u);
    EXPECT_EQ(locale_id_from_name("C.UTF-8"), 0x0409u);
    EXPECT_EQ(locale_id_from_name(""), 0x0409u);
    EXPECT_EQ(locale_id_from_name(nullptr), 0x0409u);
}

TEST(locale_id_from_name, unknown_language_is_reported_and_us_english) {
    bool understood = true;
    EXPECT_EQ(locale_id_from_name("xx_YY.UTF-8", &understood), 0x0409u);
    EXPECT_FALSE(understood);
    understood = true;
    EXPECT_EQ(locale_id_from_name("123", &understood), 0x0409u);
    EXPECT_FALSE(understood);
}

TEST(locale_id_from_environment, takes_the_first_non_empty_variable) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(locale_id_from_environment(), 0x0411u);
    setenv("LC_ALL", "ko_KR.UTF-8", 1);
    EXPECT_EQ(locale_id_from_environment(), 0x0412u);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(locale_id_from_environment(), 0x0407u);
    unsetenv("LANG");
    EXPECT_EQ(locale_id_from_environment(), 0x0409u);
}

TEST(code_page_of_locale, by_language_and_chinese_by_territory) {
    EXPECT_EQ(code_page_of_locale(0x0409), 1252u);
    EXPECT_EQ(code_page_of_locale(0x040C), 1252u);
    EXPECT_EQ(code_page_of_locale(0x0419), 1251u);
    EXPECT_EQ(code_page_of_locale(0x0412), 949u);
    EXPECT_EQ(code_page_of_locale(0x0411), 932u);
    EXPECT_EQ(code_page_of_locale(0x0804), 936u);
    EXPECT_EQ(code_page_of_locale(0x1004), 936u);
    EXPECT_EQ(code_page_of_locale(0x0404), 950u);
    EXPECT_EQ(code_page_of_locale(0x0C04), 950u);
    EXPECT_EQ(code_page_of_locale(0x0415), 1250u);
    EXPECT_EQ(code_page_of_locale(0x0408), 1253u);
}

TEST(code_page_to_utf8, converts_each_code_page) {
    EXPECT_EQ(code_page_to_utf8("D\xE9mo", 1252), "Démo");
    EXPECT_EQ(code_page_to_utf8("\xCE\xF8\xE8\xE1\xEA\xE0", 1251), "Ошибка");
    EXPECT_EQ(code_page_to_utf8("\xB4\xD7\xB0", 932), "ｴﾗｰ");
    EXPECT_EQ(code_page_to_utf8("\xB4\xED\xCE\xF3", 936), "错误");
    EXPECT_EQ(code_page_to_utf8("\xBF\xF9\xBB~", 950), "錯誤");
    EXPECT_EQ(code_page_to_utf8("\xBF\xC0\xB7\xF9", 949), "오류");
    EXPECT_EQ(code_page_to_utf8("plain\nlines", 1252), "plain\nlines");
    EXPECT_EQ(code_page_to_utf8("", 1252), "");
}

TEST(code_page_to_utf8, undefined_bytes_become_question_marks) {
    EXPECT_EQ(code_page_to_utf8("a\x81z", 1252), "a?z");
    EXPECT_EQ(code_page_to_utf8("cut \x82", 932), "cut ?");
}

TEST(parse_display_depth, the_named_depths) {
    int bits = 0;
    bool is_555 = true;
    ASSERT_TRUE(parse_display_depth("8", &bits, &is_555));
    EXPECT_EQ(bits, 8);
    EXPECT_FALSE(is_555);
    ASSERT_TRUE(parse_display_depth("16", &bits, &is_555));
    EXPECT_EQ(bits, 16);
    EXPECT_FALSE(is_555);
    ASSERT_TRUE(parse_display_depth("16-555", &bits, &is_555));
    EXPECT_EQ(bits, 16);
    EXPECT_TRUE(is_555);
    ASSERT_TRUE(parse_display_depth("24", &bits, &is_555));
    EXPECT_EQ(bits, 24);
    ASSERT_TRUE(parse_display_depth("32", &bits, &is_555));
    EXPECT_EQ(bits, 32);
}

TEST(parse_display_depth, other_numbers_are_reported_as_they_are) {
    int bits = 0;
    bool is_555 = false;
    ASSERT_TRUE(parse_display_depth("15", &bits, &is_555));
    EXPECT_EQ(bits, 15);
    ASSERT_TRUE(parse_display_depth("4", &bits, &is_555));
    EXPECT_EQ(bits, 4);
    ASSERT_TRUE(parse_display_depth("0", &bits, &is_555));
    EXPECT_EQ(bits, 0);
}

TEST(parse_display_depth, nonsense_is_refused_and_leaves_the_outputs) {
    int bits = 32;
    bool is_555 = false;
    for (const char *bad : {"", "deep", "16-565", "32bits", "-8", "999"}) {
        EXPECT_FALSE(parse_display_depth(bad, &bits, &is_555)) << bad;
        EXPECT_EQ(bits, 32);
    }
}

}  // namespace
