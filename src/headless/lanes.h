#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

// Four doubles that a step advances at once, one run in each lane: the number type of the lane
// runs (see run/number.h for what a step asks of its number type). Every operation is the
// IEEE operation of each lane on its own, so a lane holds bit for bit what the double step
// gives for the same run: + - * / and sqrt are correctly rounded in a vector as in a scalar
// instruction, fabs and sgn are exact, and sin, cos and tan call the same library functions,
// one lane at a time. A condition is a LaneMask, one truth value per lane; where a double step
// branches, the lanes compute both sides and keep each lane's own.
//
// The type rests on GCC's generic vector extension, not on instructions of one processor: code
// built for the baseline x86-64 uses it through SSE2, and code built for AVX2 as single
// instructions on all four lanes. That choice belongs to the function the lanes are inlined
// into (see lane_run.cpp), so every operation here is always inlined: no call of one with a
// lane argument or result is ever made between code built for the two, whose calling
// conventions for such values differ.

namespace quorvane::headless {

#define QUORVANE_LANE_INLINE [[gnu::always_inline]] inline

struct Lanes {
    using Vector = double __attribute__((vector_size(32)));
    static constexpr std::size_t kCount = 4;

    Vector v {};

    Lanes() = default;
    // The same value in every lane. Implicit, so that a step's constants and parameters of
    // type double mix with lanes as they mix with doubles.
    QUORVANE_LANE_INLINE Lanes(double value)
        : v {value, value, value, value}
    {
    }
    QUORVANE_LANE_INLINE explicit Lanes(const Vector& vector)
        : v(vector)
    {
    }

    QUORVANE_LANE_INLINE double operator[](std::size_t lane) const
    {
        return v[static_cast<int>(lane)];
    }
    QUORVANE_LANE_INLINE void set(std::size_t lane, double value)
    {
        v[static_cast<int>(lane)] = value;
    }
};

// One truth value per lane: all bits of the lane set, or none.
struct LaneMask {
    using Vector = std::int64_t __attribute__((vector_size(32)));

    Vector m {};

    QUORVANE_LANE_INLINE bool operator[](std::size_t lane) const
    {
        return m[static_cast<int>(lane)] != 0;
    }
};

QUORVANE_LANE_INLINE Lanes operator+(const Lanes& a, const Lanes& b) { return Lanes(a.v + b.v); }
QUORVANE_LANE_INLINE Lanes operator-(const Lanes& a, const Lanes& b) { return Lanes(a.v - b.v); }
QUORVANE_LANE_INLINE Lanes operator*(const Lanes& a, const Lanes& b) { return Lanes(a.v * b.v); }
QUORVANE_LANE_INLINE Lanes operator/(const Lanes& a, const Lanes& b) { return Lanes(a.v / b.v); }
QUORVANE_LANE_INLINE Lanes operator-(const Lanes& a) { return Lanes(-a.v); }

// The comparisons of IEEE arithmetic, lane by lane: false in a lane where either side is not a
// number, except for !=.
QUORVANE_LANE_INLINE LaneMask operator>(const Lanes& a, const Lanes& b) { return {a.v > b.v}; }
QUORVANE_LANE_INLINE LaneMask operator<(const Lanes& a, const Lanes& b) { return {a.v < b.v}; }
QUORVANE_LANE_INLINE LaneMask operator<=(const Lanes& a, const Lanes& b) { return {a.v <= b.v}; }
QUORVANE_LANE_INLINE LaneMask operator>=(const Lanes& a, const Lanes& b) { return {a.v >= b.v}; }
QUORVANE_LANE_INLINE LaneMask operator==(const Lanes& a, const Lanes& b) { return {a.v == b.v}; }
QUORVANE_LANE_INLINE LaneMask operator!=(const Lanes& a, const Lanes& b) { return {a.v != b.v}; }

// Lane by lane, as the mask types of std::experimental::simd have them: both sides are always
// evaluated.
QUORVANE_LANE_INLINE LaneMask operator||(const LaneMask& a, const LaneMask& b)
{
    return {a.m | b.m};
}
QUORVANE_LANE_INLINE LaneMask operator&&(const LaneMask& a, const LaneMask& b)
{
    return {a.m & b.m};
}
QUORVANE_LANE_INLINE LaneMask operator!(const LaneMask& a) { return {~a.m}; }

// whenTrue's lane where the mask holds, otherwise's lane where it does not.
QUORVANE_LANE_INLINE Lanes select(
    const LaneMask& mask, const Lanes& whenTrue, const Lanes& otherwise)
{
    return Lanes(mask.m ? whenTrue.v : otherwise.v);
}

QUORVANE_LANE_INLINE Lanes fabs(const Lanes& a)
{
    const LaneMask::Vector magnitude = __builtin_bit_cast(LaneMask::Vector, a.v) & INT64_MAX;
    return Lanes(__builtin_bit_cast(Lanes::Vector, magnitude));
}

// The square root of each lane, correctly rounded. SSE2's two-lane root is the widest that
// baseline code may name; where the lanes are inlined into AVX2 code its two halves are two
// instructions of that set.
QUORVANE_LANE_INLINE Lanes sqrt(const Lanes& a)
{
#if defined(__SSE2__)
    using Half = double __attribute__((vector_size(16)));
    const Half low = __builtin_ia32_sqrtpd(__builtin_shufflevector(a.v, a.v, 0, 1));
    const Half high = __builtin_ia32_sqrtpd(__builtin_shufflevector(a.v, a.v, 2, 3));
    return Lanes(__builtin_shufflevector(low, high, 0, 1, 2, 3));
#else
    Lanes r;
    for (std::size_t i = 0; i < Lanes::kCount; ++i)
        r.set(i, std::sqrt(a[i]));
    return r;
#endif
}

// sgn as a whole number, lane by lane: -1, 0 or +1, and 0 for a lane that is not a number.
QUORVANE_LANE_INLINE Lanes sgn(const Lanes& a)
{
    return select(a > 0.0, 1.0, select(a < 0.0, -1.0, 0.0));
}

// The library's sine, cosine and tangent, called once for each lane: the vector unit has none,
// and the same function gives the same bits as the double step.
template <class F> QUORVANE_LANE_INLINE Lanes eachLane(const Lanes& a, F f)
{
    Lanes r;
    for (std::size_t i = 0; i < Lanes::kCount; ++i)
        r.set(i, f(a[i]));
    return r;
}
QUORVANE_LANE_INLINE Lanes sin(const Lanes& a)
{
    return eachLane(a, [](double v) { return std::sin(v); });
}
QUORVANE_LANE_INLINE Lanes cos(const Lanes& a)
{
    return eachLane(a, [](double v) { return std::cos(v); });
}
QUORVANE_LANE_INLINE Lanes tan(const Lanes& a)
{
    return eachLane(a, [](double v) { return std::tan(v); });
}

// Infinite or not a number, lane by lane (see run/faults.h).
QUORVANE_LANE_INLINE LaneMask isFault(const Lanes& a) { return !(fabs(a) <= DBL_MAX); }

// A fault found before a call, in lanes: every lane computes, and the lanes where `skip` holds
// keep the target's value. Computing a value only to drop it is harmless: no arithmetic traps.
template <class Compute>
QUORVANE_LANE_INLINE void storeUnless(const LaneMask& skip, Lanes& target, Compute compute)
{
    target = select(skip, target, compute());
}

// A branch on a value, in lanes: both branches are computed, and each lane keeps its own.
template <class WhenTrue, class Otherwise>
QUORVANE_LANE_INLINE Lanes ifElse(const LaneMask& condition, WhenTrue whenTrue, Otherwise otherwise)
{
    return select(condition, whenTrue(), otherwise());
}

#undef QUORVANE_LANE_INLINE

} // namespace quorvane::headless
