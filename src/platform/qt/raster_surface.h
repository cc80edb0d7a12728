#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

#include <cassert>
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

    // The pixel a point at (x, y) lands on, or nothing when it falls outside. Inline, with the
    // image's size kept at hand, because a run plots every step.
    std::optional<QPoint> pixelAt(float x, float y) const
    {
        // Work in double so the product cannot overflow, and compare before converting, so no
        // value outside int's range is ever converted. The image's sides are whole numbers, so
        // a product inside [0, side) rounds down to a pixel inside, and truncation is rounding
        // down there.
        const double px = static_cast<double>(x) * m_xFactor;
        const double py = static_cast<double>(y) * m_yFactor;
        if (!(px >= 0 && px < m_width && py >= 0 && py < m_height))
            return std::nullopt;
        return QPoint(static_cast<int>(px), static_cast<int>(py));
    }
    // Sets the pixel for (x, y) and returns it, or nothing when the point falls outside.
    std::optional<QPoint> plot(float x, float y, QRgb colour)
    {
        const std::optional<QPoint> p = pixelAt(x, y);
        if (p)
            reinterpret_cast<QRgb*>(m_image.scanLine(p->y()))[p->x()] = colour;
        return p;
    }

    // Plots into the surface for a run that has it to itself, such as a headless render: the
    // same pixels as plot(), without QImage's out-of-line scanLine() and its check for a shared
    // image at every point. The image is made the surface's own once, when the writer is made.
    // The writer is valid until the surface is resized, cleared, recoloured or given a new
    // pixel ratio, and only while nothing holds a copy of image(): its points would land in that
    // copy too. Debug builds check this at every plot.
    class Writer {
    public:
        explicit Writer(RasterSurface& surface)
            : m_surface(surface)
            , m_pixels(surface.m_image.bits())
            , m_stride(surface.m_image.bytesPerLine())
        {
        }

        void plot(float x, float y, QRgb colour)
        {
            assert(m_surface.m_image.isDetached() && m_surface.m_image.constBits() == m_pixels);
            if (const std::optional<QPoint> p = m_surface.pixelAt(x, y))
                reinterpret_cast<QRgb*>(m_pixels + p->y() * m_stride)[p->x()] = colour;
        }

    private:
        const RasterSurface& m_surface;
        uchar* m_pixels;
        qsizetype m_stride;
    };

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
