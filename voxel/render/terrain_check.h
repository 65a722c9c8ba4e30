// terrain_check.h - saying why the landscape cannot be loaded: which of the
// three files in data_folder, and what is wrong with it, in words a user can
// act on. init_terrain keeps the last word; this names the fault after it.
//
//   std::string file, reason;
//   if (find_landscape_problem(pixel_depth, &file, &reason))
//       ... file is data_file(name), reason e.g. "not a bitmap (...)" ...
#pragma once
#include <string>

// The reason the bitmap reader's result `code` (not 0) gives, from the code
// and the reader's last trace.
std::string bitmap_failure_reason(int code);

// The first of heightd2.bmp, heightc2.bmp and clouds.bmp (loading order)
// that cannot be used at pixel depth `depth` (0-3): true with its path and
// the reason; false when all three can be.
bool find_landscape_problem(int depth, std::string *file, std::string *reason);
