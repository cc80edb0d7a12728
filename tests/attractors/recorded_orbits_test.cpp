#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/rossler.h"
#include "platform/null_platform.h"
#include "run/run_loop.h"

#include <gtest/gtest.h>

namespace quorvane::test {
namespace {

// A run of an attractor's drawing routine from its command's defaults, orbit 2 with an a
// larger by a thousandth, stopped at the pump of step 100000. The orbits there were recorded
// from the program as it was before its steps became templates over a number type, built for
// release; any change in the arithmetic the steps do, or in its order, changes them.
// Only the attractors whose step is plain IEEE arithmetic are here: sine, cosine and tangent
// may differ in the last bit between builds of the maths library.
constexpr long kSteps = 100'000;

class StopAtStep final : public NullPlatform {
public:
    Form* form = nullptr;
    long left = kSteps;
    StepVars<double> atLastPump;

    void processEvents() override
    {
        if (--left > 0)
            return;
        atLastPump = form->vars;
        form->vars.StopFlag = 1;
    }
};

template <Attractor A> StepVars<double> runFromDefaults()
{
    StopAtStep platform;
    Form form(platform);
    platform.form = &form;
    for (const Prompt& prompt : A::texts.prompts)
        form.vars.parameter(prompt.target) = prompt.defaultValue;
    form.vars.set2.a *= 1.001;
    runOrbits<A>(form);
    return platform.atLastPump;
}

void expectOrbits(const StepVars<double>& vars, const Orbit& one, const Orbit& two)
{
    for (double Orbit::*slot : {&Orbit::x, &Orbit::xNext, &Orbit::y, &Orbit::yNext, &Orbit::z}) {
        EXPECT_EQ(vars.orbit1.*slot, one.*slot);
        EXPECT_EQ(vars.orbit2.*slot, two.*slot);
    }
}

TEST(RecordedOrbits, TheFlowsGiveTheNumbersTheyGaveBefore)
{
    expectOrbits(runFromDefaults<Lorenz>(),
        {-0x1.46d1505844404p+2, 0, -0x1.05fab9fcb5467p+0, 0, 0x1.c98451ecbf0e8p+4},
        {-0x1.4b88f5604a60fp+1, 0, -0x1.b8464a0f8ef2fp+1, 0, 0x1.1734c649cbd55p+4});
    expectOrbits(runFromDefaults<Rossler>(),
        {-0x1.912d1b4211f34p+1, 0, 0x1.529bc56f518eep-1, 0, 0x1.78a048a355d76p-6},
        {-0x1.6e497aae59528p+2, 0, 0x1.1b2b35a20aa18p+0, 0, 0x1.20d6cbb172927p-6});
}

TEST(RecordedOrbits, TheMapsGiveTheNumbersTheyGaveBefore)
{
    expectOrbits(runFromDefaults<Hopalong>(),
        {-0x1.75e18d2db9fdap+2, 0x1.b86b92c3914a1p+2, 0x1.eebc9287e79c9p+2, 0x1.a43791464d726p+2,
            0},
        {-0x1.e516f73b0af5bp+0, 0x1.016b544d600e8p+4, 0x1.02db0b89cc784p+4, 0x1.4f4f3d28d5a59p+1,
            0});
    expectOrbits(runFromDefaults<Equation1>(),
        {-0x1.d4197c957791p-3, -0x1.d05030076cf5p-4, -0x1.0929d46b4ff49p+0, 0x1.cf38920e1cdbcp-2,
            0},
        {-0x1.160b093a54abap+1, 0x1.fdeca6d5bcdf7p+1, 0x1.dbb38181f2928p+1, 0x1.32b7d91197f3fp+1,
            0});
    expectOrbits(runFromDefaults<Equation8>(),
        {0x1.30094591321fep+3, 0x1.851558e5009c7p+3, -0x1.37a4b50df65fp+3, 0x1.da251bdf66aep+2, 0},
        {0x1.105779e4d4c98p+0, -0x1.9f0e38bf65133p+2, 0x1.1d0b9352582ep+3, 0x1.1fb266a37c842p+1,
            0});
}

} // namespace
} // namespace quorvane::test
