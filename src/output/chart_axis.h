#pragma once

#include <QString>

#include <vector>

namespace quorvane::output {

// One axis of a chart: from lo to hi in steps of `step`, lo and hi on whole steps, so that
// every tick falls on a round value. An axis cut to a span (spanAxis()) may end between two
// ticks.
struct Axis {
    // More ticks than any axis drawn has: what ticks() gives at most.
    static constexpr double kMostTicks = 1000;

    double lo = 0;
    double hi = 1;
    double step = 0.2;

    // Where v lies between lo (0) and hi (1).
    double fraction(double v) const { return (v - lo) / (hi - lo); }
    // The values of the ticks, lo to the last whole step at or before hi; one within a
    // billionth of a step of 0 is 0.
    std::vector<double> ticks() const;
};

// The axis over [least, most] with about `ticks` round steps of 1, 2 or 5 times a power of ten,
// widened to the nearest ticks outside the ends. Ends in the wrong order (nothing to show) give
// 0 to 1; ends that are one value, or as good as one, an axis around it.
Axis niceAxis(double least, double most, int ticks);

// The axis from lo to hi exactly, with ticks of the round step niceAxis() would take, counted
// from lo: lo should be a round value itself (0, say). Ends in the wrong order or as good as
// one give niceAxis()'s axis instead.
Axis spanAxis(double lo, double hi, int ticks);

// The round ticks within [lo, hi], about `ticks` of them, without widening it: an axis from the
// first tick inside to the last, in the step niceAxis() would take.
Axis ticksWithin(double lo, double hi, int ticks);

// A tick's number with as many decimals as the step needs; very large or small ones as 2e+08.
QString tickText(double v, const Axis& axis);

} // namespace quorvane::output
