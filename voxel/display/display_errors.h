// display_errors.h - naming display failures for the user.
//
//   if (code != DD_OK) report_display_error("CreateSurface Primary", code);
//
// report_display_error shows a task-modal warning box whose caption is the
// label of the failed step and whose text is the result code's name, and
// returns when the user has dismissed it. It changes nothing else: the caller
// decides what happens next.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>

struct display_error_name_row {
    uint32_t code;
    const char *name;   // every name but "DD_OK" ends with one blank
};

constexpr int display_error_name_count = 99;

// Searched in order; the first row whose code matches names it.
extern const std::array<display_error_name_row, display_error_name_count> display_error_names;

// The name of `code`, or "???" when no row holds it.
const char *display_error_name(uint32_t code);

void report_display_error(const char *label, HRESULT code);
