// display_error_report.cpp - the warning box that names a failed display step.
#include <cstdio>

#include "voxel/display/display_errors.h"

void report_display_error(const char *label, HRESULT code) {
    // name the code; the longest name has 35 characters
    char text[52];
    std::snprintf(text, sizeof text, "%s", display_error_name(uint32_t(code)));

    // task-modal warning box, no owner, caption = the step's label
    MessageBoxA(NULL, text, label, MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OK);
}
