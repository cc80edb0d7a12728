#pragma once

// The files a command writes: the picture of a run, the chart, the CSV file, and the writing
// of several files together or not at all. Qt's tools do the work (QImage and QImageWriter,
// QPainter, QSaveFile); what is measured comes from analysis/, already computed.

#include "headless/headless_run.h"
#include "platform/qt/raster_surface.h"
#include "run/palette.h"

#include <QImage>
#include <QSize>

#include <optional>

namespace quorvane::output {

// The picture a run draws when it has no window: the same surface the window's drawing area
// holds, sized and scaled as the window's would be, so that every point lands on the pixel the
// window would give it. It is the canvas of a HeadlessRun<Picture>, which writes its pixels
// directly while the run goes on.
class Picture {
public:
    // A drawing area of `logical` pixels at 15 twips each, held at `devicePixelRatio` image
    // pixels per logical pixel, erased to `background`. Returns false, and leaves the picture
    // empty, when the surface refuses the size or its image cannot be allocated.
    bool allocate(QSize logical, int devicePixelRatio, QRgb background);

    QSize logicalSize() const { return m_logical; }
    // The picture. While a run draws into it, read it in place: the run writes the pixels
    // directly, so a copy taken then would change with them, and a copy that is still held
    // when the run draws makes the run draw into it as well.
    const QImage& image() const { return m_area.image(); }

    // What the run calls: one point in twips, and the erasing of everything.
    void plot(float x, float y, Rgb colour) { m_writer->plot(x, y, 0xFF000000u | colour); }
    void clear();

private:
    // One picture, not a window: as large as the caller asks and QImage holds.
    qt::RasterSurface m_area {qt::RasterSurface::kMaxImageSide};
    std::optional<qt::RasterSurface::Writer> m_writer;
    QSize m_logical;
};

// A run that draws into a picture: `run.setCanvas(picture, w, h)` with the picture's logical
// size. Made once, in picture.cpp.
using PictureRun = headless::HeadlessRun<Picture>;

} // namespace quorvane::output

namespace quorvane::headless {
extern template class HeadlessRun<output::Picture>;
}
