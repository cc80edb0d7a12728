// Every attractor with parameters at the edges of double precision. What each must do is
// stated with the table. Typed text that is no number goes through the real conversion, in the
// Qt tests.

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"

#include "support/form_fixture.h"

#include <array>
#include <cfloat>
#include <cmath>

namespace quorvane::test {
namespace {

constexpr Rgb kGreen = 0x00FF00;
constexpr Rgb kRed = 0xFF0000;

struct Entry {
    const char* menu;
    const CommandTexts* texts;
    // With every parameter of orbit 1 at +-1e308, the orbit runs away at once. These are the
    // marks it leaves before that: Lorenz draws its start point, Rossler and Pickover one more
    // point; the other maps overflow in their first next point.
    std::size_t runawayMarks;
};

void PrintTo(const Entry& e, std::ostream* os) { *os << e.menu; }

const std::array<Entry, 8> kAttractors = {{
    {"mnuLOR1", &Lorenz::texts, 1},
    {"mnuROS", &Rossler::texts, 2},
    {"mnuHop1", &Hopalong::texts, 0},
    {"mnuPIK2", &Pickover::texts, 2},
    {"mnuE1", &Equation1::texts, 0},
    {"mnuE8", &Equation8::texts, 0},
    {"mnu3P4", &Starburst::texts, 0},
    {"mnuThreeply", &ThreeplyMap::texts, 0},
}};

class HostileParameters : public FormFixture, public ::testing::WithParamInterface<Entry> {
protected:
    static constexpr long kSteps = 300;

    // Orbit 1's prompts come first; they are answered with the text, orbit 2's with their
    // defaults (no text: every prompt with its default). The run is stopped with Escape after
    // kSteps steps.
    void runWithOrbit1(FakePlatform& p, Frm1& form, std::optional<std::string> text)
    {
        std::size_t orbit1Prompts = 0;
        for (const Prompt& prompt : GetParam().texts->prompts)
            orbit1Prompts += prompt.target < Param::aa ? 1 : 0;
        form.vars.DelayCount = 0; // the pace plays no part here
        if (text)
            p.answers = std::deque<std::optional<std::string>>(orbit1Prompts, *text);
        p.onPump = [&form](long n) {
            if (n == kSteps)
                form.Form_KeyDown(KeyCode::Escape, 0);
        };
        chooseMenu(form, GetParam().menu);
    }

    static std::vector<Call> plots(const FakePlatform& p, Rgb colour)
    {
        std::vector<Call> out;
        for (const Call& c : p.calls)
            if (c.kind == Call::Kind::Plot && c.colour == colour)
                out.push_back(c);
        return out;
    }

    // Orbit 2, with its defaults, draws exactly what it draws when orbit 1 has them too: a
    // runaway orbit never disturbs the other.
    void expectOrbit2Untouched(const std::string& text)
    {
        runWithOrbit1(platform, frm1, text);
        FakePlatform plain;
        Frm1 reference(plain);
        reference.Form_Load();
        runWithOrbit1(plain, reference, std::nullopt);
        const auto got = plots(platform, kRed), want = plots(plain, kRed);
        ASSERT_EQ(got.size(), 2u * kSteps);
        ASSERT_EQ(want.size(), got.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].surface, want[i].surface) << i;
            EXPECT_EQ(got[i].x, want[i].x) << i;
            EXPECT_EQ(got[i].y, want[i].y) << i;
        }
    }

    // Orbit 1 leaves its few marks in its first steps and none after: it is never repaired,
    // and no mark is ever made from a coordinate that is not a finite single.
    void expectRunaway(const char* huge)
    {
        expectOrbit2Untouched(huge);
        const auto green = plots(platform, kGreen);
        ASSERT_EQ(green.size(), 2 * GetParam().runawayMarks);
        for (const Call& c : green)
            EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y));
        const auto all = platform.callsOf(Call::Kind::Plot);
        for (std::size_t step = 0; step < GetParam().runawayMarks; ++step) {
            EXPECT_EQ(all[4 * step].colour, kGreen) << "step " << step;
            EXPECT_EQ(all[4 * step + 1].colour, kGreen) << "step " << step;
        }
        expectEndedCleanly();
    }

    // The run ended as every run ends: both surfaces cleared, all state and parameters zero.
    void expectEndedCleanly() const
    {
        EXPECT_EQ(platform.pumps(), kSteps);
        EXPECT_EQ(platform.calls.back().kind, Call::Kind::Clear);
        EXPECT_EQ(frm1.vars.StopFlag, 0);
        for (const Orbit* o : {&frm1.vars.orbit1, &frm1.vars.orbit2})
            EXPECT_TRUE(o->x == 0 && o->xNext == 0 && o->y == 0 && o->yNext == 0 && o->z == 0);
    }
};

TEST_P(HostileParameters, PlusHugeRunsOrbitOneAwayAndLeavesOrbitTwoAlone)
{
    expectRunaway("1e308");
}

TEST_P(HostileParameters, MinusHugeRunsOrbitOneAwayAndLeavesOrbitTwoAlone)
{
    expectRunaway("-1e308");
}

TEST_P(HostileParameters, TheSmallestDenormalIsAnOrdinaryNumber)
{
    expectOrbit2Untouched("5e-324");
    // 5e-324 is a number like any other: orbit 1 marks every step, on both surfaces.
    const auto green = plots(platform, kGreen);
    ASSERT_EQ(green.size(), 2u * kSteps);
    for (const Call& c : green)
        EXPECT_TRUE(std::fabs(c.x) <= FLT_MAX && std::fabs(c.y) <= FLT_MAX);
    expectEndedCleanly();
}

INSTANTIATE_TEST_SUITE_P(EveryAttractor, HostileParameters, ::testing::ValuesIn(kAttractors),
    [](const auto& test) { return std::string(test.param.menu); });

} // namespace
} // namespace quorvane::test
