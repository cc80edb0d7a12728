// The picture a run draws into without a window: the run writes its pixels in place, so the
// picture read from the observer shows each step's two points as they are drawn.

#include "output/picture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane::output {
namespace {

constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kRed = 0xFFFF0000;

// Hopalong draws its new point (x', y') 500 twips a unit about the middle of the drawing area,
// orbit 2 shifted 10 twips right and down; a pixel is 15 twips here.
QPoint hopalongPixel(double xNext, double yNext, double shift)
{
    const float x = static_cast<float>(500 * xNext + (24000.0 / 2 + shift));
    const float y = static_cast<float>(500 * yNext + (18000.0 / 2 + shift));
    return QPoint(static_cast<int>(std::floor(x * (1600 / 24000.0))),
        static_cast<int>(std::floor(y * (1200 / 18000.0))));
}

TEST(PictureRun, ShowsEachStepsPointsInPlaceWhileTheRunGoesOn)
{
    const ParameterSet hopalong {0.724, -0.565, -0.117};
    Picture picture;
    ASSERT_TRUE(picture.allocate(QSize(1600, 1200), 1, 0xFF000000));
    PictureRun run({headless::findAttractor("hopalong"), hopalong, {0.7241, -0.565, -0.117}, 1000});
    ASSERT_TRUE(run.setCanvas(picture, 1600, 1200));
    std::uint64_t checked = 0;
    run.setObserver([&](std::uint64_t step, WindowVars& vars) {
        const QImage& image = picture.image();
        const QPoint green = hopalongPixel(vars.orbit1.xNext, vars.orbit1.yNext, 0);
        const QPoint red = hopalongPixel(vars.orbit2.xNext, vars.orbit2.yNext, 10);
        if (image.rect().contains(red)) {
            EXPECT_EQ(image.pixel(red), kRed) << "step " << step;
            ++checked;
        }
        if (image.rect().contains(green) && green != red) {
            EXPECT_EQ(image.pixel(green), kGreen) << "step " << step;
        }
        return true;
    });
    EXPECT_EQ(run.run(), 1000u);
    EXPECT_GT(checked, 900u);
}

TEST(PictureSize, IsRefusedWhenEmptyAndKeepsTheScaleOfItsLogicalPixels)
{
    Picture picture;
    EXPECT_FALSE(picture.allocate(QSize(0, 10), 1, 0xFF000000));
    EXPECT_TRUE(picture.logicalSize().isEmpty());
    ASSERT_TRUE(picture.allocate(QSize(30, 20), 2, 0xFF102030));
    EXPECT_EQ(picture.image().size(), QSize(60, 40));
    EXPECT_EQ(picture.image().pixel(59, 39), 0xFF102030);
    // A point at the far corner, in twips of the logical size, lands on the last pixel.
    picture.plot(30 * 15 - 1, 20 * 15 - 1, 0xFFFFFF);
    EXPECT_EQ(picture.image().pixel(59, 39), 0xFFFFFFFF);
}

} // namespace
} // namespace quorvane::output
