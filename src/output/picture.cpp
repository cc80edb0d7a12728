#include "output/picture.h"

namespace quorvane::headless {
template class HeadlessRun<output::Picture>;
}

namespace quorvane::output {

bool Picture::allocate(QSize logical, int devicePixelRatio, QRgb background)
{
    m_writer.reset();
    m_logical = {};
    // The background first: resizing keeps the old image's pixels, which must be background.
    m_area.setBackColor(background);
    const QSize pixels = logical * devicePixelRatio;
    if (logical.isEmpty() || !m_area.setDevicePixelRatio(devicePixelRatio)
        || !m_area.resize(pixels))
        return false;
    m_area.setScaleWidth(static_cast<float>(logical.width()) * headless::kTwipsPerPixel);
    m_area.setScaleHeight(static_cast<float>(logical.height()) * headless::kTwipsPerPixel);
    m_logical = logical;
    m_writer.emplace(m_area);
    return true;
}

void Picture::clear()
{
    m_writer.reset();
    m_area.clear();
    m_writer.emplace(m_area);
}

} // namespace quorvane::output
