#include "platform/qt/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvane::qt {

RasterSurface::RasterSurface(int maxSide)
    : m_maxSide(std::clamp(maxSide, 1, kMaxImageSide))
    , m_image(1, 1, QImage::Format_RGB32)
{
    m_image.fill(m_backColor);
}

void RasterSurface::clear() { m_image.fill(m_backColor); }

void RasterSurface::setBackColor(QRgb colour)
{
    m_backColor = colour;
    clear();
}

bool RasterSurface::resize(QSize pixels)
{
    if (pixels.width() < 1 || pixels.height() < 1 || pixels.width() > m_maxSide
        || pixels.height() > m_maxSide)
        return false;
    if (pixels == m_image.size())
        return true;
    QImage grown(pixels, QImage::Format_RGB32);
    if (grown.isNull()) // no memory for it
        return false;
    grown.setDevicePixelRatio(m_image.devicePixelRatio());
    grown.fill(m_backColor);
    // What was drawn keeps its pixels: the rows and columns both images have are copied over.
    const int width = std::min(pixels.width(), m_image.width());
    const int height = std::min(pixels.height(), m_image.height());
    for (int y = 0; y < height; ++y)
        std::memcpy(grown.scanLine(y), m_image.constScanLine(y),
            static_cast<std::size_t>(width) * sizeof(QRgb));
    m_image = std::move(grown);
    updateFactors();
    return true;
}

bool RasterSurface::setDevicePixelRatio(qreal ratio)
{
    if (!(std::isfinite(ratio) && ratio > 0))
        return false;
    m_image.setDevicePixelRatio(ratio);
    return true;
}

bool RasterSurface::setScaleWidth(float units)
{
    if (!(std::isfinite(units) && units > 0))
        return false;
    m_scaleWidth = units;
    updateFactors();
    return true;
}

bool RasterSurface::setScaleHeight(float units)
{
    if (!(std::isfinite(units) && units > 0))
        return false;
    m_scaleHeight = units;
    updateFactors();
    return true;
}

void RasterSurface::updateFactors()
{
    m_width = m_image.width();
    m_height = m_image.height();
    m_xFactor = m_image.width() / static_cast<double>(m_scaleWidth);
    m_yFactor = m_image.height() / static_cast<double>(m_scaleHeight);
}

} // namespace quorvane::qt
