// rounds.cpp - the clocks of the rounds and the medians of their ratios.
#include "tools/shared/rounds.h"

#include <algorithm>
#include <chrono>
#include <ctime>

double wall_clock_ms()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double thread_clock_ms()
{
#if defined(CLOCK_THREAD_CPUTIME_ID) && !defined(_WIN32)
    timespec t;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) == 0)
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
#endif
    return wall_clock_ms();
}

double median_of(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

std::vector<double> per_round_ratios(const std::vector<double> &a, const std::vector<double> &b)
{
    std::vector<double> ratios;
    for (size_t r = 0; r < a.size() && r < b.size(); ++r)
        if (b[r] > 0)
            ratios.push_back(a[r] / b[r]);
    return ratios;
}
