#pragma once

// Two orbits of an attractor worked out in the tests themselves, from the equations in their
// stated evaluation order, with what each step plots of them: the values the run and its
// measurements are held against.

#include "run/window_vars.h"

#include <cmath>
#include <functional>
#include <vector>

namespace quorvane::reference {

// The drawing area the measurement assumes: 1600x1200 pixels of 15 twips.
constexpr double W = 24000;
constexpr double H = 18000;

inline double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// What one step plots of both orbits, worked out here: each orbit's state at the pump and the
// position of its point, orbit 2's without its shift.
struct Plotted {
    std::vector<double> state1, state2;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
using Orbits = std::function<Plotted()>; // the next step's, each time it is called

// Lorenz from 3.141593, Euler steps of 0.0004 after the plot; x across, z up.
inline Orbits lorenz(double a, double b, double c, double aa, double bb, double cc)
{
    struct S {
        double x = 3.141593, y = 3.141593, z = 3.141593;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        const Plotted p {{o1.x, o1.y, o1.z}, {o2.x, o2.y, o2.z}, 300 * o1.x + W / 2,
            -200 * o1.z + H / 1.2, 300 * o2.x + W / 2, -200 * o2.z + H / 1.2};
        auto advance = [](S& o, double pa, double pb, double pc) {
            o.x = o.x + (o.y - o.x) * pa * 0.0004;
            o.y = o.y + (pb * o.x - o.y - o.x * o.z) * 0.0004;
            o.z = o.z + (o.x * o.y - pc * o.z) * 0.0004;
        };
        advance(o1, a, b, c);
        advance(o2, aa, bb, cc);
        return p;
    };
}

// Hopalong from (0, 0): x' = y - (sgn(x) + sqrt|b x - c|), y' = a - x, 500 twips a unit.
inline Orbits hopalong(double a, double b, double c, double aa, double bb, double cc)
{
    struct S {
        double x = 0, y = 0;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        auto next = [](S& o, double pa, double pb, double pc) {
            o = {o.y - (sgn(o.x) + std::sqrt(std::fabs(pb * o.x - pc))), pa - o.x};
        };
        next(o1, a, b, c);
        next(o2, aa, bb, cc);
        return Plotted {{o1.x, o1.y}, {o2.x, o2.y}, 500 * o1.x + W / 2, 500 * o1.y + H / 2,
            500 * o2.x + W / 2, 500 * o2.y + H / 2};
    };
}

// Equation 8 from (0, 0): x' = a - y, y' = x + sgn(y) sqrt|d y - b|, centred at W / 2.1.
inline Orbits equation8(double a, double b, double d, double aa, double bb, double dd)
{
    struct S {
        double x = 0, y = 0;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        auto next = [](S& o, double pa, double pb, double pd) {
            o = {pa - o.y, o.x + sgn(o.y) * std::sqrt(std::fabs(pd * o.y - pb))};
        };
        next(o1, a, b, d);
        next(o2, aa, bb, dd);
        return Plotted {{o1.x, o1.y}, {o2.x, o2.y}, 500 * o1.x + W / 2.1, 500 * o1.y + H / 2,
            500 * o2.x + W / 2.1, 500 * o2.y + H / 2};
    };
}

inline double stateDistance(const Plotted& p)
{
    double sum = 0;
    for (std::size_t i = 0; i < p.state1.size(); ++i)
        sum += (p.state1[i] - p.state2[i]) * (p.state1[i] - p.state2[i]);
    return std::sqrt(sum);
}

// The points as the plot gets them, in single precision, a pixel being 15 twips.
inline double screenPixels(const Plotted& p)
{
    const auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    return std::hypot(f(p.x1) - f(p.x2), f(p.y1) - f(p.y2)) / 15;
}

} // namespace quorvane::reference
