#pragma once

#include <cstdint>

namespace quorvane::analysis {

// The least-squares line through points (x, y) given one at a time, for up to 10^12 points.
//
// Plain sums of x, x^2 and x y would lose every digit of the slope to cancellation once x runs
// into the millions: sum(x^2) and sum(x)^2 / n agree in their leading 12 digits there. So the
// fit gathers the points in blocks of 1024, with sums taken about the block's first point,
// where they stay small and exact enough, and merges each full block into running means and
// sums of squares about them (Chan, Golub and LeVeque's pairwise update), which stay as
// accurate as the data at any count. A point costs four additions and two multiplications, with
// no division to wait for.
class LineFit {
public:
    void add(double x, double y)
    {
        if (m_block.n == 0) {
            m_x0 = x;
            m_y0 = y;
        }
        const double t = x - m_x0;
        const double v = y - m_y0;
        m_block.n += 1;
        m_block.t += t;
        m_block.v += v;
        m_block.tt += t * t;
        m_block.tv += t * v;
        if (m_block.n == kBlock) {
            m_total = merged();
            m_block = {};
        }
    }

    std::uint64_t count() const { return m_total.n + static_cast<std::uint64_t>(m_block.n); }
    // Whether a slope exists: two points at different x at least.
    bool hasSlope() const { return count() >= 2 && merged().sxx > 0; }
    // dy/dx of the fitted line; 0 without two distinct x.
    double slope() const
    {
        const Centred all = merged();
        return all.n >= 2 && all.sxx > 0 ? all.sxy / all.sxx : 0;
    }

private:
    static constexpr double kBlock = 1024;

    // Points summarised by their means and their sums of squares about them.
    struct Centred {
        std::uint64_t n = 0;
        double meanX = 0;
        double meanY = 0;
        double sxx = 0; // sum of (x - mean x)^2
        double sxy = 0; // sum of (x - mean x)(y - mean y)
    };

    // The running total with the open block merged in.
    Centred merged() const
    {
        if (m_block.n == 0)
            return m_total;
        const double nb = m_block.n;
        const Centred b {static_cast<std::uint64_t>(nb), m_x0 + m_block.t / nb,
            m_y0 + m_block.v / nb, m_block.tt - m_block.t * m_block.t / nb,
            m_block.tv - m_block.t * m_block.v / nb};
        if (m_total.n == 0)
            return b;
        const double na = static_cast<double>(m_total.n);
        const double n = na + nb;
        const double dx = b.meanX - m_total.meanX;
        const double dy = b.meanY - m_total.meanY;
        return {m_total.n + b.n, m_total.meanX + dx * nb / n, m_total.meanY + dy * nb / n,
            m_total.sxx + b.sxx + dx * dx * na * nb / n,
            m_total.sxy + b.sxy + dx * dy * na * nb / n};
    }

    // The open block's sums, about its first point (m_x0, m_y0).
    struct Block {
        double n = 0;
        double t = 0;
        double v = 0;
        double tt = 0;
        double tv = 0;
    };

    Centred m_total;
    Block m_block;
    double m_x0 = 0;
    double m_y0 = 0;
};

} // namespace quorvane::analysis
