#pragma once

#include <cfloat>
#include <cmath>
#include <optional>

// Arithmetic faults in a step are plain values, not exceptions. A step checks for them at
// exactly two kinds of points:
//  - after a store: the infinite or not-a-number result stays where it was stored, and the
//    orbit carries it from then on;
//  - before a call (sin, cos, tan, sqrt, or a plot): the call is skipped, and the assignment
//    it belongs to stores nothing, so its target keeps the value it had.
// A result is a fault when it is infinite or not a number: an overflow, a division by zero
// and an invalid operation anywhere in an expression all end up there.

namespace quorvane {

inline bool isFault(double value) { return !std::isfinite(value); }

// Whether a coordinate may be handed to a plot: finite and within single precision's range.
// Converting any other value would be undefined behaviour.
inline bool fitsSingle(double value) { return std::fabs(value) <= static_cast<double>(FLT_MAX); }

// The single-precision value handed to a plot, or nothing when the coordinate is a fault or
// does not fit single precision. Converting such a value would be undefined behaviour.
inline std::optional<float> toSingle(double value)
{
    if (!fitsSingle(value))
        return std::nullopt;
    return static_cast<float>(value);
}

} // namespace quorvane
