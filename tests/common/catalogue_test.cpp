// The two message catalogues: shape, the English texts byte for byte, every
// language's captions and titles, and the code-page bytes of the texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/checks.h"
#include "platform/script/script.h"

namespace {

const char *const voxel_english[16] = {
    "FAILURE: Kelvane support has not been enabled.",
    "Error 251",
    "SUCCESS: Kelvane support has been enabled.",
    "Voxel Demo",
    "Standard Voxel Demo Completed. \nStarting the Kelvane-enabled Voxel Demo.",
    "Voxel Demo",
    "Kelvane-enabled Voxel Demo Completed.",
    "Voxel Demo",
    "Voxel Demo only supports 8-bit, 16-bit, 24-bit or 32-bit color palettes.",
    "Error 257",
    "Standard Voxel Demo FPS:",
    "",
    "Kelvane-enabled Voxel Demo FPS:",
    "",
    "FAILURE: This demo is supported only on Windows* NT* Version 4.0 Service Pack 4.",
    "Error 259",
};

const char *const fir_english[10] = {
    "Standard demo time",
    "Kelvane-enabled demo time",
    "second(s)",
    "Message ",
    "FAILURE: Kelvane support has not been enabled.",
    "Error 251",
    "SUCCESS: Kelvane support has been enabled.\nStarting a comparative computation of a Finite "
    "Impulse Response (FIR) filter using Kelvane and Floating Point instructions.\nThis demo "
    "might take about one minute to run.",
    "Message ",
    "FAILURE: This demo is supported only on Windows* NT* Version 4.0 Service Pack 4.",
    "Error 259",
};

// Per record: the error caption word, the voxel title and the fir caption,
// in each language's code page.
struct record_words {
    const char *error, *title, *message;
};

const record_words words[12] = {
    {"Error", "Voxel Demo", "Message "},
    {"Erreur", "D\xE9monstration Voxel", "Message "},
    {"Errore", "Demo Voxel", "Messaggio "},
    {"Error", "Demo Voxel", "Mensaje "},
    {"Erro", "Demo Voxel", "Mensagem "},
    {"Fehler", "Voxel-Demo", "Meldung "},
    {"\xCE\xF8\xE8\xE1\xEA\xE0",
     "\xC4\xE5\xEC\xEE\xED\xF1\xF2\xF0\xE0\xF6\xE8\xEE\xED\xED\xE0\xFF "
     "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 Voxel",
     "\xD1\xEE\xEE\xE1\xF9\xE5\xED\xE8\xE5 "},
    {"\xBF\xC0\xB7\xF9", "Voxel \xB5\xA5\xB8\xF0", "\xB8\xDE\xBD\xC3\xC1\xF6 "},
    {"\xB4\xED\xCE\xF3", "Voxel \xD1\xDD\xCA\xBE", "\xD0\xC5\xCF\xA2 "},
    {"\xBF\xF9\xBB~", "Voxel \xA5\xDC\xBD" "d", "\xB0T\xAE\xA7 "},
    {"\xB4\xD7\xB0", "Voxel\xC3\xDE\xD3", "\xD2\xAF\xBE\xB0\xBC\xDE "},
    {"Error", "Voxel Demo", "Message "},
};

TEST(catalogues, have_twelve_records_of_sixteen_and_ten_slots) {
    EXPECT_EQ(sizeof voxel_messages / sizeof voxel_messages[0], 12u);
    EXPECT_EQ(sizeof voxel_messages[0] / sizeof voxel_messages[0][0], 16u);
    EXPECT_EQ(sizeof fir_messages / sizeof fir_messages[0], 12u);
    EXPECT_EQ(sizeof fir_messages[0] / sizeof fir_messages[0][0], 10u);
}

TEST(catalogues, every_slot_holds_a_text) {
    for (int r = 0; r < 12; r++) {
        for (int s = 0; s < 16; s++) ASSERT_NE(voxel_messages[r][s], nullptr) << r << " " << s;
        for (int s = 0; s < 10; s++) ASSERT_NE(fir_messages[r][s], nullptr) << r << " " << s;
        EXPECT_STREQ(voxel_messages[r][11], "") << r;
        EXPECT_STREQ(voxel_messages[r][13], "") << r;
    }
}

TEST(catalogues, english_and_fallback_records_hold_the_english_texts) {
    for (int r : {0, 11}) {
        for (int s = 0; s < 16; s++) EXPECT_STREQ(voxel_messages[r][s], voxel_english[s]) << s;
        for (int s = 0; s < 10; s++) EXPECT_STREQ(fir_messages[r][s], fir_english[s]) << s;
    }
}

TEST(catalogues, error_captions_are_the_word_a_blank_and_the_number) {
    for (int r = 0; r < 12; r++) {
        std::string word = words[r].error;
        EXPECT_EQ(voxel_messages[r][1], word + " 251") << r;
        EXPECT_EQ(voxel_messages[r][9], word + " 257") << r;
        EXPECT_EQ(voxel_messages[r][15], word + " 259") << r;
        EXPECT_EQ(fir_messages[r][5], word + " 251") << r;
        EXPECT_EQ(fir_messages[r][9], word + " 259") << r;
    }
}

TEST(catalogues, titles_and_message_captions_of_every_language) {
    for (int r = 0; r < 12; r++) {
        for (int slot : {3, 5, 7}) EXPECT_STREQ(voxel_messages[r][slot], words[r].title) << r;
        for (int slot : {3, 7}) EXPECT_STREQ(fir_messages[r][slot], words[r].message) << r;
    }
}

TEST(catalogues, long_texts_name_kelvane_and_windows_nt_in_every_language) {
    for (int r = 0; r < 12; r++) {
        for (int slot : {0, 2, 4, 6, 12})
            EXPECT_NE(strstr(voxel_messages[r][slot], "Kelvane"), nullptr) << r << " " << slot;
        for (int slot : {1, 4, 6})
            EXPECT_NE(strstr(fir_messages[r][slot], "Kelvane"), nullptr) << r << " " << slot;
        EXPECT_NE(strstr(voxel_messages[r][14], "Windows* NT*"), nullptr) << r;
        EXPECT_NE(strstr(fir_messages[r][8], "Windows* NT*"), nullptr) << r;
        EXPECT_NE(strstr(voxel_messages[r][14], "4.0"), nullptr) << r;
    }
}

TEST(catalogues, both_programs_share_the_start_up_texts) {
    for (int r = 0; r < 12; r++) {
        EXPECT_STREQ(voxel_messages[r][0], fir_messages[r][4]) << r;
        EXPECT_STREQ(voxel_messages[r][14], fir_messages[r][8]) << r;
    }
}

TEST(catalogues, french_operating_system_text) {
    EXPECT_STREQ(voxel_messages[1][14],
                 "ECHEC : Cette d\xE9monstration est prise en charge sous Windows* NT* version 4.0 "
                 "avec Service Pack 4 uniquement.");
}

TEST(catalogues, line_breaks_are_single_newlines) {
    for (int r = 0; r < 12; r++) {
        EXPECT_EQ(strchr(voxel_messages[r][4], '\r'), nullptr) << r;
        EXPECT_NE(strchr(voxel_messages[r][4], '\n'), nullptr) << r;
        const char *text = fir_messages[r][6];
        int breaks = 0;
        for (const char *p = text; *p; p++) breaks += *p == '\n';
        EXPECT_EQ(breaks, 2) << r;
    }
}

// What a box with a caption shows, through the platform's code-page
// conversion for the machine's locale.
std::string caption_shown(uint32_t locale_id, const char *caption) {
    script_settings settings;
    settings.locale_id = locale_id;
    script_start(settings);
    MessageBoxA(NULL, "", caption, MB_OK);
    std::string shown = script_boxes().at(0).caption_utf8;
    script_stop();
    return shown;
}

TEST(catalogues, captions_show_as_their_language_in_utf8) {
    EXPECT_EQ(caption_shown(0x0419, voxel_messages[6][1]), "Ошибка 251");
    EXPECT_EQ(caption_shown(0x0419, voxel_messages[6][3]), "Демонстрационная программа Voxel");
    EXPECT_EQ(caption_shown(0x0411, voxel_messages[10][15]), "ｴﾗｰ 259");
    EXPECT_EQ(caption_shown(0x0411, voxel_messages[10][3]), "Voxelﾃﾞﾓ");
    EXPECT_EQ(caption_shown(0x0411, fir_messages[10][3]), "ﾒｯｾｰｼﾞ ");
    EXPECT_EQ(caption_shown(0x0804, voxel_messages[8][9]), "错误 257");
    EXPECT_EQ(caption_shown(0x0804, voxel_messages[8][3]), "Voxel 演示");
    EXPECT_EQ(caption_shown(0x0404, voxel_messages[9][1]), "錯誤 251");
    EXPECT_EQ(caption_shown(0x0404, fir_messages[9][3]), "訊息 ");
    EXPECT_EQ(caption_shown(0x0412, voxel_messages[7][3]), "Voxel 데모");
    EXPECT_EQ(caption_shown(0x040C, voxel_messages[1][3]), "Démonstration Voxel");
}

TEST(catalogues, every_text_converts_cleanly_from_its_code_page) {
    const uint32_t locale_of_record[12] = {0x0409, 0x040C, 0x0410, 0x0C0A, 0x0416, 0x0407,
                                           0x0419, 0x0412, 0x0804, 0x0404, 0x0411, 0x0409};
    for (int r = 0; r < 12; r++) {
        script_settings settings;
        settings.locale_id = locale_of_record[r];
        script_start(settings);
        for (int s = 0; s < 16; s += 2) MessageBoxA(NULL, voxel_messages[r][s], voxel_messages[r][s + 1], 0);
        for (int s = 4; s < 10; s += 2) MessageBoxA(NULL, fir_messages[r][s], fir_messages[r][s + 1], 0);
        for (const script_box &box : script_boxes()) {
            EXPECT_EQ(box.text_utf8.find('?'), std::string::npos) << r << " " << box.text_utf8;
            EXPECT_EQ(box.caption_utf8.find('?'), std::string::npos) << r;
        }
        script_stop();
    }
}

TEST(current_messages, points_at_a_record_the_program_chose) {
    current_messages = fir_messages[3];
    EXPECT_STREQ(current_messages[3], "Mensaje ");
    current_messages = voxel_messages[5];
    EXPECT_STREQ(current_messages[3], "Voxel-Demo");
}

}  // namespace
