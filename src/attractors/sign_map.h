#pragma once

#include "attractors/next_point_map.h"

#include <array>

namespace quorvane {

// Starburst and Threeply iterate the same map of the plane,
//   x' = y - sgn(x) * |sin(x) * cos(b) + c - x * f(a + b + c)|,   y' = a - x,
// with f the tangent for Starburst and the sine for Threeply, and ask the same six questions.

enum class SumFunction { Tan, Sin };

constexpr std::array<Prompt, 6> signMapPrompts(double a, double b, double c)
{
    return {{
        {"Entre a value for (a)    {Try  -100  to  +100}", a, Param::a},
        {"Entre a value for (b)    {Try  -100  to  +100}", b, Param::b},
        {"Entre a value for (c)    {Try  -100  to  +100}", c, Param::c},
        {"Entre a value for (aa)    {Try  -100  to  +100}", a, Param::aa},
        {"Entre a value for (bb)    {Try  -100  to  +100}", b, Param::bb},
        {"Entre a value for (cc)    {Try  -100  to  +100}", c, Param::cc},
    }};
}

// The parameters are read afresh at every step, so a nested command that changes them acts
// on the next step. An overflowing sum a + b + c is caught before f is applied: x' is then not
// assigned and keeps its value, while y' is still computed. Every other infinite or
// not-a-number result is stored and stays.
template <SumFunction F, class T>
inline void signMapNext(BasicOrbit<T>& o, const BasicParameterSet<T>& p)
{
    const T sum = (p.a + p.b) + p.c;
    storeUnless(isFault(sum), o.xNext, [&] {
        const T f = F == SumFunction::Tan ? tan(sum) : sin(sum);
        return o.y - fabs((sin(o.x) * cos(p.b) + p.c) - f * o.x) * sgn(o.x);
    });
    o.yNext = p.a - o.x;
}

// scale units of the window per unit of the map, about the middle of the drawing area;
// y' grows downwards.
inline Point signMapPoint(
    const Orbit& o, double scale, double shift, double scaleWidth, double scaleHeight)
{
    return {
        scale * o.xNext + (scaleWidth / 2 + shift), scale * o.yNext + (scaleHeight / 2 + shift)};
}

} // namespace quorvane
