#pragma once

// The floor of each attractor's step: the same arithmetic as a plain loop over local doubles,
// written from the step's equations, not from the program's code. Each loop evaluates in the
// same order as the program, applies the same checks where the step skips a root, sine, cosine
// or tangent, maps both orbits with the same scale and centre, and hands each coordinate pair
// to plot() in single precision twice (window and picture), as a run does. Nothing else: no
// platform, no window-level variables, no pump, no Delay.
//
// step_bench.cpp checks every plotted pair of each floor against the program's own run before
// it times anything, so a floor can never drift into measuring other arithmetic.

#include <cfloat>
#include <cmath>

namespace quorvane::bench {

// One orbit's five parameters.
struct Letters {
    double a = 0;
    double b = 0;
    double c = 0;
    double d = 0;
    double e = 0;
};

// The inputs of a floor loop: both orbits' parameters and the drawing area in twips.
struct FloorInput {
    Letters p1;
    Letters p2;
    float scaleWidth = 0;
    float scaleHeight = 0;
};

namespace floor_detail {

inline bool finite(double v) { return !(std::isnan(v) || std::isinf(v)); }

inline double sign(double v) { return static_cast<double>((v > 0) - (v < 0)); }

// A coordinate pair is converted only when both fit single precision.
template <class Plot> inline void plotTwice(double X, double Y, Plot& plot)
{
    if (!(std::fabs(X) <= static_cast<double>(FLT_MAX))
        || !(std::fabs(Y) <= static_cast<double>(FLT_MAX)))
        return;
    const float fx = static_cast<float>(X);
    const float fy = static_cast<float>(Y);
    plot(fx, fy); // window
    plot(fx, fy); // picture
}

} // namespace floor_detail

template <class Plot> void lorenzFloor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::plotTwice;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 3.141593, y1 = 3.141593, z1 = 3.141593;
    double x2 = 3.141593, y2 = 3.141593, z2 = 3.141593;
    for (long i = 0; i < steps; ++i) {
        plotTwice(300 * x1 + (w / 2 + 0.0), -200 * z1 + (h / 1.2 + 0.0), plot);
        plotTwice(300 * x2 + (w / 2 + 10.0), -200 * z2 + (h / 1.2 + 10.0), plot);
        x1 = x1 + (y1 - x1) * p.a * 0.0004;
        y1 = y1 + (p.b * x1 - y1 - x1 * z1) * 0.0004;
        z1 = z1 + (x1 * y1 - p.c * z1) * 0.0004;
        x2 = x2 + (y2 - x2) * q.a * 0.0004;
        y2 = y2 + (q.b * x2 - y2 - x2 * z2) * 0.0004;
        z2 = z2 + (x2 * y2 - q.c * z2) * 0.0004;
    }
}

template <class Plot> void rosslerFloor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::plotTwice;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
    for (long i = 0; i < steps; ++i) {
        plotTwice(500 * x1 + (w / 2 + 0.0), 300 * y1 + (h / 2 + 0.0), plot);
        plotTwice(500 * x2 + (w / 2 + 10.0), 300 * y2 + (h / 2 + 10.0), plot);
        x1 = x1 - (y1 + z1) * 0.04;
        y1 = y1 + (p.a * y1 + x1) * 0.04;
        z1 = z1 + (x1 * z1 + p.b - p.c * z1) * 0.04;
        x2 = x2 - (y2 + z2) * 0.04;
        y2 = y2 + (q.a * y2 + x2) * 0.04;
        z2 = z2 + (x2 * z2 + q.b - q.c * z2) * 0.04;
    }
}

// The maps of the plane below compute a new point (nx, ny) from the current (x, y), plot it,
// and make it current after the stop test. A skipped assignment leaves nx or ny as it was.

template <class Plot> void hopalongFloor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::finite;
    using floor_detail::plotTwice;
    using floor_detail::sign;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, nx1 = 0, ny1 = 0, x2 = 0, y2 = 0, nx2 = 0, ny2 = 0;
    for (long i = 0; i < steps; ++i) {
        const double r1 = std::fabs(p.b * x1 - p.c);
        if (finite(r1))
            nx1 = y1 - (sign(x1) + std::sqrt(r1));
        ny1 = p.a - x1;
        plotTwice(500 * nx1 + (w / 2 + 0.0), 500 * ny1 + (h / 2 + 0.0), plot);
        const double r2 = std::fabs(q.b * x2 - q.c);
        if (finite(r2))
            nx2 = y2 - (sign(x2) + std::sqrt(r2));
        ny2 = q.a - x2;
        plotTwice(500 * nx2 + (w / 2 + 10.0), 500 * ny2 + (h / 2 + 10.0), plot);
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
}

template <class Plot> void pickoverFloor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::finite;
    using floor_detail::plotTwice;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, nx1 = 0, ny1 = 0, x2 = 0, y2 = 0, nx2 = 0, ny2 = 0;
    // Each product is checked before its sine or cosine; a fault abandons that formula.
    const auto next = [](const Letters& k, double x, double y, double& nx, double& ny) {
        {
            const double s = std::sin(x);
            const double bx = k.b * x;
            if (finite(bx)) {
                const double cbx = std::cos(bx);
                const double ay = k.a * y;
                if (finite(ay))
                    nx = std::sin(ay) - s * k.e * cbx;
            }
        }
        {
            const double s = std::sin(x);
            const double cx = k.c * x;
            if (finite(cx)) {
                const double scx = std::sin(cx);
                const double dy = k.d * y;
                if (finite(dy))
                    ny = s * k.e * scx - std::cos(dy);
            }
        }
    };
    for (long i = 0; i < steps; ++i) {
        next(p, x1, y1, nx1, ny1);
        plotTwice(3000 * nx1 + (w / 2 + 0.0), (3000 * ny1 + h / 2) + 0.0, plot);
        next(q, x2, y2, nx2, ny2);
        plotTwice(3000 * nx2 + (w / 2 + 10.0), (3000 * ny2 + h / 2) + 10.0, plot);
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
}

template <class Plot> void equation1Floor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::plotTwice;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, nx1 = 0, ny1 = 0, x2 = 0, y2 = 0, nx2 = 0, ny2 = 0;
    for (long i = 0; i < steps; ++i) {
        nx1 = x1 > 0 ? y1 + (p.b * x1) * (p.d - 0.5) : (y1 - p.d) - (1 + p.d - x1 * p.d) * p.b;
        ny1 = p.a - x1;
        plotTwice(800 * nx1 + (w / 2 + 0.0), 800 * ny1 + (h / 2 + 0.0), plot);
        nx2 = x2 > 0 ? y2 + (q.b * x2) * (q.d - 0.5) : (y2 - q.d) - (1 + q.d - x2 * q.d) * q.b;
        ny2 = q.a - x2;
        plotTwice(800 * nx2 + (w / 2 + 10.0), 800 * ny2 + (h / 2 + 10.0), plot);
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
}

template <class Plot> void equation8Floor(const FloorInput& in, long steps, Plot& plot)
{
    using floor_detail::finite;
    using floor_detail::plotTwice;
    using floor_detail::sign;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, nx1 = 0, ny1 = 0, x2 = 0, y2 = 0, nx2 = 0, ny2 = 0;
    for (long i = 0; i < steps; ++i) {
        nx1 = p.a - y1;
        const double r1 = p.d * y1 - p.b;
        if (finite(r1))
            ny1 = x1 + std::sqrt(std::fabs(r1)) * sign(y1);
        plotTwice(500 * nx1 + (w / 2.1 + 0.0), 500 * ny1 + (h / 2 + 0.0), plot);
        nx2 = q.a - y2;
        const double r2 = q.d * y2 - q.b;
        if (finite(r2))
            ny2 = x2 + std::sqrt(std::fabs(r2)) * sign(y2);
        plotTwice(500 * nx2 + (w / 2.1 + 10.0), 500 * ny2 + (h / 2 + 10.0), plot);
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
}

// Starburst (tan) and Threeply (sin): the same map with a different function of a + b + c.
template <bool Tangent, class Plot>
void signMapFloor(const FloorInput& in, double scale, long steps, Plot& plot)
{
    using floor_detail::finite;
    using floor_detail::plotTwice;
    using floor_detail::sign;
    const double w = in.scaleWidth;
    const double h = in.scaleHeight;
    const Letters p = in.p1;
    const Letters q = in.p2;
    double x1 = 0, y1 = 0, nx1 = 0, ny1 = 0, x2 = 0, y2 = 0, nx2 = 0, ny2 = 0;
    const auto next = [](const Letters& k, double x, double y, double& nx, double& ny) {
        const double sum = (k.a + k.b) + k.c;
        if (finite(sum)) {
            const double f = Tangent ? std::tan(sum) : std::sin(sum);
            nx = y - std::fabs((std::sin(x) * std::cos(k.b) + k.c) - f * x) * sign(x);
        }
        ny = k.a - x;
    };
    for (long i = 0; i < steps; ++i) {
        next(p, x1, y1, nx1, ny1);
        plotTwice(scale * nx1 + (w / 2 + 0.0), scale * ny1 + (h / 2 + 0.0), plot);
        next(q, x2, y2, nx2, ny2);
        plotTwice(scale * nx2 + (w / 2 + 10.0), scale * ny2 + (h / 2 + 10.0), plot);
        x1 = nx1, y1 = ny1, x2 = nx2, y2 = ny2;
    }
}

template <class Plot> void starburstFloor(const FloorInput& in, long steps, Plot& plot)
{
    signMapFloor<true>(in, 15, steps, plot);
}

template <class Plot> void threeplyFloor(const FloorInput& in, long steps, Plot& plot)
{
    signMapFloor<false>(in, 20, steps, plot);
}

} // namespace quorvane::bench
