// shell_messages.h - the catalogue boxes of the demo shell.
#pragma once
#include <windows.h>

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
