#include "platform/qt/drawing_area.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quorvane::qt {

DrawingArea::DrawingArea(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The drawing area holds its window's keyboard focus. The menu bar takes the focus while it
    // is worked from the keyboard and gives it back to the widget that had it; with nothing to
    // give it back to, it would keep it, and read plain letters and Return as menu navigation
    // long after a command was chosen. Clicking the picture takes the keyboard back as well.
    setFocusPolicy(Qt::StrongFocus);
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(kFrameMilliseconds);
    connect(&m_frameTimer, &QTimer::timeout, this, &DrawingArea::flush);
    fitSurface();
}

double DrawingArea::twipsPerPixel() const
{
    const int dpi = logicalDpiX();
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

void DrawingArea::clear()
{
    m_surface.clear();
    m_dirty = {};
    update();
}

void DrawingArea::setBackColor(QRgb colour)
{
    m_surface.setBackColor(colour);
    m_dirty = {};
    update();
}

void DrawingArea::refresh()
{
    flush();
    repaint();
}

void DrawingArea::flush()
{
    m_flushPending = false;
    m_frameTimer.stop();
    if (m_dirty.isEmpty())
        return;
    const qreal ratio = m_surface.devicePixelRatio();
    update(QRectF(
        m_dirty.x() / ratio, m_dirty.y() / ratio, m_dirty.width() / ratio, m_dirty.height() / ratio)
               .toAlignedRect());
    m_dirty = {};
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    ++m_repaints;
    QPainter painter(this);
    const QImage& image = m_surface.image();
    const qreal ratio = image.devicePixelRatio();
    for (const QRect& rect : event->region())
        painter.drawImage(QRectF(rect), image,
            QRectF(
                rect.x() * ratio, rect.y() * ratio, rect.width() * ratio, rect.height() * ratio));
    // Beyond the image (only while a resize is on its way) show the background.
    const QRegion outside
        = event->region().subtracted(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()));
    for (const QRect& rect : outside)
        painter.fillRect(rect, QColor(m_surface.backColor()));
}

void DrawingArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitSurface();
}

void DrawingArea::fitSurface()
{
    // The image keeps what was drawn when it grows or shrinks. It is held in device pixels, so
    // a point is one device pixel on a high-density screen, while its scale stays in twips of
    // the logical size.
    const qreal ratio = devicePixelRatioF();
    const QSize logical = size().expandedTo(QSize(1, 1));
    const auto devicePixels = [ratio](int length) {
        return static_cast<int>(
            std::min(std::ceil(length * ratio), static_cast<qreal>(RasterSurface::kMaxPixels)));
    };
    const QSize pixels(devicePixels(logical.width()), devicePixels(logical.height()));
    m_surface.setDevicePixelRatio(ratio);
    m_surface.resize(pixels);
    // The scale covers what the image shows: the whole widget, unless the image was capped.
    const double tpp = twipsPerPixel();
    m_surface.setScaleWidth(
        static_cast<float>(std::min<qreal>(logical.width(), pixels.width() / ratio) * tpp));
    m_surface.setScaleHeight(
        static_cast<float>(std::min<qreal>(logical.height(), pixels.height() / ratio) * tpp));
}

} // namespace quorvane::qt
