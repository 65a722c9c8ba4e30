// errors_report.cpp - the warning box of a failed display step.
#include <gtest/gtest.h>

#include "platform/script/script.h"
#include "voxel/display/display_errors.h"

namespace {

struct error_box : ::testing::Test {
    error_box() { script_start(); }
    ~error_box() override { script_stop(); }
};

} // namespace

TEST_F(error_box, caption_is_the_label_and_text_the_name_with_its_blank) {
    report_display_error("CreateSurface Primary", DDERR_INVALIDPIXELFORMAT);
    ASSERT_EQ(1u, script_boxes().size());
    EXPECT_EQ("CreateSurface Primary", script_boxes()[0].caption);
    EXPECT_EQ("DDERR_INVALIDPIXELFORMAT ", script_boxes()[0].text);
}

TEST_F(error_box, box_is_task_modal_with_the_warning_icon_and_no_owner) {
    report_display_error("IDirectDrawSurface_Lock", DDERR_SURFACELOST);
    ASSERT_EQ(1u, script_boxes().size());
    EXPECT_EQ(0x2030u, script_boxes()[0].type);
    EXPECT_EQ(nullptr, script_boxes()[0].owner);
    EXPECT_EQ("DDERR_SURFACELOST ", script_boxes()[0].text);
}

TEST_F(error_box, success_and_unknown_codes_are_named_too) {
    report_display_error("IDirectDrawSurface_Blt", DD_OK);
    report_display_error("IDirectDrawSurface_Blt", HRESULT(1));
    report_display_error("GetSurfaceDesc", E_FAIL);
    ASSERT_EQ(3u, script_boxes().size());
    EXPECT_EQ("DD_OK", script_boxes()[0].text);
    EXPECT_EQ("???", script_boxes()[1].text);
    EXPECT_EQ("DDERR_GENERIC ", script_boxes()[2].text);
    EXPECT_EQ("GetSurfaceDesc", script_boxes()[2].caption);
}

TEST_F(error_box, longest_name_is_shown_whole) {
    report_display_error("SetClipper", HRESULT(0x88760180u));
    ASSERT_EQ(1u, script_boxes().size());
    EXPECT_EQ("DDERR_OVERLAYCOLORKEYONLYONEACTIVE ", script_boxes()[0].text);
}
