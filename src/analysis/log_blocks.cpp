#include "analysis/log_blocks.h"

#include <limits>

namespace quorvane::analysis {

// Out of line, as the measurement of a distance's growth calls it: only now and then, and its
// callers stay small enough to be inlined where they are made.
void LogSum::multiply(double to, double from)
{
    const double factor = to / from;
    if (!(factor >= 1 / kWide && factor <= kWide)) [[unlikely]] {
        sum += std::log(to) - std::log(from);
        return;
    }
    multiply(factor);
}

double meanStandardError(std::span<const double> values)
{
    if (values.size() < 2)
        return std::numeric_limits<double>::quiet_NaN();
    double mean = 0;
    for (const double v : values)
        mean += v;
    const double n = static_cast<double>(values.size());
    mean /= n;
    double squares = 0;
    for (const double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / (n - 1) / n);
}

} // namespace quorvane::analysis
