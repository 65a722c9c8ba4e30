// speedups.h - the tools' summary of how much faster each path runs than
// the scalar one, in the manner of the SIMD compilers' example tables:
//
//   speedup_line({{3.9, "from 4 lanes"}, {7.1, "from 16 lanes"}, {13.6, "on 2 cores"}})
//     == "(3.9x from 4 lanes, 7.1x from 16 lanes, 13.6x on 2 cores)"
//
// and the few words the tools build it from.
#pragma once
#include <string>
#include <vector>

struct speedup {
    double times;          // scalar time / this path's time
    std::string source;    // "from 4 lanes", "on 2 cores"
};

std::string speedup_line(const std::vector<speedup> &speedups);

// "on N cores" for at most as many threads as this process has processors,
// "on N threads" beyond.
std::string on_threads(int threads);

// A --threads value: "all" (the processors this process may run on) or a
// whole number from 1 to max_threads; false when it is neither.
constexpr int max_threads = 1024;
bool parse_threads(const std::string &text, int *threads);
