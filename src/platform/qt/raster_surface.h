#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

#include <climits>
#include <optional>

namespace quorvane::qt {

// A persistent image with a user scale: a point at (x, y) in scale units lands on the pixel
// (x * pixelWidth / scaleWidth, y * pixelHeight / scaleHeight), rounded down. Both of frm1's
// surfaces are one of these. Sizes and points are in the image's own pixels, which are device
// pixels on a high-density screen: there a point is one device pixel.
class RasterSurface {
public:
    // maxSide: the largest side the surface takes, in pixels. The window's surfaces keep to
    // kMaxPixels; a surface made for one picture may take as much as QImage holds.
    explicit RasterSurface(int maxSide = kMaxPixels);

    const QImage& image() const { return m_image; }
    QSize size() const { return m_image.size(); }
    float scaleWidth() const { return m_scaleWidth; }
    float scaleHeight() const { return m_scaleHeight; }
    QRgb backColor() const { return m_backColor; }
    qreal devicePixelRatio() const { return m_image.devicePixelRatio(); }

    // Sets the pixel for (x, y) and returns it, or nothing when the point falls outside. Inline,
    // with the image's size kept at hand, because a run plots every step.
    std::optional<QPoint> plot(float x, float y, QRgb colour)
    {
        // Work in double so the product cannot overflow, and compare before converting, so no
        // value outside int's range is ever converted. The image's sides are whole numbers, so
        // a product inside [0, side) rounds down to a pixel inside, and truncation is rounding
        // down there.
        const double px = static_cast<double>(x) * m_xFactor;
        const double py = static_cast<double>(y) * m_yFactor;
        if (!(px >= 0 && px < m_width && py >= 0 && py < m_height))
            return std::nullopt;
        const QPoint p(static_cast<int>(px), static_cast<int>(py));
        reinterpret_cast<QRgb*>(m_image.scanLine(p.y()))[p.x()] = colour;
        return p;
    }
    // Erases everything to the background colour.
    void clear();
    // Sets the background colour and erases everything to it.
    void setBackColor(QRgb colour);
    // Changes the size in pixels; what was drawn stays at its pixels, new area takes the
    // background. Sizes outside 1 .. the surface's largest side, and sizes whose image cannot be
    // allocated, are refused.
    bool resize(QSize pixels);
    // Sets how many image pixels make one logical pixel when the image is painted. The pixels
    // and the scale are left as they are. Values that are not finite and positive are refused.
    bool setDevicePixelRatio(qreal ratio);
    // Sets the user scale. Values that are not finite and positive are refused.
    bool setScaleWidth(float units);
    bool setScaleHeight(float units);

    // The largest side a window's surface takes, in pixels.
    static constexpr int kMaxPixels = 16384;
    // The largest side QImage takes for an image of 32 bits a pixel.
    static constexpr int kMaxImageSide = (INT_MAX - 31) / 32;

private:
    void updateFactors();

    int m_maxSide = kMaxPixels;
    QImage m_image;
    QRgb m_backColor = qRgb(0, 0, 0);
    float m_scaleWidth = 1;
    float m_scaleHeight = 1;
    double m_xFactor = 1; // pixels per scale unit
    double m_yFactor = 1;
    double m_width = 1; // the image's size in pixels
    double m_height = 1;
};

} // namespace quorvane::qt
