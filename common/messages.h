// messages.h - the message catalogues of both programs.
//
// Each catalogue has one record per language (index from select_language,
// 0-10 as in language_ids, 11 the English fallback); a record is a fixed
// array of text slots. A message box shows a text slot as its text and the
// next slot as its caption:
//
//   current_messages = voxel_messages[select_language()];
//   MessageBoxA(NULL, current_messages[14], current_messages[15], MB_ICONINFORMATION);
//
// Texts are zero-terminated bytes in their language's Windows code page (1252,
// 1251 Russian, 949 Korean, 936 and 950 Chinese, 932 Japanese), ready for the
// ANSI message box and window text functions; a line break is "\n".
#pragma once
#include <cstdint>

constexpr int language_count = 12;   // 11 languages and the English fallback
constexpr int voxel_slot_count = 16;
constexpr int fir_slot_count = 10;

// Locale keys searched by select_language; the position is the record index.
extern const uint32_t language_ids[11];
// The decimal separator of each record's language: a comma in French,
// Italian, Spanish, Portuguese, German and Russian, a point in English,
// Korean, Chinese and Japanese and in the English fallback.
extern const char decimal_separators[language_count];

extern const char *const voxel_messages[language_count][voxel_slot_count];
extern const char *const fir_messages[language_count][fir_slot_count];

// voxel's boxes about its data files, each text followed by file names or
// folders: 0 "Missing data file(s):", 1 the folders the three files must be
// in, 2 "This data file cannot be read:". The caption is voxel slot 3.
constexpr int data_slot_count = 3;
extern const char *const voxel_data_messages[language_count][data_slot_count];

// The record in use: each program points it at a record of its own catalogue
// before showing a text, and reads slots through it. Defined once, here in
// the common code, so both programs (and the tests) share the one pointer.
extern const char *const *current_messages;
