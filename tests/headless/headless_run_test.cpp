// The headless run, as the commands that draw and measure orbits rely on it: each step's two
// points reach the canvas in twips of the drawing area's size, the observer is called once a
// step after both points are drawn, it can change the state the step carries on from, and it
// can end the run; a run makes exactly the steps set.

#include "headless/headless_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quorvane::headless {
namespace {

// A canvas that keeps what it is handed.
struct RecordingCanvas {
    struct Plot {
        float x, y;
        Rgb colour;
    };
    std::vector<Plot> plots;
    int clears = 0;

    void plot(float x, float y, Rgb colour) { plots.push_back({x, y, colour}); }
    void clear() { ++clears; }
};

constexpr Rgb kGreen = 0x00FF00;
constexpr Rgb kRed = 0xFF0000;

TEST(HeadlessRunObserver, SeesEachStepDrawnCarriesOnFromItsChangesAndEndsTheRun)
{
    const ParameterSet hopalong {0.724, -0.565, -0.117};
    HeadlessRun<RecordingCanvas> run({findAttractor("hopalong"), hopalong, hopalong, 1000});
    RecordingCanvas canvas;
    ASSERT_TRUE(run.setCanvas(canvas, 1600, 1200));

    std::uint64_t seen = 0;
    run.setObserver([&](std::uint64_t step, WindowVars& vars) {
        EXPECT_EQ(step, ++seen);
        // The run draws into its canvas from the start: it can't be given another now.
        if (step == 1) {
            RecordingCanvas other;
            EXPECT_FALSE(run.setCanvas(other, 3200, 2400));
        }
        // Hopalong draws its new point (x', y') 500 twips a unit about the middle of the
        // 24000 x 18000 twips, orbit 2 shifted 10 twips right and down.
        const Orbit& o1 = vars.orbit1;
        const Orbit& o2 = vars.orbit2;
        EXPECT_EQ(canvas.plots.size(), 2 * step);
        const RecordingCanvas::Plot& green = canvas.plots[canvas.plots.size() - 2];
        const RecordingCanvas::Plot& red = canvas.plots.back();
        EXPECT_EQ(green.x, static_cast<float>(500 * o1.xNext + 12000.0)) << "step " << step;
        EXPECT_EQ(green.y, static_cast<float>(500 * o1.yNext + 9000.0)) << "step " << step;
        EXPECT_EQ(green.colour, kGreen);
        EXPECT_EQ(red.x, static_cast<float>(500 * o2.xNext + 12010.0)) << "step " << step;
        EXPECT_EQ(red.y, static_cast<float>(500 * o2.yNext + 9010.0)) << "step " << step;
        EXPECT_EQ(red.colour, kRed);

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
    EXPECT_EQ(canvas.clears, 0); // the picture stays once the run ends
}

// The pump has something to do at the last step, and with an observer at every step; each run
// must end after exactly the steps set, with the observer called once for each of them.
TEST(HeadlessRunLength, EndsAfterTheStepsSetWithOrWithoutAnObserver)
{
    const ParameterSet equation1 {0.2238, -0.9992, -0.8697, -0.3373};
    for (const std::uint64_t steps : {1u, 2u, 3u, 1000u})
        for (const bool observed : {false, true}) {
            SCOPED_TRACE(::testing::Message() << steps << " steps, observed " << observed);
            HeadlessRun run({findAttractor("eqn1"), equation1, equation1, steps});
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

TEST(AttractorNames, AreFoundInAnyCaseAndNothingElseIs)
{
    EXPECT_EQ(findAttractor("LoReNz")->name, "lorenz");
    EXPECT_EQ(findAttractor("EQN8")->name, "eqn8");
    EXPECT_EQ(findAttractor("lorenz "), nullptr);
    EXPECT_EQ(findAttractor("lorenzz"), nullptr);
    EXPECT_EQ(findAttractor(""), nullptr);
    // Every name reaches the attractor whose drawing routine the window runs for it.
    for (const AttractorChoice& choice : attractorChoices())
        EXPECT_EQ(findAttractor(choice.name), &choice);
}

} // namespace
} // namespace quorvane::headless
