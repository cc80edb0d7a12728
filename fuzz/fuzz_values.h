#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quorvane::fuzz {

// A double for the fuzzer to try. Raw bit patterns alone would almost never give the values
// where the fault rules change their mind, so some choices are drawn from ordinary ranges and
// some from the edges of double precision.
inline double pickDouble(FuzzedDataProvider& in)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    static constexpr std::array<double, 20> kEdges = {0.0, -0.0, 1.0, -1.0, inf, -inf,
        std::numeric_limits<double>::quiet_NaN(), 1e308, -1e308, DBL_MAX, -DBL_MAX, 5e-324, -5e-324,
        DBL_MIN, double(FLT_MAX), -double(FLT_MAX), 1e154, -1e154, 3.141593, 0.5};
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
        return in.ConsumeFloatingPointInRange<double>(-4, 4);
    case 1:
        return in.ConsumeFloatingPointInRange<double>(-200, 200);
    case 2:
        return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    case 3:
        return kEdges[in.ConsumeIntegralInRange<std::size_t>(0, kEdges.size() - 1)];
    case 4:
        return in.ConsumeFloatingPoint<double>();
    default:
        return static_cast<double>(in.ConsumeIntegralInRange<int>(-100, 100));
    }
}

// Two doubles are the same result when they are the same bits, or both not a number: the
// payload and sign of a NaN are not part of any rule.
inline bool sameResult(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace quorvane::fuzz
