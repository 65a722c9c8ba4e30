// data_folder.h - where the three landscape files are, wherever the program
// was started from or installed.
//
//   data_search search;
//   if (!find_data_folder(executable_path, &search)) ... search.missing, search.looked_in ...
//   read_bitmap_size(data_file("heightd2.bmp").c_str(), &w, &h);
//
// The folders are tried in this order, and the first that holds all three
// files is taken (the three always come from one folder):
//   1. the current folder;
//   2. ../share/kelvane-demos beside the executable's folder (an installation
//      under any prefix);
//   3. the executable's own folder (the Windows zip);
//   4. data/ of the build tree the executable is in: the nearest folder
//      above it that holds CMakeCache.txt.
// Without an executable path (empty) only the current folder is tried.
#pragma once
#include <string>
#include <vector>

constexpr int data_file_count = 3;
extern const char *const data_file_names[data_file_count];   // heightd2.bmp, heightc2.bmp, clouds.bmp

// The folder the files are read from, ending in a separator; empty for the
// current folder (the files are then opened by bare name).
extern std::string data_folder;

// data_folder followed by name.
std::string data_file(const char *name);

// A data file's path as a person should read it: with its folder named,
// also when it was opened by bare name from the current folder.
std::string data_path_shown(const std::string &opened);

struct data_search {
    std::vector<std::string> looked_in;   // each folder once, in the order tried
    std::vector<std::string> missing;     // when nothing was found: the files the
                                          // fullest folder lacks (all three if none has any)
};

// Sets data_folder and answers true when a folder holds all three files;
// otherwise leaves data_folder as the current folder and answers false.
bool find_data_folder(const std::string &executable_path, data_search *search);
