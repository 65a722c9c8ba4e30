// speedups.cpp - the summary line, and the thread count both tools take.
#include "tools/shared/speedups.h"

#include <cstdio>
#include <cstdlib>

#include "tools/shared/threads.h"

std::string speedup_line(const std::vector<speedup> &speedups)
{
    std::string line = "(";
    for (const speedup &s : speedups) {
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.1fx ", s.times);
        line += (line.size() > 1 ? ", " : "") + std::string(figure) + s.source;
    }
    return line + ")";
}

std::string on_threads(int threads)
{
    return "on " + std::to_string(threads) + (threads <= processor_count() ? " cores" : " threads");
}

bool parse_threads(const std::string &text, int *threads)
{
    if (text == "all") {
        *threads = processor_count();
        return true;
    }
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *threads = std::atoi(text.c_str());
    return *threads >= 1 && *threads <= max_threads;
}
