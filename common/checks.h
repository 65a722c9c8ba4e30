// checks.h - start-up checks and message language, shared by both programs.
//
//   unsigned language = select_language();
//   current_messages = fir_messages[language];
//   if (check_operating_system() == 0) { MessageBoxA(...slot 8, 9...); exit 1 }
//   if (check_vector_unit() != 1)       { MessageBoxA(...slot 4, 5...); exit 1 }
//
// The checks show nothing themselves.
#pragma once
#include "common/messages.h"

// Index of the catalogue record for the system's default locale: the locale
// id compared whole for Chinese PRC (0x0804) and Taiwan (0x0404), otherwise
// its primary language (id & 0x3FF), against language_ids; 11 (English) when
// nothing matches.
unsigned select_language();

// 1 for Windows NT (platform id 2), major version 4 with the service-pack
// text exactly "Service Pack 4"; 0 otherwise, and when GetVersionExA fails.
int check_operating_system();

// 1 when the 128-bit packed single-precision instructions execute (an
// exclusive-or of a register with itself, then a packed division of it by
// itself, run inside a guarded region); 0 when they fault, e.g. with the
// invalid-operation exception unmasked in MXCSR.
int check_vector_unit();
