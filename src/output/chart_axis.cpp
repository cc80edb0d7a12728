#include "output/chart_axis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace quorvane::output {

namespace {

// hi - lo, divided by `by`. Ends near the largest doubles may lie further apart than a double
// holds; their halves never do.
double spanOver(double lo, double hi, double by)
{
    const double span = hi - lo;
    return std::isfinite(span) ? span / by : (hi / 2 - lo / 2) / by * 2;
}

} // namespace

std::vector<double> Axis::ticks() const
{
    std::vector<double> values;
    // A whole number of steps, but for rounding, unless the axis was cut short. An axis that is
    // no range of numbers has no ticks.
    const double steps = std::floor(spanOver(lo, hi, step) + 1e-9);
    if (!(steps >= 0 && steps <= kMostTicks))
        return values;
    const auto count = static_cast<long>(steps);
    for (long i = 0; i <= count; ++i) {
        double v = lo + static_cast<double>(i) * step;
        if (!std::isfinite(v)) // i steps beyond the largest double, though the tick is not
            v = (lo / 2 + static_cast<double>(i) * (step / 2)) * 2;
        values.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v); // no "-0" or "1e-17"
    }
    return values;
}

Axis niceAxis(double least, double most, int ticks)
{
    // Ends closer together than this, subnormal values say, would make a step of zero and
    // every position and tick on the axis not a number.
    constexpr double kTiny = 16 * DBL_MIN;
    if (!(least <= most)) { // nothing to show
        least = 0;
        most = 1;
    } else if (most - least < kTiny) {
        // One value, or as good as one: an axis around it, half its size to either side, or 1
        // where that half is too small as well.
        const double middle = least / 2 + most / 2;
        const double half = std::fabs(middle) / 2 >= kTiny ? std::fabs(middle) / 2 : 1;
        least = middle - half;
        most = middle + half;
    }
    const double raw = spanOver(least, most, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double scaled = raw / power;
    const double step = power * (scaled <= 1 ? 1 : scaled <= 2 ? 2 : scaled <= 5 ? 5 : 10);
    // Widened to a whole step, but never beyond the largest doubles.
    return {std::max(std::floor(least / step) * step, -DBL_MAX),
        std::min(std::ceil(most / step) * step, DBL_MAX), step};
}

Axis spanAxis(double lo, double hi, int ticks)
{
    Axis axis = niceAxis(lo, hi, ticks);
    if (lo <= hi && hi - lo > axis.step)
        axis = {lo, hi, axis.step};
    return axis;
}

Axis ticksWithin(double lo, double hi, int ticks)
{
    const double step = niceAxis(lo, hi, ticks).step;
    return {std::ceil(lo / step - 1e-9) * step, std::floor(hi / step + 1e-9) * step, step};
}

QString tickText(double v, const Axis& axis)
{
    const double largest = std::max(std::fabs(axis.lo), std::fabs(axis.hi));
    if (largest >= 1e9 || axis.step < 1e-4) {
        // Every digit from the largest tick's first down to the step's: 1.5e-06 beside a step of
        // 5e-07 needs two. The ratio of the two alone undercounts them (it is 3 there).
        const auto decade
            = [](double x) { return static_cast<int>(std::floor(std::log10(x) + 1e-9)); };
        const int digits = std::max(1, decade(largest) - decade(axis.step) + 1);
        return v == 0 ? QStringLiteral("0") : QString::number(v, 'g', digits);
    }
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(axis.step) - 1e-9)));
    return QString::number(v, 'f', decimals);
}

} // namespace quorvane::output
