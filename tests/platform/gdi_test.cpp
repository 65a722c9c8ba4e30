// Device contexts, the display's capabilities and the 8-bit system palette.
#include <gtest/gtest.h>

#include <vector>

#include "platform/script/script.h"
#include "platform/system_colours.h"

namespace {

struct palette_session : ::testing::Test {
    void TearDown() override { script_stop(); }
    void open(int bits) {
        script_settings settings;
        settings.display_bits = bits;
        script_start(settings);
    }
};

// A logical palette of 256 entries, entry i = (i, 255 - i, i / 2).
HPALETTE ramp_palette() {
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    LOGPALETTE *lp = (LOGPALETTE *)block.data();
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (int i = 0; i < 256; i++)
        lp->palPalEntry[i] = PALETTEENTRY{(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), PC_NOCOLLAPSE};
    return CreatePalette(lp);
}

TEST_F(palette_session, display_information_context_reports_bits_per_pixel) {
    for (int bits : {8, 16, 24, 32, 15, 4, 0}) {
        open(bits);
        HDC ic = CreateICA("Display", NULL, NULL, NULL);
        ASSERT_NE(ic, nullptr);
        EXPECT_EQ(GetDeviceCaps(ic, BITSPIXEL), bits);
        EXPECT_EQ(GetDeviceCaps(ic, PLANES), 1);
        EXPECT_TRUE(DeleteDC(ic));
        EXPECT_EQ(script_live_gdi_objects(), 0);
    }
}

TEST_F(palette_session, only_the_display_driver_exists) {
    open(32);
    EXPECT_EQ(CreateICA("Printer", NULL, NULL, NULL), nullptr);
    script_fail(script_op::create_ic, E_FAIL);
    EXPECT_EQ(CreateICA("Display", NULL, NULL, NULL), nullptr);
}

TEST_F(palette_session, system_palette_starts_with_the_static_colours) {
    open(8);
    HDC screen = GetDC(NULL);
    PALETTEENTRY entries[256];
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 256u);
    ReleaseDC(NULL, screen);
    for (int i : {0, 7, 9, 246, 250, 255}) {
        system_colour c = static_colour_of(i);
        EXPECT_EQ(entries[i].peRed, c.red) << i;
        EXPECT_EQ(entries[i].peGreen, c.green) << i;
        EXPECT_EQ(entries[i].peBlue, c.blue) << i;
    }
    EXPECT_EQ(entries[255].peRed, 255);
    EXPECT_EQ(entries[1].peRed, 128);
}

TEST_F(palette_session, realising_puts_entries_10_to_245_into_the_system_palette) {
    open(8);
    HDC screen = GetDC(NULL);
    HPALETTE ramp = ramp_palette();
    ASSERT_NE(ramp, nullptr);
    HPALETTE previous = SelectPalette(screen, ramp, FALSE);
    EXPECT_NE(previous, nullptr);
    EXPECT_EQ(RealizePalette(screen), 236u);
    PALETTEENTRY entries[256];
    GetSystemPaletteEntries(screen, 0, 256, entries);
    EXPECT_EQ(entries[10].peRed, 10);
    EXPECT_EQ(entries[10].peGreen, 245);
    EXPECT_EQ(entries[245].peRed, 245);
    EXPECT_EQ(entries[100].peBlue, 50);
    EXPECT_EQ(entries[100].peFlags, 0);
    // the static colours stay
    EXPECT_EQ(entries[9].peRed, static_colour_of(9).red);
    EXPECT_EQ(entries[246].peRed, static_colour_of(246).red);
    SelectPalette(screen, previous, FALSE);
    EXPECT_TRUE(DeleteObject(ramp));
    ReleaseDC(NULL, screen);
    EXPECT_EQ(script_live_gdi_objects(), 0);
    EXPECT_EQ(script_system_palette()[10].peRed, 10);
}

TEST_F(palette_session, background_palette_changes_nothing) {
    open(8);
    HDC screen = GetDC(NULL);
    HPALETTE ramp = ramp_palette();
    SelectPalette(screen, ramp, TRUE);
    EXPECT_EQ(RealizePalette(screen), 0u);
    EXPECT_EQ(script_system_palette()[100].peRed, 0);
    DeleteObject(ramp);
    ReleaseDC(NULL, screen);
}

TEST_F(palette_session, no_system_palette_above_8_bits) {
    open(32);
    HDC screen = GetDC(NULL);
    PALETTEENTRY entries[256] = {};
    EXPECT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 0u);
    HPALETTE ramp = ramp_palette();
    SelectPalette(screen, ramp, FALSE);
    EXPECT_EQ(RealizePalette(screen), 0u);
    DeleteObject(ramp);
    ReleaseDC(NULL, screen);
}

TEST_F(palette_session, bad_logical_palettes_are_refused) {
    open(8);
    LOGPALETTE lp = {0x200, 1, {{0, 0, 0, 0}}};
    EXPECT_EQ(CreatePalette(&lp), nullptr);
    lp.palVersion = 0x300;
    lp.palNumEntries = 0;
    EXPECT_EQ(CreatePalette(&lp), nullptr);
    lp.palNumEntries = 1;
    script_fail(script_op::create_palette, E_FAIL);
    EXPECT_EQ(CreatePalette(&lp), nullptr);
    HPALETTE one = CreatePalette(&lp);
    EXPECT_NE(one, nullptr);
    EXPECT_TRUE(DeleteObject(one));
    EXPECT_FALSE(DeleteObject(one));
}

TEST_F(palette_session, deleting_a_selected_palette_reverts_the_context) {
    open(8);
    HDC screen = GetDC(NULL);
    HPALETTE ramp = ramp_palette();
    SelectPalette(screen, ramp, FALSE);
    DeleteObject(ramp);
    EXPECT_EQ(RealizePalette(screen), 0u);
    ReleaseDC(NULL, screen);
}

TEST_F(palette_session, window_contexts_need_a_live_window) {
    open(8);
    EXPECT_EQ(GetDC((HWND)0x1234), nullptr);
    HDC screen = GetDC(NULL);
    EXPECT_EQ(ReleaseDC((HWND)0x1234, screen), 0);
    EXPECT_EQ(ReleaseDC(NULL, screen), 1);
    EXPECT_EQ(ReleaseDC(NULL, screen), 0);
}

}  // namespace
