// scratch_dir.h - a temporary folder for test files, removed with its
// contents when the test ends.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

struct scratch_dir {
    std::string path;
    scratch_dir() {
        char name[] = "/tmp/voxel-test-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~scratch_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string &name) const { return path + "/" + name; }
};
