#include "platform/qt/drawing_area.h"

#include <QPaintEvent>
#include <QPainter>

namespace quorvane::qt {

DrawingArea::DrawingArea(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
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
    update(m_dirty);
    m_dirty = {};
}

void DrawingArea::paintEvent(QPaintEvent* event)
{
    ++m_repaints;
    QPainter painter(this);
    const QImage& image = m_surface.image();
    for (const QRect& rect : event->region())
        painter.drawImage(rect, image, rect);
    // Beyond the image (only while a resize is on its way) show the background.
    const QRegion outside = event->region().subtracted(QRect(QPoint(0, 0), image.size()));
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
    // The image keeps what was drawn when it grows or shrinks; its scale stays in twips.
    const QSize pixels
        = size()
              .expandedTo(QSize(1, 1))
              .boundedTo(QSize(RasterSurface::kMaxPixels, RasterSurface::kMaxPixels));
    m_surface.resize(pixels);
    const double tpp = twipsPerPixel();
    m_surface.setScaleWidth(static_cast<float>(pixels.width() * tpp));
    m_surface.setScaleHeight(static_cast<float>(pixels.height() * tpp));
}

} // namespace quorvane::qt
