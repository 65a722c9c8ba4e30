// scratch_directory.h - a fresh temporary directory that is the current
// directory while the object lives, for tests of code that opens files by
// bare name.
//
//   {
//       test_support::scratch_directory dir;   // made and entered
//       write_bitmap_file("heightd2.bmp", image);
//       ...
//   }                                          // left and removed with its files
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace test_support {

struct scratch_directory {
    std::filesystem::path previous, path;

    scratch_directory()
    {
        previous = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "demos-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        path = tmpl;
        std::filesystem::current_path(path);
    }
    ~scratch_directory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    scratch_directory(const scratch_directory &) = delete;
    scratch_directory &operator=(const scratch_directory &) = delete;
};

} // namespace test_support
