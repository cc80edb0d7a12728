#pragma once

#include <QImage>
#include <QSize>

#include <cmath>

namespace quorvane::output::tests {

// Pictures like those of a run being drawn: black, with single light green and light red
// points added frame by frame on two orbits of a chaotic map (Clifford's), the second shifted
// 10 pixels right and down and started with a slightly different parameter, so the two
// pictures part as the film goes on.
class DotPictures {
public:
    DotPictures(QSize size, int pointsPerFrame)
        : m_picture(size, QImage::Format_RGB32)
        , m_pointsPerFrame(pointsPerFrame)
    {
        m_picture.fill(0xff000000);
    }

    // Adds the next frame's points and returns the picture.
    const QImage& next()
    {
        for (int i = 0; i < m_pointsPerFrame; ++i) {
            step(m_orbit1, -1.4);
            step(m_orbit2, -1.4001);
            plot(m_orbit1, 0, 0xff00ff00);
            plot(m_orbit2, 10, 0xffff0000);
        }
        return m_picture;
    }

    // The points drawn so far, counting each pixel once.
    long litPixels() const
    {
        long lit = 0;
        for (int y = 0; y < m_picture.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(m_picture.constScanLine(y));
            for (int x = 0; x < m_picture.width(); ++x)
                lit += (line[x] & 0xffffff) != 0 ? 1 : 0;
        }
        return lit;
    }

private:
    struct Point {
        double x = 0.1, y = 0.1;
    };

    static void step(Point& p, double a)
    {
        const double x = std::sin(a * p.y) + std::cos(a * p.x);
        p.y = std::sin(1.6 * p.x) + 0.7 * std::cos(1.6 * p.y);
        p.x = x;
    }

    void plot(const Point& p, int shift, QRgb colour)
    {
        // The map stays within [-2, 2] x [-1.7, 1.7].
        const int x = static_cast<int>((p.x + 2.0) / 4.0 * (m_picture.width() - 20)) + shift;
        const int y = static_cast<int>((p.y + 1.7) / 3.4 * (m_picture.height() - 20)) + shift;
        if (x >= 0 && y >= 0 && x < m_picture.width() && y < m_picture.height())
            m_picture.setPixel(x, y, colour);
    }

    QImage m_picture;
    int m_pointsPerFrame;
    Point m_orbit1, m_orbit2;
};

} // namespace quorvane::output::tests
