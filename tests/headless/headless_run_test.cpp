// The per-step observer of a headless run, as the commands that measure orbits rely on it: it
// is called once a step, after both orbits' points are drawn, it can change the state the step
// carries on from, and it can end the run.

#include "headless/headless_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quorvane::headless {
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

TEST(HeadlessRunObserver, SeesEachStepDrawnCarriesOnFromItsChangesAndEndsTheRun)
{
    const ParameterSet hopalong {0.724, -0.565, -0.117};
    HeadlessRun run({findAttractor(u"hopalong"), hopalong, hopalong, 1000});
    ASSERT_TRUE(run.setDrawingArea(QSize(1600, 1200), 1, 0xFF000000));

    std::uint64_t seen = 0;
    run.setObserver([&](std::uint64_t step, WindowVars& vars) {
        EXPECT_EQ(step, ++seen);
        // The run writes into the image in place: it can't be given a new one now.
        if (step == 1) {
            EXPECT_FALSE(run.setDrawingArea(QSize(3200, 2400), 1, 0xFF000000));
        }
        const Orbit& o1 = vars.orbit1;
        const Orbit& o2 = vars.orbit2;
        const QImage& image = run.drawingArea().image();
        const QPoint green = hopalongPixel(o1.xNext, o1.yNext, 0);
        const QPoint red = hopalongPixel(o2.xNext, o2.yNext, 10);
        if (image.rect().contains(red)) {
            EXPECT_EQ(image.pixel(red), kRed) << "step " << step;
        }
        if (image.rect().contains(green) && green != red) {
            EXPECT_EQ(image.pixel(green), kGreen) << "step " << step;
        }

        // Equal parameters: orbit 2 is orbit 1 until it is moved, then takes the moved point.
        if (step <= 50) {
            EXPECT_EQ(o2.xNext, o1.xNext);
        }
        if (step == 50)
            vars.orbit2.xNext += 0.5;
        if (step == 51) {
            EXPECT_NEAR(o2.yNext, o1.yNext - 0.5, 1e-12); // y' = a - x
        }
        return step < 600;
    });
    EXPECT_EQ(run.run(), 600u);
    EXPECT_EQ(seen, 600u);
}

// The pump has something to do at the last step, and with an observer at every step; each run
// must end after exactly the steps set, with the observer called once for each of them.
TEST(HeadlessRunLength, EndsAfterTheStepsSetWithOrWithoutAnObserver)
{
    const ParameterSet equation1 {0.2238, -0.9992, -0.8697, -0.3373};
    for (const std::uint64_t steps : {1u, 2u, 3u, 1000u})
        for (const bool observed : {false, true}) {
            SCOPED_TRACE(::testing::Message() << steps << " steps, observed " << observed);
            HeadlessRun run({findAttractor(u"eqn1"), equation1, equation1, steps});
            std::vector<std::uint64_t> seen;
            if (observed)
                run.setObserver([&](std::uint64_t step, WindowVars&) {
                    seen.push_back(step);
                    return true;
                });
            EXPECT_EQ(run.run(), steps);
            if (observed) {
                ASSERT_EQ(seen.size(), steps);
                for (std::size_t i = 0; i < seen.size(); ++i)
                    EXPECT_EQ(seen[i], i + 1);
            }
        }
}

} // namespace
} // namespace quorvane::headless
