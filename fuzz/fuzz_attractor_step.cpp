// Every attractor's step from arbitrary parameters and orbit state, checked against the fault
// rules written out again here, on their own: after a step each slot holds either the value
// its formula computes or, where a rule says the assignment is abandoned, the value it had.
// Then a short run of the same attractor through the shared loop, which must plot only finite
// single-precision points and end with its end-of-run actions.

#include "fuzz_values.h"

#include "attractors/equation1.h"
#include "attractors/equation8.h"
#include "attractors/hopalong.h"
#include "attractors/lorenz.h"
#include "attractors/pickover.h"
#include "attractors/rossler.h"
#include "attractors/starburst.h"
#include "attractors/threeply.h"
#include "platform/null_platform.h"
#include "run/run_loop.h"

#include <cmath>

namespace {

using namespace quorvane;
using quorvane::fuzz::fail;
using quorvane::fuzz::sameResult;

// The slots as the rules number them: s[0] is slot 1 ... s[4] is slot 5.
struct Slots {
    double s[5] = {};
};
struct Params {
    double a = 0, b = 0, c = 0, d = 0, e = 0;
};

bool fault(double v) { return std::isinf(v) || std::isnan(v); }
double signOf(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// --- The rules, one attractor at a time. Maps write the next point into slots 2 and 4. ---

void lorenzAdvance(Slots& o, const Params& p)
{
    double& x = o.s[0];
    double& y = o.s[2];
    double& z = o.s[4];
    x = x + (y - x) * p.a * 0.0004;
    y = y + (p.b * x - y - x * z) * 0.0004;
    z = z + (x * y - p.c * z) * 0.0004;
}

void rosslerAdvance(Slots& o, const Params& p)
{
    double& x = o.s[0];
    double& y = o.s[2];
    double& z = o.s[4];
    x = x - (y + z) * 0.04;
    y = y + (p.a * y + x) * 0.04;
    z = z + (x * z + p.b - p.c * z) * 0.04;
}

void hopalongNext(Slots& o, const Params& p)
{
    const double x = o.s[0], y = o.s[2];
    const double inner = std::fabs(p.b * x - p.c);
    if (!fault(inner)) // checked after the absolute value, before the root
        o.s[1] = y - (signOf(x) + std::sqrt(inner));
    o.s[3] = p.a - x;
}

void pickoverNext(Slots& o, const Params& p)
{
    const double x = o.s[0], y = o.s[2];
    const double sx = std::sin(x); // taken unchecked
    const double bx = p.b * x, ay = p.a * y;
    if (!fault(bx) && !fault(ay))
        o.s[1] = std::sin(ay) - sx * p.e * std::cos(bx);
    const double cx = p.c * x, dy = p.d * y;
    if (!fault(cx) && !fault(dy))
        o.s[3] = sx * p.e * std::sin(cx) - std::cos(dy);
}

void equation1Next(Slots& o, const Params& p)
{
    const double x = o.s[0], y = o.s[2];
    if (x > 0)
        o.s[1] = y + p.b * x * (p.d - 0.5);
    else // x <= 0, and x not a number
        o.s[1] = y - p.d - (1 + p.d - x * p.d) * p.b;
    o.s[3] = p.a - x;
}

void equation8Next(Slots& o, const Params& p)
{
    const double x = o.s[0], y = o.s[2];
    o.s[1] = p.a - y;
    const double inner = p.d * y - p.b;
    if (!fault(inner))
        o.s[3] = x + std::sqrt(std::fabs(inner)) * signOf(y);
}

template <bool Tangent> void signMapNext(Slots& o, const Params& p)
{
    const double x = o.s[0], y = o.s[2];
    const double sum = p.a + p.b + p.c;
    if (!fault(sum)) {
        const double f = Tangent ? std::tan(sum) : std::sin(sum);
        o.s[1] = y - std::fabs(std::sin(x) * std::cos(p.b) + p.c - x * f) * signOf(x);
    }
    o.s[3] = p.a - x;
}

struct Rule {
    bool flow; // advanced in place after the stop test; otherwise a map with a commit
    void (*step)(Slots&, const Params&);
};

// One whole step of both orbits, as the run loop does it.
void referenceStep(const Rule& rule, Slots& o1, Slots& o2, const Params& p1, const Params& p2)
{
    rule.step(o1, p1);
    rule.step(o2, p2);
    if (!rule.flow)
        for (Slots* o : {&o1, &o2}) {
            o->s[0] = o->s[1];
            o->s[2] = o->s[3];
        }
}

Slots slotsOf(const Orbit& o) { return {{o.x, o.xNext, o.y, o.yNext, o.z}}; }
Orbit orbitOf(const Slots& s) { return {s.s[0], s.s[1], s.s[2], s.s[3], s.s[4]}; }
Params paramsOf(const ParameterSet& p) { return {p.a, p.b, p.c, p.d, p.e}; }

void expectSame(const Slots& want, const Orbit& got, const char* attractor)
{
    const Slots g = slotsOf(got);
    for (int i = 0; i < 5; ++i)
        if (!sameResult(want.s[i], g.s[i])) {
            std::fprintf(
                stderr, "%s slot %d: rule %a, step %a\n", attractor, i + 1, want.s[i], g.s[i]);
            fail("a slot holds neither its computed value nor the value its rule keeps");
        }
}

// A platform that draws nowhere and stops the run after a given number of pumps. It checks
// every point it is handed.
class CheckingPlatform final : public NullPlatform {
public:
    CheckingPlatform(float w, float h) { setWindow(w, h, w, h); }
    Form* form = nullptr;
    int pumpsLeft = 0;
    int clears = 0;

    void plot(Surface, float x, float y, Rgb) override
    {
        if (!(std::fabs(x) <= FLT_MAX && std::fabs(y) <= FLT_MAX))
            fail("a plot was handed a coordinate that is not a finite single");
    }
    void clear(Surface) override { ++clears; }
    void processEvents() override
    {
        if (--pumpsLeft == 0)
            form->mnuReset_Click();
    }
};

template <class A>
void check(FuzzedDataProvider& in, const Rule& rule, const char* name, const WindowVars& start)
{
    // The step hooks alone, from the fuzzed state: a run's start state would hide it.
    WindowVars vars = start;
    Slots o1 = slotsOf(vars.orbit1), o2 = slotsOf(vars.orbit2);
    const Params p1 = paramsOf(vars.set1), p2 = paramsOf(vars.set2);
    const int steps = in.ConsumeIntegralInRange(1, 12);
    for (int i = 0; i < steps; ++i) {
        A::beforePlots(vars);
        A::betweenOrbits(vars);
        A::afterStopTest(vars);
        referenceStep(rule, o1, o2, p1, p2);
        expectSame(o1, vars.orbit1, name);
        expectSame(o2, vars.orbit2, name);
    }

    // The same state through the shared loop on a window of fuzzed size.
    const float w = static_cast<float>(in.ConsumeFloatingPointInRange<double>(0, 40000));
    const float h = static_cast<float>(in.ConsumeFloatingPointInRange<double>(0, 40000));
    CheckingPlatform platform(w, h);
    Form form(platform);
    form.vars = start;
    form.vars.DelayCount = 0;
    platform.form = &form;
    platform.pumpsLeft = in.ConsumeIntegralInRange(1, 6);
    runOrbits<A>(form);
    const Orbit zero {};
    expectSame(slotsOf(zero), form.vars.orbit1, name);
    expectSame(slotsOf(zero), form.vars.orbit2, name);
    if (form.vars.StopFlag != 0 || platform.clears != 4)
        fail("the run did not end with RESET's and its own end-of-run actions");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const int which = in.ConsumeIntegralInRange(0, 7);
    WindowVars start;
    for (ParameterSet* p : {&start.set1, &start.set2})
        *p = {fuzz::pickDouble(in), fuzz::pickDouble(in), fuzz::pickDouble(in),
            fuzz::pickDouble(in), fuzz::pickDouble(in)};
    for (Orbit* o : {&start.orbit1, &start.orbit2})
        *o = orbitOf({{fuzz::pickDouble(in), fuzz::pickDouble(in), fuzz::pickDouble(in),
            fuzz::pickDouble(in), fuzz::pickDouble(in)}});

    switch (which) {
    case 0:
        check<Lorenz>(in, {true, lorenzAdvance}, "Lorenz", start);
        break;
    case 1:
        check<Rossler>(in, {true, rosslerAdvance}, "Rossler", start);
        break;
    case 2:
        check<Hopalong>(in, {false, hopalongNext}, "Hopalong", start);
        break;
    case 3:
        check<Pickover>(in, {false, pickoverNext}, "Pickover", start);
        break;
    case 4:
        check<Equation1>(in, {false, equation1Next}, "Equation 1", start);
        break;
    case 5:
        check<Equation8>(in, {false, equation8Next}, "Equation 8", start);
        break;
    case 6:
        check<Starburst>(in, {false, signMapNext<true>}, "Starburst", start);
        break;
    default:
        check<ThreeplyMap>(in, {false, signMapNext<false>}, "Threeply", start);
        break;
    }
    return 0;
}
