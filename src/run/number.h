#pragma once

#include "run/faults.h"

#include <cmath>

// A step is written once, over a number type T. The window and the headless runs use double;
// other types let the same equations advance several runs at once, one in each lane of a
// vector, or carry derivatives along. Besides + - * / and the comparisons, a step uses only the
// functions below, called unqualified so that a type of another namespace brings its own
// through argument-dependent lookup. These are the double ones: the standard functions, and
// the branches a step takes on its values, as plain C++ branches.
//
// A comparison gives a condition: bool for a double, and whatever the type's comparisons give
// for another (a mask with one truth value per lane, for a vector). The functions that take a
// condition have an overload for each type's own.

namespace quorvane {

inline double sqrt(double v) { return std::sqrt(v); }
inline double fabs(double v) { return std::fabs(v); }
inline double sin(double v) { return std::sin(v); }
inline double cos(double v) { return std::cos(v); }
inline double tan(double v) { return std::tan(v); }

// sgn as a whole number: -1, 0 or +1, and 0 for a value that is not a number.
inline double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// A fault found before a call (see run/faults.h): unless `skip` holds, target takes the value
// that compute() returns. When it holds, compute() is not called at all, so the calls it makes
// are skipped, and the target keeps the value it had.
template <class T, class Compute> inline void storeUnless(bool skip, T& target, Compute compute)
{
    if (!skip)
        target = compute();
}

// A branch on a value: whenTrue() where the condition holds, otherwise() where it does not.
// Only the branch taken is evaluated.
template <class WhenTrue, class Otherwise>
inline auto ifElse(bool condition, WhenTrue whenTrue, Otherwise otherwise)
{
    return condition ? whenTrue() : otherwise();
}

} // namespace quorvane
