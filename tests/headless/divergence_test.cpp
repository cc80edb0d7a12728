// How quorvane diverge measures two orbits parting, against orbits this test computes itself
// from the equations, each in its stated evaluation order: the step the orbits first differ,
// the separations of the first steps, the parting step and the growth rate up to it; an orbit
// that leaves the numbers; and the built program's CSV file and chart.

#include "headless/divergence.h"
#include "headless/headless_run.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <map>

namespace quorvane::headless {
namespace {

// The drawing area the measurement assumes: 1600x1200 pixels of 15 twips.
constexpr double W = 24000;
constexpr double H = 18000;

double sgn(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// What one step plots of both orbits, worked out here: each orbit's state at the pump and the
// position of its point, orbit 2's without its shift.
struct Plotted {
    std::vector<double> state1, state2;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
using Orbits = std::function<Plotted()>; // the next step's, each time it is called

// Lorenz from 3.141593, Euler steps of 0.0004 after the plot; x across, z up.
Orbits lorenz(double a, double b, double c, double aa, double bb, double cc)
{
    struct S {
        double x = 3.141593, y = 3.141593, z = 3.141593;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        const Plotted p {{o1.x, o1.y, o1.z}, {o2.x, o2.y, o2.z}, 300 * o1.x + W / 2,
            -200 * o1.z + H / 1.2, 300 * o2.x + W / 2, -200 * o2.z + H / 1.2};
        auto advance = [](S& o, double pa, double pb, double pc) {
            o.x = o.x + (o.y - o.x) * pa * 0.0004;
            o.y = o.y + (pb * o.x - o.y - o.x * o.z) * 0.0004;
            o.z = o.z + (o.x * o.y - pc * o.z) * 0.0004;
        };
        advance(o1, a, b, c);
        advance(o2, aa, bb, cc);
        return p;
    };
}

// Hopalong from (0, 0): x' = y - (sgn(x) + sqrt|b x - c|), y' = a - x, 500 twips a unit.
Orbits hopalong(double a, double b, double c, double aa, double bb, double cc)
{
    struct S {
        double x = 0, y = 0;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        auto next = [](S& o, double pa, double pb, double pc) {
            o = {o.y - (sgn(o.x) + std::sqrt(std::fabs(pb * o.x - pc))), pa - o.x};
        };
        next(o1, a, b, c);
        next(o2, aa, bb, cc);
        return Plotted {{o1.x, o1.y}, {o2.x, o2.y}, 500 * o1.x + W / 2, 500 * o1.y + H / 2,
            500 * o2.x + W / 2, 500 * o2.y + H / 2};
    };
}

// Equation 8 from (0, 0): x' = a - y, y' = x + sgn(y) sqrt|d y - b|, centred at W / 2.1.
Orbits equation8(double a, double b, double d, double aa, double bb, double dd)
{
    struct S {
        double x = 0, y = 0;
    };
    return [=, o1 = S(), o2 = S()]() mutable {
        auto next = [](S& o, double pa, double pb, double pd) {
            o = {pa - o.y, o.x + sgn(o.y) * std::sqrt(std::fabs(pd * o.y - pb))};
        };
        next(o1, a, b, d);
        next(o2, aa, bb, dd);
        return Plotted {{o1.x, o1.y}, {o2.x, o2.y}, 500 * o1.x + W / 2.1, 500 * o1.y + H / 2,
            500 * o2.x + W / 2.1, 500 * o2.y + H / 2};
    };
}

double stateDistance(const Plotted& p)
{
    double sum = 0;
    for (std::size_t i = 0; i < p.state1.size(); ++i)
        sum += (p.state1[i] - p.state2[i]) * (p.state1[i] - p.state2[i]);
    return std::sqrt(sum);
}

// The points as the plot gets them, in single precision, a pixel being 15 twips.
double screenPixels(const Plotted& p)
{
    const auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    return std::hypot(f(p.x1) - f(p.x2), f(p.y1) - f(p.y2)) / 15;
}

// Every step's separations, as a sink that wants them all.
class EveryStep final : public SeparationSink {
public:
    std::map<std::uint64_t, Separation> seen;
    std::uint64_t nextWanted(std::uint64_t step) const override { return step + 1; }
    void take(const Separation& s, bool) override { seen[s.step] = s; }
};

struct Case {
    const char* name;
    ParameterSet set1, set2;
    std::function<Orbits()> orbits;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PartingOrbits : public ::testing::TestWithParam<Case> { };

TEST_P(PartingOrbits, PartWhereTheEquationsSayAtTheRateTheyGive)
{
    const Case& c = GetParam();
    // The test's own orbits, until they part.
    Orbits orbits = c.orbits();
    std::vector<Plotted> plotted {{}}; // plotted[k] for step k
    std::uint64_t first = 0;
    while (screenPixels(plotted.emplace_back(orbits())) < 1) {
        if (first == 0 && stateDistance(plotted.back()) > 0)
            first = plotted.size() - 1;
        ASSERT_LT(plotted.size(), 1'000'000u) << "the orbits never part";
    }
    const std::uint64_t parting = plotted.size() - 1;
    // The least-squares slope of ln(separation) over [first, parting], in two passes.
    long double n = 0, meanX = 0, meanY = 0, sxx = 0, sxy = 0;
    for (std::uint64_t k = first; k <= parting; ++k, ++n) {
        meanX += k;
        meanY += std::log(static_cast<long double>(stateDistance(plotted[k])));
    }
    meanX /= n;
    meanY /= n;
    for (std::uint64_t k = first; k <= parting; ++k) {
        const long double dx = k - meanX;
        sxx += dx * dx;
        sxy += dx * (std::log(static_cast<long double>(stateDistance(plotted[k]))) - meanY);
    }

    const AttractorChoice& attractor = *findAttractor(QString::fromLatin1(c.name));
    HeadlessRun run({&attractor, c.set1, c.set2, parting + 50});
    Divergence divergence(attractor, W, H, parting + 50);
    EveryStep sink;
    divergence.addSink(sink);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), parting + 50);

    EXPECT_EQ(divergence.firstDifference(), first);
    EXPECT_EQ(divergence.partingStep(), parting);
    for (std::uint64_t k = 1; k <= std::min<std::uint64_t>(parting, first + 10); ++k) {
        EXPECT_DOUBLE_EQ(sink.seen[k].state, stateDistance(plotted[k])) << "step " << k;
        EXPECT_DOUBLE_EQ(sink.seen[k].screenPixels, screenPixels(plotted[k])) << "step " << k;
    }
    EXPECT_DOUBLE_EQ(divergence.atParting().state, stateDistance(plotted[parting]));
    EXPECT_DOUBLE_EQ(divergence.atParting().screenPixels, screenPixels(plotted[parting]));
    EXPECT_GE(divergence.atParting().screenPixels, 1.0);
    EXPECT_NEAR(divergence.growth().slope(), static_cast<double>(sxy / sxx),
        1e-9 * std::fabs(static_cast<double>(sxy / sxx)));
    EXPECT_EQ(divergence.departureStep(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Attractors, PartingOrbits,
    ::testing::Values(Case {"lorenz", {10, 28, 2.667}, {10.001, 28, 2.667},
                          [] { return lorenz(10, 28, 2.667, 10.001, 28, 2.667); }},
        Case {"hopalong", {0.724, -0.565, -0.117}, {0.72400001, -0.565, -0.117},
            [] { return hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117); }},
        Case {"eqn8", {2.42, -1.36, -0.2, -0.31}, {2.4200001, -1.36, -0.2, -0.31},
            [] { return equation8(2.42, -1.36, -0.31, 2.4200001, -1.36, -0.31); }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Divergence, EqualParametersAreIdenticalForEveryStep)
{
    const ParameterSet hopalong {0.724, -0.565, -0.117};
    HeadlessRun run({findAttractor(u"hopalong"), hopalong, hopalong, 20000});
    Divergence divergence(*findAttractor(u"hopalong"), W, H, 20000);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), 20000u);
    EXPECT_EQ(divergence.firstDifference(), 0u);
    EXPECT_EQ(divergence.partingStep(), 0u);
    EXPECT_EQ(divergence.growth().count(), 0u);
}

TEST(Divergence, AnOrbitThatOverflowsLeavesTheNumbersAtItsStepAndEndsTheRun)
{
    // Prandtl number 10^6 makes the Euler step unstable: orbit 2 runs away within a few steps.
    Orbits orbits = lorenz(10, 28, 2.667, 1e6, 28, 2.667);
    std::uint64_t leaves = 0;
    bool stateFault = false;
    for (std::uint64_t k = 1; leaves == 0; ++k) {
        const Plotted p = orbits();
        ASSERT_LT(k, 10'000u);
        for (const double v : p.state2)
            stateFault = stateFault || !std::isfinite(v);
        if (stateFault || !(std::fabs(p.x2) <= FLT_MAX && std::fabs(p.y2) <= FLT_MAX))
            leaves = k;
    }

    const AttractorChoice& attractor = *findAttractor(u"lorenz");
    HeadlessRun run({&attractor, {10, 28, 2.667}, {1e6, 28, 2.667}, 10'000});
    Divergence divergence(attractor, W, H, 10'000);
    EveryStep sink;
    divergence.addSink(sink);
    run.setObserver(
        [&](std::uint64_t step, WindowVars& vars) { return divergence.observe(step, vars); });
    EXPECT_EQ(run.run(), leaves);
    EXPECT_EQ(divergence.departureStep(), leaves);
    EXPECT_EQ(divergence.departure(1), Departure::None);
    EXPECT_EQ(divergence.departure(2), stateFault ? Departure::State : Departure::Point);
    EXPECT_TRUE(std::isnan(sink.seen[leaves].screenPixels)); // no point was plotted
}

// The built program, run with no display; returns its exit status and its standard output.
int runProgram(const QStringList& arguments, const QString& folder, QString* output)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(
        QStringLiteral(QUORVANE_PROGRAM), QStringList {QStringLiteral("diverge")} + arguments);
    if (!program.waitForFinished(120'000))
        return -1;
    *output = QString::fromLocal8Bit(program.readAllStandardOutput());
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

TEST(DivergeCommand, WritesTheSeparationsToCsvAndAChartOfTheRequestedSize)
{
    QTemporaryDir folder;
    QString output;
    ASSERT_EQ(runProgram({"hopalong", "--set", "aa=0.72400001", "--steps", "3000", "--every", "250",
                             "--csv", "hop.csv", "--plot", "hop.png"},
                  folder.path(), &output),
        0);

    QFile csv(folder.filePath(QStringLiteral("hop.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(csv.readAll()).split('\n');
    EXPECT_EQ(lines.value(0), QStringLiteral("step,state_separation,screen_separation_px"));
    // Row 2 is step 500, read back to the bit: 17 digits make the same double again.
    const QStringList row = lines.value(2).split(',');
    ASSERT_EQ(row.size(), 3);
    Orbits orbits = hopalong(0.724, -0.565, -0.117, 0.72400001, -0.565, -0.117);
    Plotted at500;
    for (int k = 1; k <= 500; ++k)
        at500 = orbits();
    EXPECT_EQ(row[0], QStringLiteral("500"));
    EXPECT_EQ(row[1].toDouble(), stateDistance(at500));
    EXPECT_EQ(row[2].toDouble(), screenPixels(at500));

    QImageReader chart(folder.filePath(QStringLiteral("hop.png")));
    EXPECT_EQ(chart.format(), "png");
    EXPECT_EQ(chart.size(), QSize(1200, 800));
    EXPECT_FALSE(chart.read().isNull());
    EXPECT_TRUE(output.contains(QStringLiteral("orbits part at step "))) << output.toStdString();
}

} // namespace
} // namespace quorvane::headless
