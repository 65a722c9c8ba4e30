// shell_messages.h - the catalogue boxes of the demo shell.
#pragma once
#include <windows.h>

#include <string>

// Catalogue slots the shell shows; each box's caption is the next slot.
namespace slot {
constexpr int vector_unit_failed = 0;
constexpr int vector_unit_enabled = 2;
constexpr int standard_completed = 4;
constexpr int vector_completed = 6;
constexpr int depth_unsupported = 8;
constexpr int standard_caption = 10;
constexpr int vector_caption = 12;
constexpr int system_unsupported = 14;
} // namespace slot

// Points current_messages at record `language` and shows `text_slot` with the
// following slot as caption: no owner, an OK button and the icon.
void show_catalogue_box(unsigned language, int text_slot, UINT icon);

// Finds the folder of the three landscape files (sets data_folder). When no
// folder holds all three: an error box naming the missing files and the
// folders looked in, then the process ends with status 1.
void locate_data(unsigned language);

// The error box for a landscape file that is there but cannot be used:
// the file (the path it was opened by, with its folder named also when it
// is the current one) and the reason.
void show_unreadable_data_box(unsigned language, const std::string &file, const std::string &reason);

// After init_terrain failed: the box for the first file that cannot be used
// at pixel depth `depth`, if a file is the cause (nothing otherwise, e.g.
// when memory ran out).
void report_unusable_data(unsigned language, int depth);
