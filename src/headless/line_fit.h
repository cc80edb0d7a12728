#pragma once

#include <cstdint>

namespace quorvane::headless {

// The least-squares line through points (x, y) given one at a time, for up to 10^12 points.
//
// Plain sums of x, x^2 and x y would lose every digit of the slope to cancellation once x runs
// into the millions: sum(x^2) and sum(x)^2 / n agree in their leading 12 digits there. So the
// fit keeps the running means and the sums of squares about them (Welford's updates), which
// stay as accurate as the data at any count.
class LineFit {
public:
    void add(double x, double y)
    {
        ++m_count;
        const double n = static_cast<double>(m_count);
        const double dx = x - m_meanX;
        m_meanX += dx / n;
        m_meanY += (y - m_meanY) / n;
        // dx was taken about the old mean of x and (x - m_meanX) about the new one; their
        // product weights the point by (n - 1) / n, as the centred sums require.
        m_sxx += dx * (x - m_meanX);
        m_sxy += dx * (y - m_meanY);
    }

    std::uint64_t count() const { return m_count; }
    // Whether a slope exists: two points at different x at least.
    bool hasSlope() const { return m_count >= 2 && m_sxx > 0; }
    // dy/dx of the fitted line; 0 without two distinct x.
    double slope() const { return hasSlope() ? m_sxy / m_sxx : 0; }

private:
    std::uint64_t m_count = 0;
    double m_meanX = 0;
    double m_meanY = 0;
    double m_sxx = 0; // sum of (x - mean x)^2
    double m_sxy = 0; // sum of (x - mean x)(y - mean y)
};

} // namespace quorvane::headless
