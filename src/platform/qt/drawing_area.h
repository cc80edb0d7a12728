#pragma once

#include "platform/qt/raster_surface.h"

#include <QRect>
#include <QTimer>
#include <QWidget>

namespace quorvane::qt {

// frm1's drawing area. Points go into a backing image at once; the screen is repainted from it
// at most once per display frame, from the rectangle that changed since the last repaint, so a
// run's cost per step does not include a repaint. The picture survives being covered. The image
// is held at the screen's device resolution, and its scale is in twips of the logical size.
class DrawingArea final : public QWidget {
    Q_OBJECT

public:
    explicit DrawingArea(QWidget* parent = nullptr);

    // Twips per logical pixel: 1440 per logical inch.
    double twipsPerPixel() const;

    void plot(float x, float y, QRgb colour)
    {
        if (const std::optional<QPoint> p = m_surface.plot(x, y, colour))
            markDirty(QRect(*p, QSize(1, 1)));
    }
    void clear();
    void setBackColor(QRgb colour);
    // Repaints what changed, now.
    void refresh();

    const RasterSurface& surface() const { return m_surface; }
    // Repaints done so far; a figure for benchmarks.
    quint64 repaintCount() const { return m_repaints; }

    static constexpr int kFrameMilliseconds = 16;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void markDirty(const QRect& rect)
    {
        m_dirty |= rect;
        if (!m_flushPending) {
            m_flushPending = true;
            m_frameTimer.start();
        }
    }
    void flush();
    void fitSurface();

    RasterSurface m_surface;
    QRect m_dirty; // in image pixels
    QTimer m_frameTimer;
    bool m_flushPending = false;
    quint64 m_repaints = 0;
};

} // namespace quorvane::qt
