#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include "support/form_fixture.h"

namespace quorvane::test {
namespace {

// One map as the user chooses it, with the screen mapping it is drawn with.
struct MapCase {
    const char* menu;
    std::deque<std::optional<std::string>> answers; // orbit 1 the defaults, orbit 2 its own
    void (*next)(Orbit&, const ParameterSet&);
    double scale;
    double centreDivisorX; // the vertical centre is ScaleHeight / 2 for all four
    Point firstOffset; // orbit 1's first point with the defaults, from the centre
};

void PrintTo(const MapCase& m, std::ostream* os) { *os << m.menu; }

template <class A>
MapCase mapCase(const char* menu, std::deque<std::optional<std::string>> answers, double scale,
    double divisorX, Point firstOffset)
{
    return {menu, std::move(answers), &A::next, scale, divisorX, firstOffset};
}

class MapRun : public FormFixture, public ::testing::WithParamInterface<MapCase> {
protected:
    static constexpr double W = 9795, H = 9225;
    static constexpr Rgb kGreen = 0x00FF00;
    static constexpr Rgb kRed = 0xFF0000;

    void expectPlot(const Call& c, Surface surface, Rgb colour, double x, double y) const
    {
        EXPECT_EQ(c.surface, surface);
        EXPECT_EQ(c.colour, colour);
        EXPECT_EQ(c.x, static_cast<float>(x));
        EXPECT_EQ(c.y, static_cast<float>(y));
    }
};

TEST_P(MapRun, EachNewPointIsPlottedAtItsMappingOnBothSurfaces)
{
    const MapCase& m = GetParam();
    constexpr long kSteps = 40;
    ParameterSet set1, set2;
    platform.answers = m.answers;
    atPump(kSteps, [&] {
        set1 = frm1.vars.set1;
        set2 = frm1.vars.set2;
        pressEscape();
    });
    choose(m.menu);

    const auto plots = platform.callsOf(Call::Kind::Plot);
    ASSERT_EQ(plots.size(), 4u * kSteps);
    const double cx = W / m.centreDivisorX, cy = H / 2;
    EXPECT_NEAR(plots[0].x, cx + m.firstOffset.x, 1e-3);
    EXPECT_NEAR(plots[0].y, cy + m.firstOffset.y, 1e-3);
    // Each step plots the next point of each orbit from its own parameters, then both orbits
    // take their next points.
    Orbit o1, o2;
    for (std::size_t i = 0; i < plots.size(); i += 4) {
        m.next(o1, set1);
        const double x1 = m.scale * o1.xNext + cx, y1 = m.scale * o1.yNext + cy;
        expectPlot(plots[i], Surface::Window, kGreen, x1, y1);
        expectPlot(plots[i + 1], Surface::Picture, kGreen, x1, y1);
        m.next(o2, set2);
        const double x2 = m.scale * o2.xNext + (cx + 10), y2 = m.scale * o2.yNext + (cy + 10);
        expectPlot(plots[i + 2], Surface::Window, kRed, x2, y2);
        expectPlot(plots[i + 3], Surface::Picture, kRed, x2, y2);
        o1 = {o1.xNext, o1.xNext, o1.yNext, o1.yNext, 0};
        o2 = {o2.xNext, o2.xNext, o2.yNext, o2.yNext, 0};
    }
}

TEST_P(MapRun, WithEveryParameterZeroBothOrbitsStayAtTheOrigin)
{
    const MapCase& m = GetParam();
    platform.answers = std::deque<std::optional<std::string>>(m.answers.size(), std::nullopt);
    atPump(5, [this] { pressEscape(); });
    choose(m.menu);
    const auto plots = platform.plotsOn(Surface::Window);
    ASSERT_EQ(plots.size(), 10u);
    for (std::size_t i = 0; i < plots.size(); i += 2) {
        expectPlot(plots[i], Surface::Window, kGreen, W / m.centreDivisorX, H / 2);
        expectPlot(plots[i + 1], Surface::Window, kRed, W / m.centreDivisorX + 10, H / 2 + 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, MapRun,
    ::testing::Values(mapCase<Equation1>("mnuE1",
                          {"0.2238", "-0.9992", "-0.8697", "-0.3373", "0.3", "-1.1", "0.5", "-0.2"},
                          800, 2, {799.575872, 179.04}),
        mapCase<Equation8>("mnuE8", {"2.42", "-1.36", "-0.2", "-0.31", "2.1", "-1.5", "0", "-0.25"},
            500, 2.1, {1210, 0}),
        mapCase<Starburst>(
            "mnu3P4", {"77.85", "-61.97", "59.68", "70", "-60", "50"}, 15, 2, {0, 1167.75}),
        mapCase<ThreeplyMap>(
            "mnuThreeply", {"-93.8", "96.1", "31", "-90", "95", "30"}, 20, 2, {0, -1876})),
    [](const auto& p) { return std::string(p.param.menu); });

} // namespace
} // namespace quorvane::test
