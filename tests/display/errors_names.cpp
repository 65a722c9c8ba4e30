// errors_names.cpp - the display result-code names, byte for byte.
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "voxel/display/display_errors.h"

namespace {

struct expected_row {
    uint32_t code;
    const char *name;
};

// The names the user must see, in search order.
constexpr expected_row expected_rows[] = {
    {0x00000000U, "DD_OK"},
    {0x88760005U, "DDERR_ALREADYINITIALIZED "},
    {0x8876023EU, "DDERR_BLTFASTCANTCLIP "},
    {0x8876000AU, "DDERR_CANNOTATTACHSURFACE "},
    {0x88760014U, "DDERR_CANNOTDETACHSURFACE "},
    {0x88760249U, "DDERR_CANTCREATEDC "},
    {0x88760247U, "DDERR_CANTDUPLICATE "},
    {0x88760280U, "DDERR_CANTPAGELOCK "},
    {0x88760294U, "DDERR_CANTPAGEUNLOCK "},
    {0x88760237U, "DDERR_CLIPPERISUSINGHWND "},
    {0x88760190U, "DDERR_COLORKEYNOTSET "},
    {0x88760028U, "DDERR_CURRENTLYNOTAVAIL "},
    {0x8876026CU, "DDERR_DCALREADYCREATED "},
    {0x88760232U, "DDERR_DIRECTDRAWALREADYCREATED "},
    {0x88760037U, "DDERR_EXCEPTION "},
    {0x88760245U, "DDERR_EXCLUSIVEMODEALREADYSET "},
    {0x80004005U, "DDERR_GENERIC "},
    {0x8876005AU, "DDERR_HEIGHTALIGN "},
    {0x8876023BU, "DDERR_HWNDALREADYSET "},
    {0x8876023AU, "DDERR_HWNDSUBCLASSED "},
    {0x8876024CU, "DDERR_IMPLICITLYCREATED "},
    {0x8876005FU, "DDERR_INCOMPATIBLEPRIMARY "},
    {0x88760064U, "DDERR_INVALIDCAPS "},
    {0x8876006EU, "DDERR_INVALIDCLIPLIST "},
    {0x88760231U, "DDERR_INVALIDDIRECTDRAWGUID "},
    {0x88760078U, "DDERR_INVALIDMODE "},
    {0x88760082U, "DDERR_INVALIDOBJECT "},
    {0x80070057U, "DDERR_INVALIDPARAMS "},
    {0x88760091U, "DDERR_INVALIDPIXELFORMAT "},
    {0x88760243U, "DDERR_INVALIDPOSITION "},
    {0x88760096U, "DDERR_INVALIDRECT "},
    {0x88760250U, "DDERR_INVALIDSURFACETYPE "},
    {0x887600A0U, "DDERR_LOCKEDSURFACES "},
    {0x887600AAU, "DDERR_NO3D "},
    {0x887600B4U, "DDERR_NOALPHAHW "},
    {0x8876023FU, "DDERR_NOBLTHW "},
    {0x887600CDU, "DDERR_NOCLIPLIST "},
    {0x88760238U, "DDERR_NOCLIPPERATTACHED "},
    {0x887600D2U, "DDERR_NOCOLORCONVHW "},
    {0x887600D7U, "DDERR_NOCOLORKEY "},
    {0x887600DCU, "DDERR_NOCOLORKEYHW "},
    {0x887600D4U, "DDERR_NOCOOPERATIVELEVELSET "},
    {0x8876024AU, "DDERR_NODC "},
    {0x88760240U, "DDERR_NODDROPSHW "},
    {0x88760233U, "DDERR_NODIRECTDRAWHW "},
    {0x88760235U, "DDERR_NOEMULATION "},
    {0x887600E1U, "DDERR_NOEXCLUSIVEMODE "},
    {0x887600E6U, "DDERR_NOFLIPHW "},
    {0x887600F0U, "DDERR_NOGDI "},
    {0x88760239U, "DDERR_NOHWND "},
    {0x8876024FU, "DDERR_NOMIPMAPHW "},
    {0x887600FAU, "DDERR_NOMIRRORHW "},
    {0x88760242U, "DDERR_NOOVERLAYDEST "},
    {0x88760104U, "DDERR_NOOVERLAYHW "},
    {0x8876023CU, "DDERR_NOPALETTEATTACHED "},
    {0x8876023DU, "DDERR_NOPALETTEHW "},
    {0x88760118U, "DDERR_NORASTEROPHW "},
    {0x88760122U, "DDERR_NOROTATIONHW "},
    {0x88760136U, "DDERR_NOSTRETCHHW "},
    {0x8876013CU, "DDERR_NOT4BITCOLOR "},
    {0x8876013DU, "DDERR_NOT4BITCOLORINDEX "},
    {0x88760140U, "DDERR_NOT8BITCOLOR "},
    {0x88760244U, "DDERR_NOTAOVERLAYSURFACE "},
    {0x8876014AU, "DDERR_NOTEXTUREHW "},
    {0x88760246U, "DDERR_NOTFLIPPABLE "},
    {0x887600FFU, "DDERR_NOTFOUND "},
    {0x88760248U, "DDERR_NOTLOCKED "},
    {0x887602A8U, "DDERR_NOTPAGELOCKED "},
    {0x8876024DU, "DDERR_NOTPALETTIZED "},
    {0x8876014FU, "DDERR_NOVSYNCHW "},
    {0x88760154U, "DDERR_NOZBUFFERHW "},
    {0x8876015EU, "DDERR_NOZOVERLAYHW "},
    {0x88760168U, "DDERR_OUTOFCAPS "},
    {0x8007000EU, "DDERR_OUTOFMEMORY "},
    {0x8876017CU, "DDERR_OUTOFVIDEOMEMORY "},
    {0x8876017EU, "DDERR_OVERLAYCANTCLIP "},
    {0x88760180U, "DDERR_OVERLAYCOLORKEYONLYONEACTIVE "},
    {0x88760241U, "DDERR_OVERLAYNOTVISIBLE "},
    {0x88760183U, "DDERR_PALETTEBUSY "},
    {0x88760234U, "DDERR_PRIMARYSURFACEALREADYEXISTS "},
    {0x88760236U, "DDERR_REGIONTOOSMALL "},
    {0x8876019AU, "DDERR_SURFACEALREADYATTACHED "},
    {0x887601A4U, "DDERR_SURFACEALREADYDEPENDENT "},
    {0x887601AEU, "DDERR_SURFACEBUSY "},
    {0x887601B3U, "DDERR_CANTLOCKSURFACE "},
    {0x887601B8U, "DDERR_SURFACEISOBSCURED "},
    {0x887601C2U, "DDERR_SURFACELOST "},
    {0x887601CCU, "DDERR_SURFACENOTATTACHED "},
    {0x887601D6U, "DDERR_TOOBIGHEIGHT "},
    {0x887601E0U, "DDERR_TOOBIGSIZE "},
    {0x887601EAU, "DDERR_TOOBIGWIDTH "},
    {0x80004001U, "DDERR_UNSUPPORTED "},
    {0x887601FEU, "DDERR_UNSUPPORTEDFORMAT "},
    {0x88760208U, "DDERR_UNSUPPORTEDMASK "},
    {0x8876024EU, "DDERR_UNSUPPORTEDMODE "},
    {0x88760219U, "DDERR_VERTICALBLANKINPROGRESS "},
    {0x8876021CU, "DDERR_WASSTILLDRAWING "},
    {0x8876024BU, "DDERR_WRONGMODE "},
    {0x88760230U, "DDERR_XALIGN "},
};

bool is_generic_system_code(uint32_t code) {
    return code == 0x80004005u || code == 0x80070057u || code == 0x8007000Eu || code == 0x80004001u;
}

} // namespace

TEST(display_error_names, table_holds_the_99_rows_in_search_order_byte_for_byte) {
    ASSERT_EQ(std::size(expected_rows), display_error_names.size());
    for (size_t i = 0; i < display_error_names.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(expected_rows[i].code, display_error_names[i].code);
        EXPECT_STREQ(expected_rows[i].name, display_error_names[i].name);
    }
}

TEST(display_error_names, every_name_but_dd_ok_ends_with_exactly_one_blank) {
    EXPECT_STREQ("DD_OK", display_error_names[0].name);
    for (size_t i = 1; i < display_error_names.size(); ++i) {
        const std::string name = display_error_names[i].name;
        SCOPED_TRACE(name);
        ASSERT_GE(name.size(), 8u);
        EXPECT_EQ(0u, name.rfind("DDERR_", 0));
        // the only blank is the last character
        EXPECT_EQ(name.size() - 1, name.find(' '));
    }
}

TEST(display_error_names, codes_are_distinct_and_carry_the_display_facility) {
    std::set<uint32_t> seen;
    int generic = 0;
    for (const display_error_name_row &row : display_error_names) {
        EXPECT_TRUE(seen.insert(row.code).second) << std::hex << row.code;
        if (row.code == 0)
            continue;
        if (is_generic_system_code(row.code)) {
            ++generic;
            continue;
        }
        EXPECT_EQ(0x8876u, row.code >> 16) << std::hex << row.code;
    }
    EXPECT_EQ(4, generic);
}

TEST(display_error_names, longest_name_fits_the_message_buffer) {
    size_t longest = 0;
    for (const display_error_name_row &row : display_error_names)
        longest = std::max(longest, std::strlen(row.name));
    EXPECT_EQ(35u, longest);
    EXPECT_STREQ("DDERR_OVERLAYCOLORKEYONLYONEACTIVE ", display_error_name(0x88760180u));
}

TEST(display_error_name_lookup, known_codes_give_their_names_with_the_blank) {
    EXPECT_STREQ("DD_OK", display_error_name(0));
    EXPECT_STREQ("DDERR_SURFACELOST ", display_error_name(0x887601C2u));
    EXPECT_STREQ("DDERR_WRONGMODE ", display_error_name(0x8876024Bu));
    EXPECT_STREQ("DDERR_XALIGN ", display_error_name(0x88760230u));
}

TEST(display_error_name_lookup, generic_system_codes_take_the_display_names) {
    EXPECT_STREQ("DDERR_GENERIC ", display_error_name(0x80004005u));
    EXPECT_STREQ("DDERR_INVALIDPARAMS ", display_error_name(0x80070057u));
    EXPECT_STREQ("DDERR_OUTOFMEMORY ", display_error_name(0x8007000Eu));
    EXPECT_STREQ("DDERR_UNSUPPORTED ", display_error_name(0x80004001u));
}

TEST(display_error_name_lookup, codes_in_no_row_are_three_question_marks_without_blank) {
    EXPECT_STREQ("???", display_error_name(1));
    EXPECT_STREQ("???", display_error_name(0x88760000u));
    EXPECT_STREQ("???", display_error_name(0xFFFFFFFFu));
    // Only the whole 32-bit value matches: the low word of a known code alone does not.
    EXPECT_STREQ("???", display_error_name(0x000001C2u));
    EXPECT_STREQ("???", display_error_name(0x087601C2u));
}
