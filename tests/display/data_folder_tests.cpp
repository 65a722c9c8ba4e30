// Where the landscape files are looked for: the order of the folders, all
// three files from one folder, and what is reported when none has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/scratch_directory.h"
#include "voxel/display/data_folder.h"

namespace fs = std::filesystem;

namespace {

void put_files(const fs::path &folder, const std::vector<const char *> &names) {
    fs::create_directories(folder);
    for (const char *name : names)
        std::ofstream(folder / name) << "x";
}

const std::vector<const char *> all_three = {"heightd2.bmp", "heightc2.bmp", "clouds.bmp"};

}  // namespace

TEST(data_folder, installed_folder_then_beside_the_program_then_the_build_tree_data) {
    test_support::scratch_directory here;
    test_support::scratch_directory tree;   // the current folder from here on
    fs::current_path(here.path);
    const fs::path shared = tree.path / "share" / "kelvane-demos", bin = tree.path / "bin";
    const fs::path build_data = tree.path / "data";
    put_files(shared, all_three);
    put_files(bin, all_three);
    put_files(build_data, all_three);
    put_files(tree.path, {"CMakeCache.txt"});
    put_files(here.path, {"clouds.bmp"});
    const std::string program = (bin / "voxel").string();
    data_search search;

    ASSERT_TRUE(find_data_folder(program, &search));
    EXPECT_EQ((shared / "").string(), data_folder);
    EXPECT_EQ((shared / "heightc2.bmp").string(), data_file("heightc2.bmp"));

    fs::remove(shared / "heightd2.bmp");
    ASSERT_TRUE(find_data_folder(program, &search));
    EXPECT_EQ((bin / "").string(), data_folder);

    fs::remove(bin / "clouds.bmp");
    ASSERT_TRUE(find_data_folder(program, &search));
    EXPECT_EQ((build_data / "").string(), data_folder);

    // Two files in each folder: the first of them names what is missing.
    fs::remove(build_data / "heightc2.bmp");
    EXPECT_FALSE(find_data_folder(program, &search));
    EXPECT_EQ("", data_folder);
    EXPECT_EQ((std::vector<std::string>{here.path.string(), shared.string(), bin.string(), build_data.string()}),
              search.looked_in);
    EXPECT_EQ(std::vector<std::string>{"heightd2.bmp"}, search.missing);
}

TEST(data_folder, each_folder_is_tried_once_and_without_a_program_path_only_the_current_one) {
    test_support::scratch_directory here;
    data_search search;
    EXPECT_FALSE(find_data_folder("", &search));
    EXPECT_EQ(std::vector<std::string>{here.path.string()}, search.looked_in);
    EXPECT_EQ((std::vector<std::string>{"heightd2.bmp", "heightc2.bmp", "clouds.bmp"}), search.missing);

    EXPECT_FALSE(find_data_folder((here.path / "voxel").string(), &search));
    ASSERT_FALSE(search.looked_in.empty());
    EXPECT_EQ(here.path.string(), search.looked_in[0]);
    EXPECT_EQ(1, std::count(search.looked_in.begin(), search.looked_in.end(), here.path.string()));
}
