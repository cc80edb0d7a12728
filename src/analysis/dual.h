#pragma once

#include "run/number.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

// A number that carries its derivatives along: the number type with which a step, written once
// (see run/number.h), gives its Jacobian as it computes. A value is a double, computed by the
// same IEEE operation in the same order as the double step, so it holds bit for bit what that
// step gives; beside it, its derivative along each of N directions of the state, carried by
// the chain rule through every operation (forward-mode automatic differentiation). Seeding the
// state's coordinates with the directions of the identity gives, after one step, the Jacobian
// of the step as the program performs it: the flows' one-coordinate updates one after the
// other, the maps' checks and branches where they stand.
//
// Where a function has no derivative, the rule is stated with the function below. In short:
//  - the square root of 0 and the sign function at 0 have none along a direction that moves
//    their argument: the derivative there is infinite (not a number where a product meets a
//    zero), which tells the caller that no smooth step explains the stretching; along a
//    direction that leaves the argument as it is, the derivative is 0, as it is for a
//    function of a constant;
//  - the absolute value at 0, whose sides have the finite slopes -1 and +1, takes the side
//    the zero's sign names: +0 the right-hand side, -0 the left-hand one;
//  - a branch on a value (ifElse) and a check before a call (storeUnless) act on the value
//    alone, and the derivative is that of the branch taken: of the assignment that stores,
//    or, where a fault skips it, of the value kept.
//
// The derivatives sit in a vector of GCC's generic vector extension, so each operation on them
// is a few vector instructions. Code built for the baseline x86-64 runs them through SSE2, two
// directions to an instruction; every operation is always inlined, so no value of a vector
// type wider than SSE2's is ever passed to or returned from a call.

namespace quorvane::analysis {

#define QUORVANE_DUAL_INLINE [[gnu::always_inline]] inline

namespace dual_detail {

// A vector of two or four doubles, to hold N derivatives; the lanes beyond N stay 0.
template <std::size_t Width> struct TangentOf {
    using Type [[gnu::vector_size(Width * sizeof(double))]] = double;
};

} // namespace dual_detail

template <std::size_t N> struct Dual {
    static_assert(N >= 1 && N <= 4);
    using Tangent = typename dual_detail::TangentOf<N <= 2 ? 2 : 4>::Type;

    double v = 0; // the value
    Tangent d {}; // its derivative along each direction

    Dual() = default;
    // A constant: a step's literals and a parameter, whose derivatives are 0. Implicit, so
    // that doubles mix with duals as they mix with each other.
    QUORVANE_DUAL_INLINE Dual(double value)
        : v(value)
    {
    }
    QUORVANE_DUAL_INLINE Dual(double value, const Tangent& derivative)
        : v(value)
        , d(derivative)
    {
    }

    // A coordinate of the state: the value, moving by 1 along direction `direction`.
    QUORVANE_DUAL_INLINE static Dual coordinate(double value, std::size_t direction)
    {
        Dual x(value);
        x.d[static_cast<int>(direction)] = 1;
        return x;
    }
};

namespace dual_detail {

// Whether the compiler sees, where the operation is inlined, that every derivative is 0: a
// constant made in the step, a parameter say. The operations then leave out the work on
// them, which IEEE arithmetic does not let the compiler leave out itself (0 * v is not 0 for
// an infinite v), and which changes nothing but the sign of a zero derivative.
template <std::size_t N> QUORVANE_DUAL_INLINE bool isKnownConstant(const Dual<N>& a)
{
    bool known = true;
    for (std::size_t i = 0; i < N; ++i)
        known = known && __builtin_constant_p(a.d[static_cast<int>(i)] == 0)
            && a.d[static_cast<int>(i)] == 0;
    return known;
}

} // namespace dual_detail

template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator+(const Dual<N>& a, const Dual<N>& b)
{
    if (dual_detail::isKnownConstant(b))
        return {a.v + b.v, a.d};
    if (dual_detail::isKnownConstant(a))
        return {a.v + b.v, b.d};
    return {a.v + b.v, a.d + b.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator-(const Dual<N>& a, const Dual<N>& b)
{
    if (dual_detail::isKnownConstant(b))
        return {a.v - b.v, a.d};
    if (dual_detail::isKnownConstant(a))
        return {a.v - b.v, -b.d};
    return {a.v - b.v, a.d - b.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator*(const Dual<N>& a, const Dual<N>& b)
{
    if (dual_detail::isKnownConstant(b))
        return {a.v * b.v, a.d * b.v};
    if (dual_detail::isKnownConstant(a))
        return {a.v * b.v, b.d * a.v};
    return {a.v * b.v, a.d * b.v + b.d * a.v};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator/(const Dual<N>& a, const Dual<N>& b)
{
    const double q = a.v / b.v;
    return {q, (a.d - b.d * q) / b.v};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator-(const Dual<N>& a)
{
    return {-a.v, -a.d};
}

// A double on either side is a constant: the same values, and fewer operations on the
// derivatives than a dual with zero derivatives would take.
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator+(const Dual<N>& a, double b)
{
    return {a.v + b, a.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator+(double a, const Dual<N>& b)
{
    return {a + b.v, b.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator-(const Dual<N>& a, double b)
{
    return {a.v - b, a.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator-(double a, const Dual<N>& b)
{
    return {a - b.v, -b.d};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator*(const Dual<N>& a, double b)
{
    return {a.v * b, a.d * b};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> operator*(double a, const Dual<N>& b)
{
    return {a * b.v, b.d * a};
}

// Comparisons look at the values alone: a branch follows the value, as in the double step.
template <std::size_t N> QUORVANE_DUAL_INLINE bool operator>(const Dual<N>& a, double b)
{
    return a.v > b;
}
template <std::size_t N> QUORVANE_DUAL_INLINE bool operator<(const Dual<N>& a, double b)
{
    return a.v < b;
}

namespace dual_detail {

// Whether every derivative is 0: the number does not move with the state.
template <std::size_t N> QUORVANE_DUAL_INLINE bool isConstant(const Dual<N>& a)
{
    bool constant = true;
    for (std::size_t i = 0; i < N; ++i)
        constant = constant && a.d[static_cast<int>(i)] == 0;
    return constant;
}

// The derivatives of a function whose slope at the argument is infinite: infinite along every
// direction that moves the argument, 0 along those that do not.
template <std::size_t N>
QUORVANE_DUAL_INLINE typename Dual<N>::Tangent infiniteSlope(const typename Dual<N>::Tangent& d)
{
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    return d == 0 ? typename Dual<N>::Tangent {} : d * kInfinity;
}

} // namespace dual_detail

// The square root. Its slope 1 / (2 sqrt(v)) is infinite at 0, where the root stretches a
// small step of its argument without bound.
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> sqrt(const Dual<N>& a)
{
    const double root = std::sqrt(a.v);
    if (a.v == 0) [[unlikely]]
        return {root, dual_detail::infiniteSlope<N>(a.d)};
    return {root, a.d / (2 * root)};
}

// The absolute value. At 0 it takes the slope of the side the zero's sign names.
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> fabs(const Dual<N>& a)
{
    return {std::fabs(a.v), std::signbit(a.v) ? -a.d : a.d};
}

// sgn as a whole number, as the double step has it. Its slope is 0 away from 0; at 0 it jumps
// from -1 to +1 through 0, and its slope there is taken as infinite.
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> sgn(const Dual<N>& a)
{
    if (a.v == 0) [[unlikely]]
        return {0.0, dual_detail::infiniteSlope<N>(a.d)};
    return {quorvane::sgn(a.v)};
}

// The library's sine, cosine and tangent, the same calls as the double step makes. The slope
// is taken only for an argument that moves with the state: a function of the parameters alone
// (Starburst's tan(a + b + c)) costs one call, as in the double step.
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> sin(const Dual<N>& a)
{
    const double value = std::sin(a.v);
    if (dual_detail::isConstant(a))
        return {value};
    return {value, a.d * std::cos(a.v)};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> cos(const Dual<N>& a)
{
    const double value = std::cos(a.v);
    if (dual_detail::isConstant(a))
        return {value};
    return {value, a.d * -std::sin(a.v)};
}
template <std::size_t N> QUORVANE_DUAL_INLINE Dual<N> tan(const Dual<N>& a)
{
    const double value = std::tan(a.v);
    if (dual_detail::isConstant(a))
        return {value};
    return {value, a.d * (1 + value * value)};
}

// A fault is a value that is infinite or not a number (see run/faults.h); the checks of a step
// look at the value alone.
template <std::size_t N> QUORVANE_DUAL_INLINE bool isFault(const Dual<N>& a)
{
    return quorvane::isFault(a.v);
}

#undef QUORVANE_DUAL_INLINE

} // namespace quorvane::analysis
