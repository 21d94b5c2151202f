#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Small helpers shared by the benchmarks: a monotonic clock, medians and one
// way of printing a figure beside its target.
namespace BenchStats {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

inline double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(fraction * double(values.size())))];
}

// One line per figure: what, the figure, the target and whether it is met.
inline void report(const char *what, const char *figure, const char *target, bool met)
{
    std::printf("  %-52s %-22s target %-26s %s\n", what, figure, target, met ? "met" : "MISSED");
}

} // namespace BenchStats
