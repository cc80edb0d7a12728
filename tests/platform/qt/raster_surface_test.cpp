#include "platform/qt/raster_surface.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

namespace quorvane::qt {
namespace {

class Raster : public ::testing::Test {
protected:
    Raster()
    {
        surface.resize(QSize(100, 50));
        surface.setScaleWidth(1500); // 15 units a pixel, as twips at 96 dpi
        surface.setScaleHeight(750);
    }
    RasterSurface surface;
    static constexpr QRgb kGreen = 0xFF00FF00;
};

TEST_F(Raster, MapsScaleUnitsToPixelsRoundingDown)
{
    EXPECT_EQ(surface.plot(0, 0, kGreen), QPoint(0, 0));
    EXPECT_EQ(surface.plot(29.9f, 15, kGreen), QPoint(1, 1));
    EXPECT_EQ(surface.plot(1499.9f, 749.9f, kGreen), QPoint(99, 49));
    EXPECT_EQ(surface.image().pixel(1, 1), kGreen);
}

TEST_F(Raster, PointsOutsideLeaveNoMark)
{
    for (const auto& [x, y] : {std::pair {-0.1f, 0.0f}, {1500.0f, 0.0f}, {0.0f, 750.0f},
             {FLT_MAX, FLT_MAX}, {-FLT_MAX, 3.0f}})
        EXPECT_FALSE(surface.plot(x, y, kGreen)) << x << ", " << y;
}

TEST_F(Raster, RefusesSizesAndScalesItCannotTake)
{
    EXPECT_FALSE(surface.resize(QSize(0, 10)));
    EXPECT_FALSE(surface.resize(QSize(10, RasterSurface::kMaxPixels + 1)));
    EXPECT_FALSE(surface.setScaleWidth(0));
    EXPECT_FALSE(surface.setScaleHeight(-5));
    EXPECT_FALSE(surface.setScaleWidth(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(surface.size(), QSize(100, 50));
    EXPECT_EQ(surface.scaleWidth(), 1500.0f);
}

TEST_F(Raster, ResizingKeepsWhatWasDrawnAndBackgroundColourErases)
{
    surface.setBackColor(0xFF000080);
    surface.plot(150, 150, kGreen); // pixel (10, 10)
    surface.plot(0, 0, kGreen); // the corners
    surface.plot(1499.9f, 749.9f, kGreen); // pixel (99, 49)
    surface.resize(QSize(200, 120));
    for (const QPoint p : {QPoint(10, 10), QPoint(0, 0), QPoint(99, 49)})
        EXPECT_EQ(surface.image().pixel(p), kGreen) << p.x() << ", " << p.y();
    EXPECT_EQ(surface.image().pixel(150, 100), 0xFF000080);
    surface.resize(QSize(100, 50)); // and back: the corner is still there
    EXPECT_EQ(surface.image().pixel(99, 49), kGreen);
    surface.setBackColor(0xFFFFFFFF);
    EXPECT_EQ(surface.image().pixel(10, 10), 0xFFFFFFFF);
}

// A run that has the surface to itself plots through a Writer: the same pixels as plot(), and
// never into a copy of the image taken before the writer was made.
TEST_F(Raster, WriterSetsThePixelsPlotWouldAndLeavesEarlierCopiesAlone)
{
    constexpr QRgb kNavy = 0xFF000080;
    surface.setBackColor(kNavy);
    const QImage before = surface.image(); // shares the pixels until one side writes
    {
        RasterSurface::Writer writer(surface);
        for (const auto& [x, y] :
            {std::pair {0.0f, 0.0f}, {29.9f, 15.0f}, {1499.9f, 749.9f}, {-0.1f, 0.0f},
                {1500.0f, 0.0f}, {0.0f, 750.0f}, {FLT_MAX, FLT_MAX}, {-FLT_MAX, 3.0f}})
            writer.plot(x, y, kGreen);
    }
    const QImage& after = surface.image();
    std::vector<QPoint> green;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) == kGreen)
                green.emplace_back(x, y);
    EXPECT_EQ(green, (std::vector {QPoint(0, 0), QPoint(1, 1), QPoint(99, 49)}));
    EXPECT_EQ(before.pixel(0, 0), kNavy);
    EXPECT_EQ(before.pixel(99, 49), kNavy);
}

} // namespace
} // namespace quorvane::qt
