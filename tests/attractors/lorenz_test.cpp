#include "attractors/lorenz.h"

#include "support/form_fixture.h"

#include <cmath>

namespace quorvane::test {
namespace {

class LorenzRun : public FormFixture {
protected:
    // Chooses Lorenz with the given answers and stops the run with Escape at the given pump.
    void runLorenz(long stopAtPump, std::deque<std::optional<std::string>> answers = {})
    {
        platform.answers = std::move(answers);
        atPump(stopAtPump, [this] { pressEscape(); });
        choose("mnuLOR1");
    }
    std::vector<Call> orbitPlots(Surface surface, Rgb colour) const
    {
        std::vector<Call> out;
        for (const Call& c : platform.plotsOn(surface))
            if (c.colour == colour)
                out.push_back(c);
        return out;
    }
    static constexpr Rgb kGreen = 0x00FF00;
    static constexpr Rgb kRed = 0xFF0000;
};

TEST_F(LorenzRun, AsksItsSixPromptsThenClearsAndSetsTheCaption)
{
    runLorenz(1);
    const auto boxes = platform.callsOf(Call::Kind::InputBox);
    ASSERT_EQ(boxes.size(), 6u);
    const char* const texts[] = {
        "Entre a value for Prandtl number.\r\n{5 - 34}",
        "Entre a value for Rayleigh number.\r\n{19 - 80, }",
        "Entre a value for (3rd parameter).\r\n{0.7 - 5.0}",
        "Entre a value for Prandtl number (2).\r\n{5 - 34}",
        "Entre a value for Rayleigh number (2).\r\n{19 - 80, }",
        "Entre a value for (3rd parameter) (2).\r\n{0.7 - 5.0}",
    };
    const char* const defaults[] = {"10", "28", "2.667", "10", "28", "2.667"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boxes[i].text, texts[i]);
        EXPECT_EQ(boxes[i].title, "Lorenz Orbits");
        EXPECT_EQ(boxes[i].extra, defaults[i]);
    }
    // After the last prompt: clear window, clear pic1, caption, then the first plot.
    std::size_t i = 0;
    while (platform.calls[i].kind == Call::Kind::InputBox)
        ++i;
    EXPECT_EQ(platform.calls[i].kind, Call::Kind::Clear);
    EXPECT_EQ(platform.calls[i].surface, Surface::Window);
    EXPECT_EQ(platform.calls[i + 1].surface, Surface::Picture);
    EXPECT_EQ(platform.calls[i + 2].kind, Call::Kind::Caption);
    EXPECT_EQ(platform.calls[i + 2].text, "LORENZ  ORBITS (XZ)    ");
    EXPECT_EQ(platform.calls[i + 3].kind, Call::Kind::Plot);
}

TEST_F(LorenzRun, FirstPointsIsTheStartStateOnBothSurfacesWithOrbitTwoShifted)
{
    runLorenz(1);
    const double w = 9795, h = 9225;
    const auto plots = platform.callsOf(Call::Kind::Plot);
    ASSERT_EQ(plots.size(), 4u);
    const float x1 = static_cast<float>(300 * 3.141593 + w / 2);
    const float y1 = static_cast<float>(-200 * 3.141593 + h / 1.2);
    const float x2 = static_cast<float>(300 * 3.141593 + (w / 2 + 10));
    const float y2 = static_cast<float>(-200 * 3.141593 + (h / 1.2 + 10));
    EXPECT_EQ(plots[0].x, x1);
    EXPECT_EQ(plots[0].y, y1);
    EXPECT_NEAR(plots[0].x, w / 2 + 942.4779, 1e-3);
    EXPECT_NEAR(plots[0].y, h / 1.2 - 628.3186, 1e-3);
    EXPECT_EQ(plots[1].x, x1);
    EXPECT_EQ(plots[2].x, x2);
    EXPECT_EQ(plots[2].y, y2);
    EXPECT_EQ(plots[3].y, y2);
}

TEST_F(LorenzRun, DefaultsGiveTheDocumentedFirstSteps)
{
    WindowVars vars;
    vars.set1 = {10, 28, 2.667, 0, 0};
    Lorenz::start(vars);
    Lorenz::afterStopTest(vars);
    EXPECT_EQ(vars.orbit1.x, 3.141593); // y = x, so x does not move
    EXPECT_NEAR(vars.orbit1.y, 3.17157436177, 1e-10);
    EXPECT_NEAR(vars.orbit1.z, 3.14222706691, 1e-10);
    Lorenz::afterStopTest(vars);
    EXPECT_NEAR(vars.orbit1.x, 3.14171292545, 1e-10);
    EXPECT_NEAR(vars.orbit1.y, 3.20154412663, 1e-10);
    EXPECT_NEAR(vars.orbit1.z, 3.1428982721, 1e-10);
}

TEST_F(LorenzRun, EachEquationUsesTheValuesJustStored)
{
    // Bit for bit against the stated order: x first, y with the new x, z with the new x and y.
    Orbit o {1.25, 0, -0.5, 0, 7.0};
    const ParameterSet p {13.5, 41.0, 0.9, 0, 0};
    const double x = 1.25 + (-0.5 - 1.25) * 13.5 * 0.0004;
    const double y = -0.5 + (41.0 * x - -0.5 - x * 7.0) * 0.0004;
    const double z = 7.0 + (x * y - 0.9 * 7.0) * 0.0004;
    Lorenz::advance(o, p);
    EXPECT_EQ(o.x, x);
    EXPECT_EQ(o.y, y);
    EXPECT_EQ(o.z, z);
}

TEST_F(LorenzRun, WithEveryParameterZeroXStaysPutWhileYAndZMove)
{
    runLorenz(200, std::deque<std::optional<std::string>>(6, std::nullopt));
    const auto plots = orbitPlots(Surface::Window, kGreen);
    ASSERT_EQ(plots.size(), 200u);
    const float x = static_cast<float>(300 * 3.141593 + 9795.0 / 2);
    for (const Call& c : plots)
        EXPECT_EQ(c.x, x);
    EXPECT_NE(plots.front().y, plots.back().y);
}

TEST_F(LorenzRun, EqualParametersDrawOrbitTwoAsAShiftedCopy)
{
    runLorenz(500);
    const auto green = orbitPlots(Surface::Picture, kGreen);
    const auto red = orbitPlots(Surface::Picture, kRed);
    ASSERT_EQ(green.size(), red.size());
    for (std::size_t i = 0; i < green.size(); ++i) {
        EXPECT_NEAR(red[i].x - green[i].x, 10.0f, 2e-3f) << i;
        EXPECT_NEAR(red[i].y - green[i].y, 10.0f, 2e-3f) << i;
    }
}

TEST_F(LorenzRun, AnOverflowingOrbitStopsDrawingWhileTheOtherGoesOn)
{
    // A huge Prandtl number for orbit 2 makes its Euler step blow up within a few steps.
    runLorenz(100, {"10", "28", "2.667", "1e300", "28", "2.667"});
    EXPECT_EQ(orbitPlots(Surface::Window, kGreen).size(), 100u);
    EXPECT_EQ(orbitPlots(Surface::Picture, kGreen).size(), 100u);
    const auto red = orbitPlots(Surface::Window, kRed);
    EXPECT_LT(red.size(), 10u);
    EXPECT_EQ(red.size(), orbitPlots(Surface::Picture, kRed).size());
}

TEST_F(LorenzRun, ResetInANestedRunLetsTheOuterRunGoOnFromZero)
{
    // Lorenz chosen again during a Lorenz run; its RESET hands back to the outer run, which
    // then sits at the fixed point x = y = z = 0 with every parameter zero.
    atPump(3, [this] { choose("mnuLOR1"); });
    atPump(6, [this] { pressEscape(); });
    atPump(9, [this] { pressEscape(); });
    choose("mnuLOR1");

    EXPECT_EQ(platform.callsOf(Call::Kind::InputBox).size(), 12u);
    EXPECT_EQ(platform.pumps(), 9);
    EXPECT_EQ(frm1.vars.StopFlag, 0);
    // After the inner RESET the outer run plots the centre points at pumps 7, 8 and 9.
    const auto plots = platform.plotsOn(Surface::Window);
    ASSERT_EQ(plots.size(), 9u * 2u);
    const float cx = static_cast<float>(9795.0 / 2), cy = static_cast<float>(9225.0 / 1.2);
    for (std::size_t i = 12; i < plots.size(); i += 2) {
        EXPECT_EQ(plots[i].x, cx);
        EXPECT_EQ(plots[i].y, cy);
        EXPECT_EQ(plots[i + 1].x, static_cast<float>(9795.0 / 2 + 10));
        EXPECT_EQ(plots[i + 1].y, static_cast<float>(9225.0 / 1.2 + 10));
    }
}

} // namespace
} // namespace quorvane::test
